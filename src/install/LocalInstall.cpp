#include "install/LocalInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace install {

namespace {

const QString XmlSuffix = QStringLiteral(".xml");

CopyResult failed(CopyError error, const QString& detail) {
    return CopyResult{error, detail};
}

// Writes the copy to a temporary file beside the target and renames it over the target, so a
// failed copy never leaves a half-written library file behind.
bool copyFile(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile out(to);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    constexpr qint64 Chunk = 256 * 1024;
    while (!in.atEnd()) {
        const QByteArray block = in.read(Chunk);
        if (block.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return false;
        }
        if (out.write(block) != block.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        return false;
    }
    QFile::setPermissions(to, in.permissions());
    return true;
}

CopyResult copyTree(const QString& from, const QString& to) {
    if (!QFileInfo(to).isDir() && !QDir().mkdir(to)) {
        return failed(CopyError::WriteFailed, to);
    }
    const QFileInfoList items =
        QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& item : items) {
        if (item.isSymLink()) {
            continue;
        }
        const QString target = to + QLatin1Char('/') + item.fileName();
        if (item.isDir()) {
            if (CopyResult r = copyTree(item.filePath(), target); !r.ok()) {
                return r;
            }
        } else if (item.isFile()) {
            if (!copyFile(item.filePath(), target)) {
                return failed(CopyError::WriteFailed, target);
            }
        }
    }
    return {};
}

} // namespace

XmlChoice interpretXmlChoice(const QString& path, QChar sep) {
    XmlChoice choice;
    if (!path.endsWith(XmlSuffix, Qt::CaseSensitive)) {
        return choice;
    }
    const qsizetype last = path.lastIndexOf(sep);
    if (last < 0) {
        return choice;
    }
    QString tail = path.mid(last);
    choice.accepted = true;
    // The folder is what stands before the file name.
    choice.sourceFolder = path.left(last);
    choice.name = tail.remove(sep).remove(XmlSuffix);
    return choice;
}

CopyResult copyFolderInto(const QString& source, const QString& destinationRoot) {
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isDir()) {
        return failed(CopyError::SourceMissing, source);
    }
    const QString from = sourceInfo.canonicalFilePath();
    const QString name = QFileInfo(from).fileName();
    if (name.isEmpty()) {
        return failed(CopyError::IntoItself, source); // the root of a drive or of the file system
    }
    if (destinationRoot.isEmpty() || !QDir().mkpath(destinationRoot)) {
        return failed(CopyError::WriteFailed, destinationRoot);
    }
    const QString rootCanonical = QFileInfo(destinationRoot).canonicalFilePath();
    const QString to = rootCanonical + QLatin1Char('/') + name;
    if (QFileInfo(to).canonicalFilePath() == from) {
        return {}; // the library already lies there: nothing to copy
    }
    if ((rootCanonical + QLatin1Char('/')).startsWith(from + QLatin1Char('/'))) {
        return failed(CopyError::IntoItself, source);
    }
    return copyTree(from, to);
}

} // namespace install
