#include "install/Swap.h"

#include "host/HostPaths.h"
#include "host/Subfolders.h"
#include "settings/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <system_error>

namespace install {

namespace fs = std::filesystem;

namespace {

// How long an install waits for another copy of the program installing into the same place.
constexpr int LockWaitMs = 10000;

const QString JournalSuffix = QStringLiteral("journal");
const QString LockSuffix = QStringLiteral("lock");
const QString WorkInfix = QStringLiteral("unpack-");

ExtractResult fail(ExtractError error, const QString& detail = {}) {
    return ExtractResult{error, detail};
}

fs::path fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(QFile::encodeName(path).toStdString());
#endif
}

// Whether anything (a link included, whatever it points to) is at `path`.
bool present(const QString& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(fsPath(path), ec));
}

bool isRealFolder(const QString& path) {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(fsPath(path), ec));
}

// Removes `path` and, for a folder, everything in it; links are removed, never followed.
bool removeAll(const QString& path) {
    std::error_code ec;
    fs::remove_all(fsPath(path), ec);
    return !ec;
}

QString prefixOf(const QString& destination) {
    return QLatin1Char('.') + QFileInfo(destination).fileName() + QLatin1Char('.');
}

// Where the lock, the journal and the work folder of `destination` lie: beside it, or inside it when
// its parent cannot be written to, or the destination is a link (to another disk, perhaps: renames
// between the two would fail).
QString baseOf(const QString& destination) {
    const QFileInfo info(destination);
    const QFileInfo parent(info.absolutePath());
    if (info.isSymLink() || !parent.isDir() || !parent.isWritable()) {
        return destination;
    }
    return parent.absoluteFilePath();
}

// A name the journal may hold: one plain folder entry.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QStringList namesIn(const QString& folder) {
    QStringList names;
    std::error_code ec;
    for (fs::directory_iterator it(fsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
#ifdef Q_OS_WIN
        names << QString::fromStdWString(it->path().filename().wstring());
#else
        names << QFile::decodeName(QByteArray::fromStdString(it->path().filename().string()));
#endif
    }
    names.sort();
    return names;
}

// Copies the folder `from` to `to` (which must not exist): folders, files with their permissions and
// times, and links as links, never followed. A file is copied as a second hard link to it where the
// file system allows: the copy is only ever changed by renaming new files over its entries, never by
// writing into a file, so the old folder stays as it was, and a library of thousands of files is
// prepared in a fraction of the time a byte copy takes.
bool copyTree(const QString& from, const QString& to) {
    std::error_code ec;
    // Folders get the usual permissions: a read-only one could not take the new files, nor be
    // removed again after a failure.
    fs::create_directory(fsPath(to), ec);
    if (ec) {
        return false;
    }
    for (const QString& name : namesIn(from)) {
        const QString src = from + QLatin1Char('/') + name;
        const QString dst = to + QLatin1Char('/') + name;
        const fs::file_status status = fs::symlink_status(fsPath(src), ec);
        if (ec) {
            return false;
        }
        if (fs::is_symlink(status)) {
            fs::copy_symlink(fsPath(src), fsPath(dst), ec);
        } else if (fs::is_directory(status)) {
            if (!copyTree(src, dst)) {
                return false;
            }
        } else if (fs::is_regular_file(status)) {
            fs::create_hard_link(fsPath(src), fsPath(dst), ec);
            if (!ec) {
                continue;
            }
            ec.clear();
            fs::copy_file(fsPath(src), fsPath(dst), ec);
            if (!ec) {
                fs::last_write_time(fsPath(dst), fs::last_write_time(fsPath(src), ec), ec);
            }
        }
        // Anything else (a device, a pipe) is not a library's and is not carried over.
        if (ec) {
            return false;
        }
    }
    return true;
}

// Whether the staged tree can be moved over `target` without meeting a file where it brings a folder,
// or a folder or a link where it brings a folder and wants to go inside.
ExtractResult checkPlacement(const QString& staged, const QString& target) {
    for (const QString& name : namesIn(staged)) {
        const QString item = staged + QLatin1Char('/') + name;
        const QString there = target + QLatin1Char('/') + name;
        if (!present(there)) {
            continue;
        }
        if (isRealFolder(item)) {
            if (!isRealFolder(there)) {
                return fail(ExtractError::Conflict, there);
            }
            if (ExtractResult r = checkPlacement(item, there); !r.ok()) {
                return r;
            }
        } else if (isRealFolder(there)) {
            return fail(ExtractError::Conflict, there);
        }
    }
    return {};
}

