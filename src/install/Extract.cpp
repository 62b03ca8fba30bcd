#include "install/Extract.h"

#include "install/ArchiveLocale.h"
#include "install/Swap.h"
#include "settings/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <optional>

namespace install {

namespace {

// libarchive's disk writer resolves entry names against the working folder, and with its secure
// flags it refuses absolute names; so entries get relative names and the extraction runs from inside
// the staging folder, the way `tar -C` works. Every path this file uses is absolute.
class WorkingFolderScope final {
public:
    explicit WorkingFolderScope(const QString& folder)
        : previous_(QDir::currentPath())
        , entered_(QDir::setCurrent(folder)) {}
    ~WorkingFolderScope() {
        if (entered_) {
            QDir::setCurrent(previous_);
        }
    }
    bool entered() const { return entered_; }
    Q_DISABLE_COPY_MOVE(WorkingFolderScope)

private:
    QString previous_;
    bool entered_;
};

struct ReadFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
using Reader = std::unique_ptr<archive, ReadFree>;
using Writer = std::unique_ptr<archive, WriteFree>;

ExtractResult fail(ExtractError error, const QString& detail = {}) {
    return ExtractResult{error, detail};
}

QString readerMessage(archive* a) {
    const char* s = archive_error_string(a);
    return s ? QString::fromLocal8Bit(s) : QString();
}

// Opens the zip archive with entry names without the UTF-8 mark read in `charset`.
Reader openZip(const QString& zipPath, const char* charset) {
    Reader a(archive_read_new());
    if (!a || archive_read_support_format_zip(a.get()) != ARCHIVE_OK ||
        archive_read_set_format_option(a.get(), "zip", "hdrcharset", charset) != ARCHIVE_OK) {
        return nullptr;
    }
    constexpr size_t BlockSize = 64 * 1024;
#ifdef Q_OS_WIN
    const int r =
        archive_read_open_filename_w(a.get(), reinterpret_cast<const wchar_t*>(zipPath.utf16()), BlockSize);
#else
    const int r = archive_read_open_filename(a.get(), QFile::encodeName(zipPath).constData(), BlockSize);
#endif
    if (r != ARCHIVE_OK) {
        return nullptr;
    }
    return a;
}

// Whether every entry name of the archive reads as UTF-8. Names with the UTF-8 mark always do; a name
// without it that is not valid UTF-8 makes libarchive complain, and the archive is then one made with
// the Chinese Windows code page.
bool namesReadAsUtf8(const QString& zipPath) {
    Reader a = openZip(zipPath, "UTF-8");
    if (!a) {
        return true; // the extraction pass reports the failure
    }
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_WARN) {
            return false;
        }
        if (r != ARCHIVE_OK) {
            return true;
        }
    }
}

