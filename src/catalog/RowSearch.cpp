#include "catalog/RowSearch.h"

#include <algorithm>
#include <numeric>

namespace catalog {

namespace {

// Ends each row's text; typed text never holds it, so no match runs from one row into the next.
constexpr QChar Separator = QChar(0x0001);

} // namespace

void RowSearch::build(const RowList& rows, const std::function<QString(qsizetype row)>& extra) {
    clear();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        folded_ += rows.at(i).toString().toCaseFolded();
        if (extra) {
            folded_ += QLatin1Char('\n') + extra(i).toCaseFolded();
        }
        ends_.append(folded_.size());
        folded_ += Separator;
    }
    folded_.squeeze();
    built_ = true;
}

void RowSearch::clear() {
    folded_.clear();
    ends_.clear();
    built_ = false;
}

QList<qsizetype> RowSearch::rowsContaining(const QString& text) const {
    QString needle = text.toCaseFolded();
    needle.remove(Separator);
    needle.remove(QLatin1Char('\n'));
    QList<qsizetype> found;
    if (needle.isEmpty()) {
        found.resize(ends_.size());
        std::iota(found.begin(), found.end(), qsizetype(0));
        return found;
    }
    for (qsizetype at = folded_.indexOf(needle); at >= 0;) {
        const qsizetype row = std::upper_bound(ends_.cbegin(), ends_.cend(), at) - ends_.cbegin();
        found.append(row);
        at = folded_.indexOf(needle, ends_[row] + 1); // the next row
    }
    return found;
}

} // namespace catalog
