#include "settings/IniFile.h"

#include "settings/Gbk.h"
#include "settings/SafeFile.h"

#include <QFile>
#include <QLockFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace ini {

namespace {

// The encodings a profile file comes in: GBK text as the host IDE writes it (read and written as
// GB18030), or what an editor saved behind a byte-order mark.
enum class Encoding { Gbk, Utf8, Utf16Le, Utf16Be };

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");

Encoding encodingOf(QByteArrayView bytes) {
    if (bytes.startsWith(Utf8Bom)) {
        return Encoding::Utf8;
    }
    if (bytes.startsWith(Utf16LeBom)) {
        return Encoding::Utf16Le;
    }
    if (bytes.startsWith(Utf16BeBom)) {
        return Encoding::Utf16Be;
    }
    return Encoding::Gbk;
}

QByteArray bomOf(Encoding e) {
    switch (e) {
    case Encoding::Utf8:
        return Utf8Bom;
    case Encoding::Utf16Le:
        return Utf16LeBom;
    case Encoding::Utf16Be:
        return Utf16BeBom;
    case Encoding::Gbk:
        break;
    }
    return {};
}

QStringConverter::Encoding utf16Of(Encoding e) {
    return e == Encoding::Utf16Le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

// The text of a whole file, its byte-order mark left out.
QString decodeFile(QByteArrayView bytes) {
    const Encoding e = encodingOf(bytes);
    const QByteArrayView body = bytes.sliced(bomOf(e).size());
    switch (e) {
    case Encoding::Gbk:
        return gbk::decode(body);
    case Encoding::Utf8:
        return QString::fromUtf8(body);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        QStringDecoder decoder(utf16Of(e), QStringConverter::Flag::Stateless);
        return decoder.decode(body);
    }
    }
    return {};
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QStringView name;  // section or key name, trimmed
    QStringView value; // raw value, trimmed (quotes still on)
};

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\f') ||
           c == QLatin1Char('\v');
}

QStringView trimmed(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b])) {
        ++b;
    }
    while (e > b && isBlank(s[e - 1])) {
        --e;
    }
    return s.mid(b, e - b);
}

ParsedLine parseLine(QStringView line) {
    ParsedLine out;
    const QStringView t = trimmed(line);
    if (t.isEmpty()) {
        return out;
    }
    if (t.front() == QLatin1Char('[')) {
        const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            out.kind = LineKind::Section;
            out.name = trimmed(t.mid(1, close - 1));
            return out;
        }
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) {
        return out;
    }
    out.kind = LineKind::Key;
    out.name = trimmed(t.first(eq));
    out.value = trimmed(t.sliced(eq + 1));
    return out;
}

QString unquoted(QStringView v) {
    if (v.size() > 1 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front()) {
        return v.mid(1, v.size() - 2).toString();
    }
    return v.toString();
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Calls f(line) for every line of `text`; lines end at CR LF, LF or a lone CR. Stops when f returns
// false.
template <typename F> void forEachLine(QStringView text, F&& f) {
    const QChar* p = text.data();
    const QChar* end = p + text.size();
    while (p < end) {
        const QChar* q = p;
        while (q < end && *q != QLatin1Char('\r') && *q != QLatin1Char('\n')) {
            ++q;
        }
        if (!f(QStringView(p, q - p))) {
            return;
        }
        if (q < end && *q == QLatin1Char('\r')) {
            ++q;
            if (q < end && *q == QLatin1Char('\n')) {
                ++q;
            }
        } else if (q < end) {
            ++q;
        }
        p = q;
    }
}

struct RawLine {
    qsizetype begin = 0;     // first byte of the line
    qsizetype end = 0;       // one past the last byte before the line end
    qsizetype nextBegin = 0; // first byte after the line end
};

QList<RawLine> splitRawLines(const QByteArray& bytes) {
    // CR and LF never occur inside a GBK double-byte character, so lines can be cut on bytes.
    QList<RawLine> lines;
    const qsizetype n = bytes.size();
    qsizetype p = 0;
    while (p < n) {
        qsizetype q = p;
        while (q < n && bytes[q] != '\r' && bytes[q] != '\n') {
            ++q;
        }
        RawLine line{p, q, q};
        if (q < n && bytes[q] == '\r') {
            ++q;
            if (q < n && bytes[q] == '\n') {
                ++q;
            }
        } else if (q < n) {
            ++q;
        }
        line.nextBegin = q;
        lines.append(line);
        p = q;
    }
    return lines;
}

} // namespace

std::optional<NamedLine> namedLine(QStringView line) {
    const ParsedLine parsed = parseLine(line);
    if (parsed.kind == LineKind::Other) {
        return std::nullopt;
    }
    return NamedLine{parsed.kind == LineKind::Section, parsed.name.toString()};
}

