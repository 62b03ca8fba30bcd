#pragma once

#include "catalog/RowList.h"

#include <QList>
#include <QString>

#include <functional>

namespace catalog {

// Finding the rows of a list that contain a typed text, as fast as typing needs on a catalog of any
// size: each row's searchable text (its name and what the caller adds, such as the catalog's 库名 and
// 作者) is case-folded once and kept end to end in one string, so a search is one sweep over it.
class RowSearch {
public:
    // `extra` gives the further text of row i (may be null).
    void build(const RowList& rows, const std::function<QString(qsizetype row)>& extra);
    void clear();
    bool isBuilt() const { return built_; }

    // The rows whose text contains `text` in any letter case, in list order.
    QList<qsizetype> rowsContaining(const QString& text) const;

private:
    QString folded_;
    QList<qsizetype> ends_; // where each row's text ends in folded_ (its separator)
    bool built_ = false;
};

} // namespace catalog
