#pragma once

#include <QString>

#include <optional>

// One row of the shared-examples list, as the catalog gives it: a title followed by the package name
// in square brackets, for instance "流水灯[led]".
struct ExampleEntry {
    QString packageName; // between the first "[" and the first "]"
    QString title;       // the row without "[" + packageName + "]"
};

// The example a row names, or nullopt when it names none: a row without "]", or whose first "]"
// comes before its first "[". A row with no "[" takes the text before its "]" as package name and
// keeps the whole row as title.
std::optional<ExampleEntry> parseExampleEntry(const QString& row);
