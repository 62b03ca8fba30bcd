#pragma once

#include "catalog/RowList.h"

#include <QAbstractListModel>

#include <optional>

class QListView;

// The rows of one list as its view reads them: the names are held once (catalog::RowList), and the
// view asks for the few rows it shows. A list of millions of rows costs no widget item per row.
class RowsModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RowsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row; the view loses its current row, as a cleared list does.
    void setRows(catalog::RowList rows);
    void setRows(const QStringList& rows) { setRows(catalog::RowList::fromStringList(rows)); }
    void clear() { setRows(catalog::RowList()); }
    const catalog::RowList& rows() const { return rows_; }

    // Shows only the rows `shown` (indexes into rows(), in list order); nullopt shows every row.
    void showOnly(std::optional<QList<qsizetype>> shown);
    // The text of the row the view shows at `viewRow`.
    QStringView textAt(int viewRow) const { return rows_.at(shown_ ? (*shown_)[viewRow] : viewRow); }

private:
    catalog::RowList rows_;
    std::optional<QList<qsizetype>> shown_;
};

namespace controls {

// A list control named `name`: a view over a model of its own, every row one line of the same
// height, so a view of any length lays its rows out without measuring them.
QListView* rowList(QWidget* parent, const char* name, QRect geometry);
// The model of a list made by rowList().
RowsModel& rowsOf(const QListView* list);
// The text of the list's current row; nullopt when it has none.
std::optional<QString> currentText(const QListView* list);

} // namespace controls