QString findValue(QStringView text, QStringView section, QStringView key) {
    bool inSection = false;
    bool sectionSeen = false;
    QString result;
    forEachLine(text, [&](QStringView line) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == LineKind::Section) {
            if (inSection) {
                return false; // only the first section of the name is searched
            }
            if (!sectionSeen && sameName(parsed.name, section)) {
                inSection = true;
                sectionSeen = true;
            }
            return true;
        }
        if (inSection && parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
            result = unquoted(parsed.value);
            return false;
        }
        return true;
    });
    return result;
}

QString readValue(const QString& file, QStringView section, QStringView key) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return findValue(decodeFile(f.readAll()), section, key);
}

// The edit of withValue() on the bytes of a file without a byte-order mark, its lines in GBK or
// UTF-8. Lines are cut on bytes: CR and LF never occur inside a character of either.
QByteArray editLines(const QByteArray& original, QStringView section, QStringView key, QStringView value,
                     bool utf8) {
    const auto decode = [utf8](QByteArrayView b) { return utf8 ? QString::fromUtf8(b) : gbk::decode(b); };
    const auto encode = [utf8](const QString& t) { return utf8 ? t.toUtf8() : gbk::encode(t); };
    const QList<RawLine> lines = splitRawLines(original);
    qsizetype sectionLine = -1;     // index of the header of the first matching section
    qsizetype lastContentLine = -1; // last non-blank line inside that section
    qsizetype keyLine = -1;
    QString keyAsWritten;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const RawLine& raw = lines[i];
        const QString decoded = decode(QByteArrayView(original).sliced(raw.begin, raw.end - raw.begin));
        const ParsedLine parsed = parseLine(decoded);
        if (parsed.kind == LineKind::Section) {
            if (sectionLine >= 0) {
                break;
            }
            if (sameName(parsed.name, section)) {
                sectionLine = i;
                lastContentLine = i;
            }
            continue;
        }
        if (sectionLine < 0) {
            continue;
        }
        if (!trimmed(decoded).isEmpty()) {
            lastContentLine = i;
        }
        if (parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
            keyLine = i;
            keyAsWritten = parsed.name.toString();
            break;
        }
    }

    const QByteArray crlf("\r\n");
    QByteArray out;
    out.reserve(original.size() + key.size() * 2 + value.size() * 2 + section.size() * 2 + 16);
    if (keyLine >= 0) {
        const RawLine& raw = lines[keyLine];
        out.append(original.constData(), raw.begin);
        out.append(encode(QString(keyAsWritten + QLatin1Char('=') + value.toString())));
        out.append(original.constData() + raw.end, original.size() - raw.end);
        return out;
    }
    const QByteArray newKeyLine = encode(QString(key.toString() + QLatin1Char('=') + value.toString()));
    if (sectionLine >= 0) {
        const RawLine& after = lines[lastContentLine];
        out.append(original.constData(), after.end);
        const QByteArray lineEnd = original.mid(after.end, after.nextBegin - after.end);
        out.append(lineEnd.isEmpty() ? crlf : lineEnd);
        out.append(newKeyLine);
        out.append(crlf);
        if (!lineEnd.isEmpty()) {
            out.append(original.constData() + after.nextBegin, original.size() - after.nextBegin);
        }
        return out;
    }
    out.append(original);
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r')) {
        out.append(crlf);
    }
    out.append(encode(QString(QLatin1Char('[') + section.toString() + QLatin1Char(']'))));
    out.append(crlf);
    out.append(newKeyLine);
    out.append(crlf);
    return out;
}

namespace {

// How long a write waits for another copy of the program to finish its own.
constexpr int LockWaitMs = 5000;

// The value as the file holds it: one that the reader would trim or unquote goes inside one pair of
// double quotes, which the reader removes again.
QString storedForm(QStringView value) {
    const bool blankAtEnd = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool quoted = value.size() > 1 &&
                        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                        value.back() == value.front();
    if (blankAtEnd || quoted) {
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    }
    return value.toString();
}

} // namespace

QByteArray withValue(const QByteArray& original, QStringView section, QStringView key, QStringView value) {
    const Encoding e = encodingOf(original);
    if (e == Encoding::Gbk) {
        return editLines(original, section, key, value, false);
    }
    const QByteArray bom = bomOf(e);
    if (e == Encoding::Utf8) {
        return bom + editLines(original.sliced(bom.size()), section, key, value, true);
    }
    const QByteArray edited = editLines(decodeFile(original).toUtf8(), section, key, value, true);
    QStringEncoder encoder(utf16Of(e), QStringConverter::Flag::Stateless);
    return bom + QByteArray(encoder.encode(QString::fromUtf8(edited)));
}

