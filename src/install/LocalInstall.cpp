#include "install/LocalInstall.h"

#include "install/Swap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

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
    if (destinationRoot.isEmpty()) {
        return failed(CopyError::WriteFailed, destinationRoot);
    }
    // Folders created for the library root go again when nothing is installed into them.
    QStringList created;
    for (QString p = QFileInfo(destinationRoot).absoluteFilePath();
         !QFileInfo(p).exists() && !QFileInfo(p).isSymLink(); p = QFileInfo(p).absolutePath()) {
        created.prepend(p);
        if (QFileInfo(p).isRoot()) {
            break;
        }
    }
    bool installed = false;
    const auto removeCreated = qScopeGuard([&] {
        for (qsizetype i = created.size() - 1; i >= 0 && !installed; --i) {
            QDir().rmdir(created[i]);
        }
    });
    if (!QDir().mkpath(destinationRoot)) {
        return failed(CopyError::WriteFailed, destinationRoot);
    }
    const QString rootCanonical = QFileInfo(destinationRoot).canonicalFilePath();
    const QString to = rootCanonical + QLatin1Char('/') + name;
    if (QFileInfo(to).canonicalFilePath() == from) {
        installed = true;
        return {}; // the library already lies there: nothing to copy
    }
    if ((rootCanonical + QLatin1Char('/')).startsWith(from + QLatin1Char('/'))) {
        return failed(CopyError::IntoItself, source);
    }

    // The copy is made beside the library root and swapped in only once it is complete, so a copy
    // that fails half-way (a full disk, an unreadable file) leaves the library root as it was.
    Installation installation(rootCanonical);
    const QString content = installation.contentFolder();
    if (content.isEmpty()) {
        return failed(CopyError::WriteFailed, to);
    }
    if (CopyResult r = copyTree(from, content + QLatin1Char('/') + name); !r.ok()) {
        // Name the file as it would have been installed, not its staging place.
        r.detail = rootCanonical + r.detail.mid(content.size());
        return r;
    }
    if (const ExtractResult placed = installation.putInPlace({}); !placed.ok()) {
        return failed(CopyError::WriteFailed, placed.detail);
    }
    installed = true;
    return {};
}

} // namespace install
