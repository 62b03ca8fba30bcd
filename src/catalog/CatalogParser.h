#pragma once

#include "catalog/RowList.h"
#include "settings/IniFile.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace catalog {

// What one reading of the catalog text yields, for the window to apply.
struct ParsedCatalog {
    RowList libraries; // one row per library header, in file order
    RowList sites;     // one row per recommended-site line
    RowList examples;  // one row per shared-example line
    RowList versions;  // the value of every version line, in file order (each one is checked)
    // The value of the last line of each kind; nullopt when the catalog has none, so the caption it
    // feeds keeps what it showed before.
    std::optional<QString> releaseDate;
    std::optional<QString> notice;
    std::optional<QString> libraryUpdate;
    // Where each library's section begins in the text, for the details panel; built in the same
    // pass, so the first details shown read one section and nothing else.
    ini::SectionIndex sections;
};

// The catalog file's text and what its parse yields: the one copy of the catalog the program keeps.
struct CatalogFile {
    QString text;
    ParsedCatalog parsed;
};

// Reads the catalog text line by line. Lines end at CR LF, at a lone CR, and (leniently, for
// catalogs edited on other systems) at a lone LF. Each line goes through these tests in order,
// each test seeing the line as the tests before it left it:
//   1. starts with "[": every "[" and "]" is removed and the last character dropped (the header's
//      trailing character); the result is a library row and the line from now on;
//   2..7. starts with a marker ("版本号", "软件更新日期", "公告", "库更新", "分享网址", "分享示例"):
//      every occurrence of the marker followed by the full-width colon is removed; the rest is the
//      value and the line from now on.
// Values are not trimmed. A marker followed by an ASCII colon is not removed. Linear in the text.
ParsedCatalog parse(QStringView text);

// Reads the file (GBK) and parses it; nullopt when the file cannot be opened.
std::optional<CatalogFile> parseFile(const QString& path);

} // namespace catalog
