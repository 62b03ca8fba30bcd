#pragma once

#include "catalog/RowList.h"
#include "settings/Gbk.h"
#include "settings/IniFile.h"

#include <QByteArrayView>

#include <QString>
#include <QStringView>

#include <optional>

namespace catalog {

// What one reading of the catalog yields, for the window to apply.
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
    // Where each library's section begins in the catalog's bytes, for the details panel; built in
    // the same pass, so the first details shown read one section and nothing else.
    ini::SectionIndex sections;
    // Whether the text holds the notice marker anywhere: a body without it is no catalog (an error
    // page, a captive portal's answer).
    bool hasNoticeMarker = false;
};

// Reads the catalog's lines. Lines end at CR LF, at a lone CR, and (leniently, for catalogs edited
// on other systems) at a lone LF. Each line goes through these tests in order, each test seeing the
// line as the tests before it left it:
//   1. starts with "[": every "[" and "]" is removed and the last character dropped (the header's
//      trailing character); the result is a library row and the line from now on;
//   2..7. starts with a marker ("版本号", "软件更新日期", "公告", "库更新", "分享网址", "分享示例"):
//      every occurrence of the marker followed by the full-width colon is removed; the rest is the
//      value and the line from now on.
// Values are not trimmed. A marker followed by an ASCII colon is not removed. Linear in the text.
//
// The catalog is GBK; it is read as it arrives, piece by piece (a download, a file read block by
// block), and only the lines that matter are decoded: no copy of the whole text is ever held.
class Reader {
public:
    // The next piece of the catalog's bytes.
    void feed(QByteArrayView piece);
    // After the last piece: what the catalog holds.
    ParsedCatalog finish();

private:
    void takeLine(QByteArrayView bytes, qsizetype offset, char end);
    gbk::LineReader lines_;
    ParsedCatalog out_;
};

// The whole catalog at once.
ParsedCatalog parse(QByteArrayView gbk);

// Reads the catalog file block by block; nullopt when the file cannot be opened or read.
std::optional<ParsedCatalog> parseFile(const QString& path);

} // namespace catalog