bool writeValue(const QString& file, QStringView section, QStringView key, QStringView value) {
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'))) {
        return false;
    }
    // Another running copy of the program may be writing the same file: each write reads, changes
    // and replaces the file under a lock beside it, so neither loses the other's keys.
    QLockFile lock(file + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs)) {
        return false;
    }
    QByteArray original;
    QFile f(file);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly)) {
            return false;
        }
        original = f.readAll();
        f.close();
    }
    const QByteArray updated = withValue(original, section, key, storedForm(value));
    if (f.exists() && updated == original) {
        return true;
    }
    return safefile::writeAtomically(file, updated) ? true : false;
}

Document Document::parse(QStringView text) {
    Document doc;
    qsizetype current = -1;
    forEachLine(text, [&](QStringView line) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == LineKind::Section) {
            const QString folded = parsed.name.toString().toCaseFolded();
            if (doc.index_.contains(folded)) {
                current = -1; // later sections of the same name are never searched
            } else {
                current = doc.sections_.size();
                doc.index_.insert(folded, current);
                doc.sections_.append(Section{});
            }
        } else if (parsed.kind == LineKind::Key && current >= 0) {
            QHash<QString, QString>& values = doc.sections_[current].values;
            const QString name = parsed.name.toString().toCaseFolded();
            if (!values.contains(name)) {
                values.insert(name, unquoted(parsed.value));
            }
        }
        return true;
    });
    return doc;
}

QString Document::value(QStringView section, QStringView key) const {
    const auto it = index_.constFind(section.toString().toCaseFolded());
    if (it == index_.constEnd()) {
        return {};
    }
    return sections_[*it].values.value(key.toString().toCaseFolded());
}

} // namespace ini

namespace ini {

namespace {

// The hash of a name as case-folded, so names that differ only in case meet in one slot.
quint32 foldedHash(QStringView name) {
    quint32 h = 2166136261u;
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
            ++i;
        }
        h = (h ^ QChar::toCaseFolded(c)) * 16777619u;
    }
    return h;
}

// The line of `text` that starts at `begin`.
QStringView lineAt(QStringView text, qsizetype begin) {
    qsizetype end = begin;
    while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) {
        ++end;
    }
    return text.sliced(begin, end - begin);
}

} // namespace

SectionIndex SectionIndex::build(QStringView text) {
    SectionIndex index;
    forEachLine(text, [&](QStringView line) {
        index.addLine(text, line);
        return true;
    });
    return index;
}

qsizetype SectionIndex::find(QStringView text, QStringView name, quint32 hash) const {
    const qsizetype mask = slots_.size() - 1;
    for (qsizetype i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.headerStart < 0 ||
            (s.hash == hash && sameName(parseLine(lineAt(text, s.headerStart)).name, name))) {
            return i;
        }
    }
}

void SectionIndex::grow(QStringView text) {
    QList<Slot> old = std::move(slots_);
    slots_ = QList<Slot>(std::max<qsizetype>(64, old.size() * 2));
    for (const Slot& s : old) {
        if (s.headerStart >= 0) {
            slots_[find(text, parseLine(lineAt(text, s.headerStart)).name, s.hash)] = s;
        }
    }
}

void SectionIndex::addLine(QStringView text, QStringView line) {
    // Most lines are keys: one look at the first character that is not blank passes them over.
    qsizetype first = 0;
    while (first < line.size() && isBlank(line[first])) {
        ++first;
    }
    if (first == line.size() || line[first] != QLatin1Char('[')) {
        return;
    }
    const ParsedLine parsed = parseLine(line);
    if (parsed.kind != LineKind::Section) {
        return;
    }
    if ((used_ + 1) * 2 > slots_.size()) {
        grow(text);
    }
    const quint32 hash = foldedHash(parsed.name);
    Slot& slot = slots_[find(text, parsed.name, hash)];
    if (slot.headerStart < 0) { // later sections of a name are never searched
        slot = Slot{hash, line.data() - text.data()};
        ++used_;
    }
}

Document SectionIndex::section(QStringView text, QStringView name) const {
    Document doc;
    if (used_ == 0) {
        return doc;
    }
    const Slot& slot = slots_[find(text, name, foldedHash(name))];
    if (slot.headerStart < 0) {
        return doc;
    }
    // The section's own lines: from the header to the next header of any name.
    const qsizetype headerEnd = slot.headerStart + lineAt(text, slot.headerStart).size();
    doc.index_.insert(name.toString().toCaseFolded(), 0);
    doc.sections_.append(Document::Section{});
    QHash<QString, QString>& values = doc.sections_[0].values;
    bool header = true;
    forEachLine(text.sliced(headerEnd), [&](QStringView line) {
        if (header) { // what is left of the header line itself: its line end
            header = false;
            return true;
        }
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == LineKind::Section) {
            return false;
        }
        if (parsed.kind == LineKind::Key) {
            const QString key = parsed.name.toString().toCaseFolded();
            if (!values.contains(key)) {
                values.insert(key, unquoted(parsed.value));
            }
        }
        return true;
    });
    return doc;
}

} // namespace ini
