#include "install/ExampleEntry.h"

std::optional<ExampleEntry> parseExampleEntry(const QString& row) {
    const qsizetype open = row.indexOf(QLatin1Char('['));
    const qsizetype close = row.indexOf(QLatin1Char(']'));
    if (close < 0 || (open >= 0 && close < open)) {
        return std::nullopt;
    }
    ExampleEntry entry;
    // With no "[" the name starts at the beginning of the row.
    const qsizetype start = open < 0 ? 0 : open + 1;
    entry.packageName = row.mid(start, close - start);
    entry.title = row;
    entry.title.remove(QLatin1Char('[') + entry.packageName + QLatin1Char(']'));
    return entry;
}
