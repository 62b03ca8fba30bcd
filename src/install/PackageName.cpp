#include "install/PackageName.h"

#include <QUrl>

namespace install {

QString packageAddress(const QString& base, const QString& name) {
    // Everything but the unreserved characters and the sub-delimiters, ":" and "@" that a path
    // segment may hold is encoded; "/" never reaches here (it names no package).
    const QByteArray encoded = QUrl::toPercentEncoding(name, QByteArrayLiteral("!$&'()*+,;=:@"));
    return base + QString::fromLatin1(encoded) + QStringLiteral(".zip");
}

QString packageCacheFile(const QString& cacheFolder, const QString& name) {
    return cacheFolder + name + QStringLiteral(".zip");
}

} // namespace install