// Moves the staged tree over `target` (checked by checkPlacement()): files replace files and links of
// their name, folders merge.
bool moveOver(const QString& staged, const QString& target) {
    for (const QString& name : namesIn(staged)) {
        const QString item = staged + QLatin1Char('/') + name;
        const QString there = target + QLatin1Char('/') + name;
        if (isRealFolder(item) && isRealFolder(there)) {
            if (!moveOver(item, there)) {
                return false;
            }
        } else if (!renameEntry(item, there)) {
            return false;
        }
    }
    return true;
}

struct Journal {
    QString work; // the work folder's name in the base folder
    QStringList items;
};

QByteArray journalText(const Journal& j) {
    return (QStringList{j.work} + j.items).join(QLatin1Char('\n')).toUtf8() + '\n';
}

std::optional<Journal> readJournal(const QString& path, const QString& prefix) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty() || !isPlainName(lines.first()) || !lines.first().startsWith(prefix + WorkInfix)) {
        return std::nullopt;
    }
    Journal j;
    j.work = lines.takeFirst();
    for (const QString& item : lines) {
        if (!isPlainName(item)) {
            return std::nullopt;
        }
    }
    j.items = lines;
    return j;
}

// Finishes (every item swapped in) or undoes the swap a journal describes, then removes the work
// folder and the journal. False when an item could not be put back; the journal then stays.
bool settle(const QString& destination, const QString& base, const QString& journalPath, const Journal& j) {
    const QString work = base + QLatin1Char('/') + j.work;
    const QString fresh = work + QStringLiteral("/n/");
    const QString old = work + QStringLiteral("/o/");
    const QString dest = destination + QLatin1Char('/');
    bool allIn = true;
    for (const QString& item : j.items) {
        allIn = allIn && !present(fresh + item) && present(dest + item);
    }
    if (!allIn) {
        QDir().mkpath(fresh);
        for (qsizetype i = j.items.size() - 1; i >= 0; --i) {
            const QString& item = j.items[i];
            // A new item already in place goes back to the work folder, and the old one returns.
            if (!present(fresh + item) && present(dest + item) && !renameEntry(dest + item, fresh + item)) {
                return false;
            }
            if (present(old + item) && !renameEntry(old + item, dest + item)) {
                return false;
            }
        }
    }
    removeAll(work);
    return QFile::remove(journalPath) || !present(journalPath);
}

// Settles what a killed install left in `base` for `destination`. The caller holds the lock.
bool recoverLocked(const QString& destination, const QString& base) {
    const QString prefix = prefixOf(destination);
    const QString journalPath = base + QLatin1Char('/') + prefix + JournalSuffix;
    if (present(journalPath)) {
        const std::optional<Journal> j = readJournal(journalPath, prefix);
        // A journal that cannot be read names nothing to put back; the library was never touched
        // before the journal was complete.
        if (j && !settle(destination, base, journalPath, *j)) {
            return false;
        }
        if (!j) {
            QFile::remove(journalPath);
        }
    }
    // Work folders without a journal (nothing was swapped yet), and a journal cut off while written.
    for (const QString& name : namesIn(base)) {
        if (name.startsWith(prefix + WorkInfix) ||
            name.startsWith(prefix + JournalSuffix + QLatin1Char('.'))) {
            removeAll(base + QLatin1Char('/') + name);
        }
    }
    return true;
}

} // namespace

bool renameEntry(const QString& from, const QString& to) {
    std::error_code ec;
    fs::rename(fsPath(from), fsPath(to), ec);
    return !ec;
}

