#include "settings/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace safefile {

bool mayReplace(const QString& path) {
    // A read-only target must stay as it is, as the platform's own write would leave it; QSaveFile
    // would otherwise replace it through the folder.
    const QFileInfo info(path);
    // The permission bits, not access(): an administrator could write through them, but a file
    // marked read-only stays as it is for every user.
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & writeBits))) {
        return false;
    }
    return !info.isDir();
}

bool writeAtomically(const QString& path, const QByteArray& content) {
    if (!mayReplace(path)) {
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace safefile