// Unpacks every entry into `content` (an empty folder). Names are checked before anything is written.
// With no `content`, every entry is read and checked the same way and nothing is written.
ExtractResult unpackInto(const QString& zipPath, const QString& content, const ExtractLimits& limits,
                         const Monitor& monitor) {
    const char* charset = namesReadAsUtf8(zipPath) ? "UTF-8" : "CP936";
    Reader in = openZip(zipPath, charset);
    if (!in) {
        return fail(ExtractError::CannotOpen, zipPath);
    }
    Writer out;
    std::optional<WorkingFolderScope> inside;
    if (!content.isEmpty()) {
        out.reset(archive_write_disk_new());
        if (!out || archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                                  ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                                  ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS |
                                                                  ARCHIVE_EXTRACT_TIME) != ARCHIVE_OK) {
            return fail(ExtractError::WriteFailed, content);
        }
        inside.emplace(content);
        if (!inside->entered()) {
            return fail(ExtractError::WriteFailed, content);
        }
    }

    const auto cancelled = [&monitor] { return monitor.cancelled && monitor.cancelled(); };
    qint64 entries = 0;
    qint64 files = 0;
    qint64 declaredBytes = 0;
    qint64 writtenBytes = 0;
    for (;;) {
        archive_entry* entry = nullptr;
        int r = archive_read_next_header(in.get(), &entry);
        if (r == ARCHIVE_EOF) {
            break;
        }
        if (r != ARCHIVE_OK) {
            return fail(ExtractError::Corrupt, readerMessage(in.get()));
        }
        if (cancelled()) {
            return fail(ExtractError::Cancelled);
        }
        if (++entries > limits.maxEntries) {
            return fail(ExtractError::TooManyEntries, QString::number(entries));
        }
        const std::optional<QString> entryText = entryName(entry);
        if (!entryText) {
            return fail(ExtractError::UnsafeName);
        }
        const QString& name = *entryText;
        const std::optional<QString> relative = safeEntryPath(name);
        if (!relative) {
            return fail(ExtractError::UnsafeName, name);
        }
        const auto type = archive_entry_filetype(entry);
        const bool isDir = type == AE_IFDIR;
        if (archive_entry_hardlink(entry) || archive_entry_symlink(entry) || (type != AE_IFREG && !isDir)) {
            return fail(ExtractError::UnsupportedEntry, name);
        }
        if (relative->isEmpty()) {
            if (isDir) {
                continue; // the destination itself
            }
            return fail(ExtractError::UnsafeName, name);
        }
        if (!limits.onlyItems.isEmpty() &&
            !limits.onlyItems.contains(relative->section(QLatin1Char('/'), 0, 0))) {
            continue;
        }
        if (archive_entry_size_is_set(entry)) {
            declaredBytes += qMax<qint64>(0, archive_entry_size(entry));
            if (declaredBytes > limits.maxBytes) {
                return fail(ExtractError::TooLarge, name);
            }
        }
        if (!setEntryName(entry, *relative)) {
            return fail(ExtractError::UnsafeName, name);
        }
        // Plain permissions only: readable folders and files, executable when the archive says so.
        const auto perm = archive_entry_perm(entry);
        archive_entry_set_perm(entry, isDir || (perm & 0111) ? 0755 : 0644);

        if (out && archive_write_header(out.get(), entry) != ARCHIVE_OK) {
            return fail(ExtractError::WriteFailed, name + QStringLiteral(": ") + readerMessage(out.get()));
        }
        if (!isDir) {
            ++files;
            for (;;) {
                if (cancelled()) {
                    return fail(ExtractError::Cancelled, name);
                }
                // A large file takes a while: the indicator hears of it meanwhile, too.
                if (monitor.onEntry) {
                    monitor.onEntry(entries);
                }
                const void* block = nullptr;
                size_t size = 0;
                la_int64_t offset = 0;
                r = archive_read_data_block(in.get(), &block, &size, &offset);
                if (r == ARCHIVE_EOF) {
                    break;
                }
                if (r != ARCHIVE_OK) {
                    return fail(ExtractError::Corrupt, name + QStringLiteral(": ") + readerMessage(in.get()));
                }
                writtenBytes += qint64(size);
                if (writtenBytes > limits.maxBytes) {
                    return fail(ExtractError::TooLarge, name);
                }
                if (out && archive_write_data_block(out.get(), block, size, offset) != ARCHIVE_OK) {
                    return fail(ExtractError::WriteFailed,
                                name + QStringLiteral(": ") + readerMessage(out.get()));
                }
            }
        }
        if (out && archive_write_finish_entry(out.get()) != ARCHIVE_OK) {
            return fail(ExtractError::WriteFailed, name + QStringLiteral(": ") + readerMessage(out.get()));
        }
        if (monitor.onEntry) {
            monitor.onEntry(entries);
        }
    }
    if (out && archive_write_close(out.get()) != ARCHIVE_OK) {
        return fail(ExtractError::WriteFailed, readerMessage(out.get()));
    }
    if (archive_read_close(in.get()) != ARCHIVE_OK) {
        return fail(ExtractError::Corrupt, readerMessage(in.get()));
    }
    // An archive that brings no file would be reported installed while nothing was.
    if (files == 0) {
        return fail(ExtractError::Empty, zipPath);
    }
    return {};
}

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))) {
        path.chop(1);
    }
    return path;
}

} // namespace

