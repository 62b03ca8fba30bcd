#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// A catalog file as its lines, for the publishers' tool: what each line holds for the client, and
// its bytes as stored, so a problem can name its line and a change can keep every other byte.
namespace publish {

struct Line {
    QByteArray bytes; // without the line end
    QByteArray end;   // "\r\n", "\r", "\n", or nothing for a last line without one
    QString text;     // the bytes as the client decodes them (GBK, read as GB18030)
};

// The lines of a catalog file, split where the client splits them: at CR LF, a lone CR, a lone LF.
// The bytes and ends of all lines, end to end, are the file. (No GBK character holds a CR or LF
// byte, so a line decodes to what it is in the whole file.)
QList<Line> splitLines(const QByteArray& file);

// Where the client finds a section's values: the first section of a name (matched without regard to
// case, IniFile.h), by its name case-folded. Indexes into the lines.
struct SectionLines {
    qsizetype header = -1;
    qsizetype checksum = -1;   // its first 校验码 key line; -1: none
    qsizetype lastFilled = -1; // its last line that is not blank
};
QHash<QString, SectionLines> sectionLines(const QList<Line>& lines);

} // namespace publish
