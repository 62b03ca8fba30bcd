#include "catalog/CatalogParser.h"

#include "catalog/CatalogStrings.h"
#include "settings/Gbk.h"

#include <QFile>

namespace catalog {

namespace {

// `text` without any occurrence of `what`.
QString removeAll(QStringView text, QStringView what) {
    qsizetype hit = text.indexOf(what);
    if (hit < 0) {
        return text.toString();
    }
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (hit >= 0) {
        out.append(text.mid(from, hit - from));
        from = hit + what.size();
        hit = text.indexOf(what, from);
    }
    out.append(text.mid(from));
    return out;
}

// A header line without its brackets and without its last character.
QString headerRow(QStringView line) {
    QString out(line.size(), Qt::Uninitialized);
    QChar* to = out.data();
    qsizetype kept = 0;
    for (QChar c : line) {
        if (c != QLatin1Char('[') && c != QLatin1Char(']')) {
            to[kept++] = c;
        }
    }
    // A header that holds nothing but brackets has no character to drop: the row stays empty.
    out.truncate(kept > 0 ? kept - 1 : 0);
    return out;
}

struct Markers {
    QString version = catstr::VersionMarker;
    QString versionCut = catstr::VersionMarker + catstr::FullWidthColon;
    QString release = catstr::ReleaseDateMarker;
    QString releaseCut = catstr::ReleaseDateMarker + catstr::FullWidthColon;
    QString notice = catstr::NoticeMarker;
    QString noticeCut = catstr::NoticeMarker + catstr::FullWidthColon;
    QString update = catstr::LibraryUpdateMarker;
    QString updateCut = catstr::LibraryUpdateMarker + catstr::FullWidthColon;
    QString site = catstr::SiteMarker;
    QString siteCut = catstr::SiteMarker + catstr::FullWidthColon;
    QString example = catstr::ExampleMarker;
    QString exampleCut = catstr::ExampleMarker + catstr::FullWidthColon;
};

// The first characters of all markers: most lines (key=value lines) start with none of them and
// are passed over after one comparison.
bool mayMatter(QChar first) {
    switch (first.unicode()) {
    case u'[':
    case u'版':
    case u'软':
    case u'公':
    case u'库':
    case u'分':
        return true;
    default:
        return false;
    }
}

void parseLine(QStringView line, const Markers& m, ParsedCatalog& out) {
    if (line.isEmpty() || !mayMatter(line.front())) {
        return;
    }
    QString held; // the line as the tests so far left it, once one has changed it
    QStringView cur = line;
    auto take = [&](const QString& marker, const QString& cut) -> std::optional<QString> {
        // The first character decides for almost every line; the full comparison is rare.
        if (cur.isEmpty() || cur.front() != marker.front() || !cur.startsWith(marker)) {
            return std::nullopt;
        }
        held = removeAll(cur, cut);
        cur = held;
        return held;
    };

    if (cur.front() == QLatin1Char('[')) {
        held = headerRow(cur);
        cur = held;
        out.libraries.append(held);
    }
    if (auto v = take(m.version, m.versionCut)) {
        out.versions.append(*v);
    }
    if (auto v = take(m.release, m.releaseCut)) {
        out.releaseDate = *v;
    }
    if (auto v = take(m.notice, m.noticeCut)) {
        out.notice = *v;
    }
    if (auto v = take(m.update, m.updateCut)) {
        out.libraryUpdate = *v;
    }
    if (auto v = take(m.site, m.siteCut)) {
        out.sites.append(*v);
    }
    if (auto v = take(m.example, m.exampleCut)) {
        out.examples.append(*v);
    }
}

} // namespace

ParsedCatalog parse(QStringView text) {
    static const Markers markers;
    ParsedCatalog out;
    const QChar* data = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        const QStringView line = text.sliced(start, i - start);
        parseLine(line, markers, out);
        out.sections.addLine(text, line);
        if (c == u'\r' && i + 1 < n && data[i + 1] == QLatin1Char('\n')) {
            ++i;
        }
        start = i + 1;
    }
    if (start < n) {
        parseLine(text.sliced(start), markers, out);
        out.sections.addLine(text, text.sliced(start));
    }
    for (RowList* rows : {&out.libraries, &out.sites, &out.examples, &out.versions}) {
        rows->squeeze();
    }
    return out;
}

std::optional<CatalogFile> parseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    CatalogFile out;
    out.text = gbk::decode(file.readAll());
    out.parsed = parse(out.text);
    return out;
}

} // namespace catalog
