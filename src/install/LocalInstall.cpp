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

// Copies the folder `from` (a canonical path inside the canonical `top`) to `to`. A link is followed
// only to a target inside `top`, and never to a folder already being copied above it (a loop).
class TreeCopy final {
public:
    TreeCopy(QString top, const Monitor& monitor)
        : top_(std::move(top))
        , monitor_(monitor) {}

    CopyResult copy(const QString& from, const QString& to) {
        if (monitor_.cancelled && monitor_.cancelled()) {
            return failed(CopyError::Cancelled, from);
        }
        const QFileInfo folder(from);
        // A folder that cannot be listed would look empty and be installed half.
        if (!folder.isReadable() || !folder.isExecutable()) {
            return failed(CopyError::WriteFailed, from);
        }
        if (!QFileInfo(to).isDir() && !QDir().mkdir(to)) {
            return failed(CopyError::WriteFailed, to);
        }
        open_ << from;
        const auto leave = qScopeGuard([this] { open_.removeLast(); });
        const QFileInfoList items =
            QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& item : items) {
            const QString target = to + QLatin1Char('/') + item.fileName();
            QString source = item.filePath();
            if (item.isSymLink()) {
                source = item.canonicalFilePath(); // empty for a dangling link
                if (!isInside(source) || open_.contains(source)) {
                    return failed(CopyError::WriteFailed, item.filePath());
                }
            }
            const QFileInfo real(source);
            if (real.isDir()) {
                if (CopyResult r = copy(real.canonicalFilePath(), target); !r.ok()) {
                    return r;
                }
            } else if (real.isFile()) {
                if (!copyFile(source, target)) {
                    return failed(CopyError::WriteFailed, target);
                }
            }
            ++items_;
            if (monitor_.onEntry) {
                monitor_.onEntry(items_);
            }
        }
        return {};
    }

private:
    bool isInside(const QString& canonical) const {
        return !canonical.isEmpty() && (canonical == top_ || canonical.startsWith(top_ + QLatin1Char('/')));
    }

    QString top_;
    const Monitor& monitor_;
    QStringList open_; // the folders being copied, outermost first
    qint64 items_ = 0;
};

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

CopyResult copyFolderInto(const QString& source, const QString& destinationRoot, const Monitor& monitor) {
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isDir()) {
        return failed(CopyError::SourceMissing, source);
    }
    const QString from = sourceInfo.canonicalFilePath();
    // The name the user chose, also when it is a link to a folder of another name.
    QString name = QFileInfo(QDir::cleanPath(QFileInfo(source).absoluteFilePath())).fileName();
    if (name == QLatin1String("..")) {
        name = QFileInfo(from).fileName();
    }
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
    if (CopyResult r = TreeCopy(from, monitor).copy(from, content + QLatin1Char('/') + name); !r.ok()) {
        // Name the file as it would have been installed, not its staging place.
        if (r.detail.startsWith(content)) {
            r.detail = rootCanonical + r.detail.mid(content.size());
        }
        return r;
    }
    if (const ExtractResult placed = installation.putInPlace({}); !placed.ok()) {
        return failed(CopyError::WriteFailed, placed.detail);
    }
    installed = true;
    return {};
}

} // namespace install
