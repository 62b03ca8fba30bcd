#include "install/Bundle.h"

#include "install/ArchiveLocale.h"
#include "settings/FileNames.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

namespace install {

namespace {

struct WriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

la_ssize_t writeToFile(archive*, void* device, const void* buffer, size_t length) {
    const qint64 written =
        static_cast<QSaveFile*>(device)->write(static_cast<const char*>(buffer), qint64(length));
    return written < 0 ? -1 : la_ssize_t(written);
}

// Writes the entries of library folders into an open archive, counting the items for the monitor.
class BundleWriter final {
public:
    BundleWriter(archive* out, const Monitor& monitor)
        : out_(out)
        , monitor_(monitor) {}

    CopyResult addLibrary(const QString& root, const QString& name) {
        const QString folder = root + QLatin1Char('/') + name;
        const QFileInfo info(folder);
        if (!filenames::isUsableName(name) || !info.isDir() || info.isSymLink()) {
            return {CopyError::SourceMissing, folder};
        }
        QStringList paths;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            paths << it.next();
        }
        // Sorted, so a folder's entry comes before what it holds and the same libraries give the
        // same archive.
        std::sort(paths.begin(), paths.end());
        paths.prepend(folder);
        for (const QString& path : paths) {
            if (monitor_.cancelled && monitor_.cancelled()) {
                return {CopyError::Cancelled, path};
            }
            const QString entryName = name + QLatin1Char('/') + QDir(folder).relativeFilePath(path);
            if (!add(path, QDir::cleanPath(entryName))) {
                return {CopyError::WriteFailed, path};
            }
            if (monitor_.onEntry) {
                monitor_.onEntry(++items_);
            }
        }
        return {};
    }

private:
    bool add(const QString& path, const QString& entryName) {
        const QFileInfo info(path);
        if (info.isSymLink() || (!info.isDir() && !info.isFile())) {
            return false;
        }
        const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
        const QString stored = info.isDir() ? entryName + QLatin1Char('/') : entryName;
#ifdef Q_OS_WIN
        setEntryName(entry.get(), stored); // see entryName()
#else
        archive_entry_set_pathname_utf8(entry.get(), stored.toUtf8().constData());
#endif
        archive_entry_set_filetype(entry.get(), info.isDir() ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), info.isDir() || info.isExecutable() ? 0755 : 0644);
        archive_entry_set_mtime(entry.get(), info.lastModified().toSecsSinceEpoch(), 0);
        if (info.isDir()) {
            archive_entry_set_size(entry.get(), 0);
            return archive_write_header(out_, entry.get()) == ARCHIVE_OK;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        archive_entry_set_size(entry.get(), file.size());
        if (archive_write_header(out_, entry.get()) != ARCHIVE_OK) {
            return false;
        }
        qint64 copied = 0;
        QByteArray block(64 * 1024, Qt::Uninitialized);
        for (;;) {
            const qint64 n = file.read(block.data(), block.size());
            if (n < 0) {
                return false;
            }
            if (n == 0) {
                break;
            }
            if (archive_write_data(out_, block.constData(), size_t(n)) != n) {
                return false;
            }
            copied += n;
        }
        // A file that changed size while it was read would leave an entry its header misstates.
        return copied == file.size();
    }

    archive* out_;
    const Monitor& monitor_;
    qint64 items_ = 0;
};

} // namespace

QString bundleFileName(const QString& board, const QDate& date) {
    return board + QStringLiteral("-库包-") + date.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".zip");
}

CopyResult writeLibraryBundle(const QString& root, const QStringList& names, const QString& zipPath,
                              const Monitor& monitor) {
    QSaveFile file(zipPath);
    if (!file.open(QIODevice::WriteOnly)) {
        return {CopyError::WriteFailed, zipPath};
    }
    const Utf8CtypeScope utf8;
    const std::unique_ptr<archive, WriteFree> out(archive_write_new());
    if (!out || archive_write_set_format_zip(out.get()) != ARCHIVE_OK ||
        archive_write_set_format_option(out.get(), "zip", "hdrcharset", "UTF-8") != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(out.get(), 1) != ARCHIVE_OK ||
        archive_write_open2(out.get(), &file, nullptr, writeToFile, nullptr, nullptr) != ARCHIVE_OK) {
        file.cancelWriting();
        return {CopyError::WriteFailed, zipPath};
    }
    BundleWriter writer(out.get(), monitor);
    for (const QString& name : names) {
        if (CopyResult r = writer.addLibrary(root, name); !r.ok()) {
            file.cancelWriting();
            return r;
        }
    }
    if (archive_write_close(out.get()) != ARCHIVE_OK || !file.commit()) {
        return {CopyError::WriteFailed, zipPath};
    }
    return {};
}

} // namespace install