Installation::Installation(QString destination)
    : destination_(std::move(destination))
    , base_(baseOf(destination_))
    , prefix_(prefixOf(destination_)) {
    lock_ = std::make_unique<QLockFile>(base_ + QLatin1Char('/') + prefix_ + LockSuffix);
    // An install of a big package takes long: only a lock whose program is gone is stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(LockWaitMs)) {
        return;
    }
    ready_ = recoverLocked(destination_, base_);
    // A destination inside which an earlier install had to work is settled too.
    if (ready_ && base_ != destination_ && isRealFolder(destination_)) {
        ready_ = recoverLocked(destination_, destination_);
    }
}

Installation::~Installation() = default;

QString Installation::contentFolder() {
    if (!ready_) {
        return {};
    }
    if (!work_) {
        work_ = std::make_unique<QTemporaryDir>(base_ + QLatin1Char('/') + prefix_ + WorkInfix +
                                                QStringLiteral("XXXXXX"));
        const QString w = work_->path();
        if (!work_->isValid() || !QDir().mkdir(w + QStringLiteral("/c")) ||
            !QDir().mkdir(w + QStringLiteral("/n")) || !QDir().mkdir(w + QStringLiteral("/o"))) {
            work_.reset();
            return {};
        }
    }
    return work_->path() + QStringLiteral("/c");
}

ExtractResult Installation::putInPlace(const StepCheck& check) {
    const QString content = contentFolder();
    if (content.isEmpty()) {
        return fail(ExtractError::WriteFailed, destination_);
    }
    const auto allowed = [&](Step step, const QString& target) { return !check || check(step, target); };
    const QString work = work_->path();
    const QString fresh = work + QStringLiteral("/n/");
    const QString old = work + QStringLiteral("/o/");
    const QString dest = destination_ + QLatin1Char('/');
    const QStringList items = namesIn(content);

    for (const QString& item : items) {
        if (!allowed(Step::Prepare, dest + item)) {
            return fail(ExtractError::WriteFailed, dest + item);
        }
        const QString staged = content + QLatin1Char('/') + item;
        if (present(dest + item) && isRealFolder(staged)) {
            if (!isRealFolder(dest + item)) {
                return fail(ExtractError::Conflict, dest + item);
            }
            if (ExtractResult r = checkPlacement(staged, dest + item); !r.ok()) {
                return r;
            }
            if (!copyTree(dest + item, fresh + item) || !moveOver(staged, fresh + item)) {
                return fail(ExtractError::WriteFailed, dest + item);
            }
        } else {
            if (isRealFolder(dest + item)) {
                return fail(ExtractError::Conflict, dest + item);
            }
            if (!renameEntry(staged, fresh + item)) {
                return fail(ExtractError::WriteFailed, dest + item);
            }
        }
    }

    const QString journalPath = base_ + QLatin1Char('/') + prefix_ + JournalSuffix;
    const Journal journal{QFileInfo(work).fileName(), items};
    if (!allowed(Step::Journal, journalPath) ||
        !safefile::writeAtomically(journalPath, journalText(journal))) {
        return fail(ExtractError::WriteFailed, journalPath);
    }
    for (const QString& item : items) {
        const bool swapped = (!present(dest + item) || (allowed(Step::SetAside, dest + item) &&
                                                        renameEntry(dest + item, old + item))) &&
                             allowed(Step::MoveIn, dest + item) && renameEntry(fresh + item, dest + item);
        if (!swapped) {
            settle(destination_, base_, journalPath, journal);
            return fail(ExtractError::WriteFailed, dest + item);
        }
    }
    allowed(Step::Clean, dest);
    settle(destination_, base_, journalPath, journal);
    return {};
}

bool recoverDestination(const QString& destination) {
    const QString base = baseOf(destination);
    QLockFile lock(base + QLatin1Char('/') + prefixOf(destination) + LockSuffix);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        return true; // another copy is installing there now, or there is nowhere to look
    }
    bool ok = recoverLocked(destination, base);
    if (base != destination && isRealFolder(destination)) {
        ok = recoverLocked(destination, destination) && ok;
    }
    return ok;
}

void recoverInstalls(const QString& exePath, QChar sep) {
    for (const QString& board : host::listSubfolders(host::boardsFolder(exePath, sep))) {
        recoverDestination(host::libraryRoot(exePath, board, sep));
    }
    recoverDestination(host::sharedExamplesFolder(exePath, sep));
}

} // namespace install
