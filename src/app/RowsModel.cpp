#include "app/RowsModel.h"

#include "ui/Controls.h"

#include <QListView>

#include <algorithm>
#include <climits>

RowsModel::RowsModel(QObject* parent)
    : QAbstractListModel(parent) {}

int RowsModel::rowCount(const QModelIndex& parent) const {
    // A view counts rows in int; a catalog cannot have more lines than the size limit lets through.
    const qsizetype count = shown_ ? shown_->size() : rows_.size();
    return parent.isValid() ? 0 : static_cast<int>(std::min<qsizetype>(count, INT_MAX));
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return textAt(index.row()).toString();
}

Qt::ItemFlags RowsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void RowsModel::setRows(catalog::RowList rows) {
    beginResetModel();
    rows_ = std::move(rows);
    shown_.reset();
    endResetModel();
}

void RowsModel::showOnly(std::optional<QList<qsizetype>> shown) {
    beginResetModel();
    shown_ = std::move(shown);
    endResetModel();
}

namespace controls {

QListView* rowList(QWidget* parent, const char* name, QRect geometry) {
    auto* view = named(new QListView(parent), name);
    view->setModel(new RowsModel(view));
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setGeometry(geometry);
    return view;
}

RowsModel& rowsOf(const QListView* list) {
    return *static_cast<RowsModel*>(list->model());
}

std::optional<QString> currentText(const QListView* list) {
    const QModelIndex current = list->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    return rowsOf(list).textAt(current.row()).toString();
}

} // namespace controls
