#include "catalog/CatalogParser.h"

#include "catalog/CatalogStrings.h"

#include <QFile>

#include <algorithm>

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

// The markers' GBK bytes: a line that starts with none of them (and not with "[") passes every test
// unchanged, so it is passed over without being decoded.
struct MarkerBytes {
    QList<QByteArray> markers{gbk::encode(catstr::VersionMarker), gbk::encode(catstr::ReleaseDateMarker),
                              gbk::encode(catstr::NoticeMarker),  gbk::encode(catstr::LibraryUpdateMarker),
                              gbk::encode(catstr::SiteMarker),    gbk::encode(catstr::ExampleMarker)};
    QByteArray notice = gbk::encode(catstr::NoticeMarker);

    bool mayMatter(QByteArrayView line) const {
        if (!line.isEmpty() && line.front() == '[') {
            return true;
        }
        return std::any_of(markers.cbegin(), markers.cend(),
                           [&](const QByteArray& marker) { return line.startsWith(marker); });
    }
};

// Whether the first byte of a line that is not blank is "[": the lines the section index wants.
bool mayBeHeader(QByteArrayView line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\f' && c != '\v') {
            return c == '[';
        }
    }
    return false;
}

} // namespace

void Reader::feed(QByteArrayView piece) {
    lines_.feed(piece,
                [this](QByteArrayView bytes, qsizetype offset, char end) { takeLine(bytes, offset, end); });
}

ParsedCatalog Reader::finish() {
    lines_.finish([this](QByteArrayView bytes, qsizetype offset, char end) { takeLine(bytes, offset, end); });
    for (RowList* rows : {&out_.libraries, &out_.sites, &out_.examples, &out_.versions}) {
        rows->squeeze();
    }
    return std::move(out_);
}

void Reader::takeLine(QByteArrayView bytes, qsizetype offset, char end) {
    static const Markers markers;
    static const MarkerBytes first;
    // Each line is decoded once, and only when a test needs its text.
    QString text;
    bool isDecoded = false;
    const auto decoded = [&]() -> const QString& {
        if (!isDecoded) {
            text = gbk::decodeLine(bytes, end);
            isDecoded = true;
        }
        return text;
    };
    // The marker's bytes in a line can straddle two characters; its text cannot.
    if (!out_.hasNoticeMarker && bytes.contains(first.notice) && decoded().contains(catstr::NoticeMarker)) {
        out_.hasNoticeMarker = true;
    }
    if (first.mayMatter(bytes)) {
        parseLine(decoded(), markers, out_);
    }
    if (mayBeHeader(bytes)) {
        out_.sections.addLine(offset, decoded());
    }
}

ParsedCatalog parse(QByteArrayView gbk) {
    Reader reader;
    reader.feed(gbk);
    return reader.finish();
}

std::optional<ParsedCatalog> parseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    Reader reader;
    QByteArray block(256 * 1024, Qt::Uninitialized);
    qint64 got = 0;
    while ((got = file.read(block.data(), block.size())) > 0) {
        reader.feed(QByteArrayView(block.constData(), got));
    }
    if (got < 0) {
        return std::nullopt;
    }
    return reader.finish();
}

} // namespace catalog
