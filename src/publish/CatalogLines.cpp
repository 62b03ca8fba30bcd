#include "publish/CatalogLines.h"

#include "install/InstallStrings.h"
#include "settings/Gbk.h"
#include "settings/IniFile.h"

namespace publish {

QList<Line> splitLines(const QByteArray& file) {
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = file.size();
    while (start < n) {
        qsizetype stop = start;
        while (stop < n && file[stop] != '\r' && file[stop] != '\n') {
            ++stop;
        }
        qsizetype next = stop;
        if (next < n) {
            next += (file[next] == '\r' && next + 1 < n && file[next + 1] == '\n') ? 2 : 1;
        }
        Line line;
        line.bytes = file.sliced(start, stop - start);
        line.end = file.sliced(stop, next - stop);
        line.text = gbk::decode(line.bytes);
        lines.append(std::move(line));
        start = next;
    }
    return lines;
}

QHash<QString, SectionLines> sectionLines(const QList<Line>& lines) {
    QHash<QString, SectionLines> sections;
    std::optional<QString> current; // the case-folded name of the section the line is in, if the first
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<ini::NamedLine> named = ini::namedLine(lines[i].text);
        if (named && named->isSection) {
            current = named->name.toCaseFolded();
            if (sections.contains(*current)) {
                current.reset(); // the client never reads a later section of a name
            } else {
                sections.insert(*current, SectionLines{i, -1, i});
            }
            continue;
        }
        if (!current) {
            continue;
        }
        SectionLines& section = sections[*current];
        if (named && section.checksum < 0 && named->name == installstr::KeyChecksum) {
            section.checksum = i;
        }
        if (!lines[i].text.trimmed().isEmpty()) {
            section.lastFilled = i;
        }
    }
    return sections;
}

} // namespace publish