ArchiveLibraries findLibraries(const QString& zipPath) {
    const Utf8CtypeScope utf8;
    Reader in = openZip(zipPath, namesReadAsUtf8(zipPath) ? "UTF-8" : "CP936");
    if (!in) {
        return {ExtractError::CannotOpen, {}};
    }
    ArchiveLibraries found;
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(in.get(), &entry);
        if (r == ARCHIVE_EOF) {
            return found;
        }
        if (r != ARCHIVE_OK) {
            return {ExtractError::Corrupt, {}};
        }
        const std::optional<QString> path = safeEntryPath(entryName(entry).value_or(QString()));
        if (!path || archive_entry_filetype(entry) != AE_IFREG) {
            continue;
        }
        const QStringList parts = path->split(QLatin1Char('/'));
        if (parts.size() == 2 && parts[1] == parts[0] + QLatin1String(".xml") &&
            filenames::isUsableName(parts[0]) && !found.names.contains(parts[0])) {
            found.names << parts[0];
        }
    }
}

std::optional<QString> safeEntryPath(const QString& name) {
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char(':'))) {
        return std::nullopt;
    }
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::ReplacementCharacter) {
            return std::nullopt;
        }
    }
    QStringList parts;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            return std::nullopt;
        }
        if (part != QLatin1String(".")) {
            parts << part;
        }
    }
    return parts.join(QLatin1Char('/'));
}

ExtractResult inspectZip(const QString& zipPath, const ExtractLimits& limits) {
    const Utf8CtypeScope utf8;
    return unpackInto(QFileInfo(zipPath).absoluteFilePath(), {}, limits, {});
}

ExtractResult extractZip(const QString& zipPath, const QString& destination, const ExtractLimits& limits,
                         const Monitor& monitor) {
    return extractZipChecked(zipPath, destination, limits, {}, monitor);
}

ExtractResult extractZipChecked(const QString& zipPath, const QString& destination,
                                const ExtractLimits& limits, const StepCheck& check, const Monitor& monitor) {
    const QString zip = QFileInfo(zipPath).absoluteFilePath();
    const QString dest = withoutTrailingSeparators(QFileInfo(destination).absoluteFilePath());
    const QFileInfo destInfo(dest);

    bool createdDest = false;
    if (destInfo.exists() || destInfo.isSymLink()) {
        if (!destInfo.isDir()) {
            return fail(ExtractError::DestinationUnavailable, dest);
        }
    } else {
        // Only the last level; a missing parent means the destination was not meant to be here.
        if (!QDir().mkdir(dest)) {
            return fail(ExtractError::DestinationUnavailable, dest);
        }
        createdDest = true;
    }
    struct UndoCreate {
        QString dest;
        bool active;
        ~UndoCreate() {
            if (active) {
                QDir().rmdir(dest);
            }
        }
    } undoCreate{dest, createdDest};

    // Everything happens in a work folder beside the destination; nothing in it changes until the
    // archive was read whole and every new item is ready.
    Installation installation(dest);
    const QString content = installation.contentFolder();
    if (content.isEmpty()) {
        return fail(ExtractError::WriteFailed, dest);
    }
    if (check && !check(Step::Unpack, dest)) {
        return fail(ExtractError::WriteFailed, dest);
    }
    {
        const Utf8CtypeScope utf8;
        if (ExtractResult r = unpackInto(zip, content, limits, monitor); !r.ok()) {
            return r;
        }
    }
    // The last moment a Cancel is heeded: past it the swap runs to its end in a few renames.
    if (monitor.cancelled && monitor.cancelled()) {
        return fail(ExtractError::Cancelled);
    }
    if (ExtractResult r = installation.putInPlace(check); !r.ok()) {
        return r;
    }
    undoCreate.active = false;
    return {};
}

} // namespace install
