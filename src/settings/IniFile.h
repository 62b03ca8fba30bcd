#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Profile (INI) files with the semantics of the platform's profile functions, as the program's own
// files and the host IDE's description files rely on them:
// - lines end at CR LF, LF or a lone CR; blanks at the start of a line are skipped;
// - a line starting with "[" that holds a "]" is a section header; the name is what stands between
//   the "[" and the last "]", without surrounding blanks;
// - any other line holding "=" is a key: name before the first "=", value after it, both without
//   surrounding blanks; a line without "=" is no key;
// - section and key names are matched without regard to case; only the first section of a name is
//   searched and its first key of a name wins;
// - a value whose first and last characters are the same quote (" or ') and that is longer than one
//   character is returned without them.
// Files are GBK (code page 936), read and written as GB18030 (see Gbk.h); a file that starts with a
// UTF-8 or UTF-16 byte-order mark is read in that encoding and written back in it.
namespace ini {

// The value of `key` in `section` of the decoded file text; empty when missing.
QString findValue(QStringView text, QStringView section, QStringView key);

// Reads `file` and returns findValue(); a missing or unreadable file gives empty text.
QString readValue(const QString& file, QStringView section, QStringView key);

// The file content with `key` of `section` set to `value` (written unchanged, no quoting):
// an existing key line is replaced in place (keeping its name as written and its line end), a
// missing key is added after the last non-blank line of the first section of that name, a missing
// section is appended at the end of the file. Every other byte stays as it was. New lines end CR LF.
// A file with a byte-order mark keeps it and its encoding.
QByteArray withValue(const QByteArray& original, QStringView section, QStringView key, QStringView value);

// Sets one value in `file`, creating the file when missing. A value the reader would not give back
// as it is (blanks at either end, enclosing quotes) is written inside one pair of double quotes.
// The file is read, changed and replaced under a lock file beside it (another running copy of the
// program waits for it, a few seconds at most), and replaced atomically, so it is never left
// half-written. A value holding a line break is refused (it would add lines to the file).
// Returns false when nothing was written (missing folder, read-only file, refused value, the lock
// not free in time).
bool writeValue(const QString& file, QStringView section, QStringView key, QStringView value);

// What one line is to the reader: a section header or a key, with its name as the reader matches it
// (trimmed); nullopt for any other line. For tools that point at the line a value came from.
struct NamedLine {
    bool isSection = false;
    QString name;
};
std::optional<NamedLine> namedLine(QStringView line);

// A parsed file for repeated look-ups (the catalog is read key by key for every library).
class Document {
public:
    static Document parse(QStringView text);
    QString value(QStringView section, QStringView key) const;
    bool isEmpty() const { return sections_.isEmpty(); }

private:
    friend class SectionIndex;
    struct Section {
        QHash<QString, QString> values; // case-folded key name -> processed value (first one wins)
    };
    QList<Section> sections_;
    QHash<QString, qsizetype> index_; // case-folded section name -> first section of that name
};

// Where each section of a text begins, for a file too large to hold parsed: one pass records the
// header line of the first section of each name (a number or two a name, no copy of any text), and
// a look-up reads just that section from the text again. Gives what Document gives for that text.
// The text is the caller's; every call after building gets the same text the index was built over.
class SectionIndex {
public:
    // The index of the whole text.
    static SectionIndex build(QStringView text);
    // Builds line by line, for a reader that goes over the text's lines anyway: each line of
    // `text` in order, as a slice of it.
    void addLine(QStringView text, QStringView line);
    // The section `name` of `text` (matched without regard to case) as a one-section document;
    // empty when the text has no such section.
    Document section(QStringView text, QStringView name) const;
    qsizetype sections() const { return used_; }

private:
    struct Slot {
        quint32 hash = 0;
        qsizetype headerStart = -1; // -1: a free slot
    };
    // The slot of `name`: the one holding it, or the free one where it belongs.
    qsizetype find(QStringView text, QStringView name, quint32 hash) const;
    void grow(QStringView text);
    QList<Slot> slots_;
    qsizetype used_ = 0;
};

} // namespace ini
