#include "install/Checksum.h"

#include <QCryptographicHash>
#include <QFile>

namespace install {

namespace {

bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

} // namespace

Checksum parseChecksum(const QString& value) {
    Checksum out;
    out.pinned = !value.isEmpty();
    if (value.size() != 64) {
        return out;
    }
    for (const QChar c : value) {
        if (!isHexDigit(c)) {
            return out;
        }
    }
    out.sha256 = QByteArray::fromHex(value.toLatin1());
    return out;
}

QByteArray fileSha256(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        return {};
    }
    return hash.result();
}

} // namespace install
