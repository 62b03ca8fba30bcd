#include "publish/CatalogStamp.h"

#include "catalog/CatalogParser.h"
#include "install/Checksum.h"
#include "install/InstallStrings.h"
#include "install/PackageName.h"
#include "publish/CatalogLines.h"
#include "settings/FileNames.h"
#include "settings/Gbk.h"

#include <QFileInfo>

namespace publish {

Stamped stampCatalog(const QByteArray& file, const QString& packages) {
    QList<Line> lines = splitLines(file);
    const QHash<QString, SectionLines> sections = sectionLines(lines);
    const QByteArray key = gbk::encode(installstr::KeyChecksum) + '=';
    Stamped out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // The libraries as the client lists them; it reads the first section of the same name.
        const catalog::ParsedCatalog rows = catalog::parse(lines[i].text);
        if (rows.libraries.size() != 1) {
            continue;
        }
        const QString name = rows.libraries.at(0).toString();
        const auto section = sections.constFind(name.toCaseFolded());
        const QString zip = install::packageCacheFile(packages + QLatin1Char('/'), name);
        if (section == sections.constEnd() || section->header != i || !filenames::isUsableName(name) ||
            !QFileInfo(zip).isFile()) {
            continue;
        }
        const QByteArray digest = install::fileSha256(zip);
        if (digest.isEmpty()) {
            continue;
        }
        const QByteArray hex = digest.toHex();
        if (section->checksum >= 0) {
            Line& line = lines[section->checksum];
            const QString value = line.text.sliced(line.text.indexOf(QLatin1Char('=')) + 1).trimmed();
            if (install::parseChecksum(value).sha256 == digest) {
                continue;
            }
            line.bytes.truncate(line.bytes.indexOf('=') + 1);
            line.bytes += hex;
        } else {
            // The new line goes after the last one, ended as that one is; a last line of the file
            // without a line end gets the header's, and the new line stays without one.
            Line& last = lines[section->lastFilled];
            const QByteArray end = !last.end.isEmpty()       ? last.end
                                   : !lines[i].end.isEmpty() ? lines[i].end
                                                             : QByteArrayLiteral("\r\n");
            last.bytes += end + key + hex;
        }
        ++out.libraries;
    }
    for (const Line& line : lines) {
        out.file += line.bytes + line.end;
    }
    return out;
}

} // namespace publish
