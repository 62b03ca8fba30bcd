#include "host/HostVersion.h"

#include "settings/Gbk.h"

#include <QFile>

namespace host {

std::optional<QString> readVersionFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // Line by line, so any line end (CR LF, LF) comes out as CR LF. Splitting the bytes at LF is safe
    // for GBK: LF is never part of a double-byte character.
    QString text;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.isEmpty()) {
            break; // a read error: keep what was read
        }
        if (line.endsWith('\n')) {
            line.chop(1);
        }
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        text += gbk::decode(line);
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString detectVersion(QStringView text) {
    QString found;
    for (const QString& version : {Version30, Version24}) {
        if (text.contains(version, Qt::CaseSensitive)) {
            found = version;
        }
    }
    return found;
}

} // namespace host
