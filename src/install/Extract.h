#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

// Unpacking a package (.zip) into a folder, synchronously and in-process.
namespace install {

struct ExtractLimits {
    qint64 maxBytes = qint64(1) << 30; // bytes written in total
    qint64 maxEntries = 100000;
    // When not empty, only these top-level items of the archive are unpacked and the rest is skipped
    // (checked all the same): a bundle's libraries without whatever else lies beside them.
    QStringList onlyItems;
};

enum class ExtractError {
    None,
    DestinationUnavailable, // the destination is a file, or its parent folder is missing
    CannotOpen,             // no such file, or not a zip archive
    Corrupt,                // the archive could not be read to its end without a complaint
    UnsafeName,             // an entry name that leads outside the destination or names no file
    UnsupportedEntry,       // a link, device or other entry that is neither a file nor a folder
    TooLarge,
    TooManyEntries,
    Conflict,    // the archive has a folder where the destination has a file, or the reverse
    WriteFailed, // the disk refused a write or a move
    Empty,       // the archive holds no file: nothing would be installed
    Cancelled,   // Monitor::cancelled said so before anything was put in place
};

struct ExtractResult {
    ExtractError error = ExtractError::None;
    QString detail; // the entry, path or reader message concerned, for diagnostics
    bool ok() const { return error == ExtractError::None; }
};

// Watching an extraction or a folder copy that runs on a worker thread. Both functions are called
// on that thread; either may be null.
struct Monitor {
    std::function<void(qint64 entries)> onEntry; // after each entry unpacked or item copied
    std::function<bool()> cancelled;             // true: stop, and change nothing
};

// The steps of an install into a destination folder, in the order they run (Swap.h).
enum class Step {
    Unpack,   // the archive is unpacked into the work folder beside the destination
    Prepare,  // one item: a folder the destination has is copied, the new files moved over the copy
    Journal,  // the journal beside the destination is written
    SetAside, // one item: the old one is renamed into the work folder
    MoveIn,   // one item: the prepared one is renamed into the destination
    Clean,    // the work folder with the old items, then the journal, are removed
};
// Asked before each step, with the item's path in the destination (the destination or the journal
// for the steps of no item); returning false makes that step fail, so tests can prove that a failure
// anywhere undoes everything, and observe or stop the process at each step.
using StepCheck = std::function<bool(Step step, const QString& target)>;

// Unpacks the zip archive `zipPath` into `destination`, or changes nothing at all.
// - When nothing exists at `destination`, that one folder is created; its parent must exist.
// - Entry names carrying the archive's UTF-8 mark are UTF-8. The others are UTF-8 when they all
//   read as UTF-8, and code page 936 otherwise (archives made on Chinese Windows).
// - Only files and folders are unpacked; an archive holding a link, an entry whose name leads
//   outside the destination, more than limits.maxEntries entries or more than limits.maxBytes of
//   data is refused as a whole, as is a corrupt or truncated one.
// - Each top-level item of the archive replaces the destination's item of that name whole, with the
//   destination's files the archive does not carry kept inside (Swap.h): after a failure, or a kill
//   at any instant and the next start, the destination holds wholly the old or wholly the new items.
//   A file where a folder goes (or the reverse), and a link where a folder goes, is refused
//   (Conflict); links in the destination are never followed.
// - An archive without a single file (empty, or folders only) is refused (Empty).
// - `monitor` hears of each entry; once it says cancelled, the extraction stops before anything is
//   put in place (Cancelled).
ExtractResult extractZip(const QString& zipPath, const QString& destination, const ExtractLimits& limits = {},
                         const Monitor& monitor = {});
ExtractResult extractZipChecked(const QString& zipPath, const QString& destination,
                                const ExtractLimits& limits, const StepCheck& check,
                                const Monitor& monitor = {});

// Reads the archive as extractZip() does and gives what extractZip() would refuse it for (CannotOpen,
// Corrupt, UnsafeName, UnsupportedEntry, TooLarge, TooManyEntries, Empty), writing nothing: for
// checking packages before they are published.
ExtractResult inspectZip(const QString& zipPath, const ExtractLimits& limits = {});

// The libraries an archive carries: each top-level folder NAME holding the file NAME/NAME.xml, in
// the order of the archive. A package carries one; a bundle made by "导出库包" several. Names the
// file name check refuses are left out. Entry names are read as extractZip() reads them.
struct ArchiveLibraries {
    ExtractError error = ExtractError::None; // CannotOpen or Corrupt when the archive cannot be read
    QStringList names;
};
ArchiveLibraries findLibraries(const QString& zipPath);

// The relative path, '/'-separated, that an entry name stands for: backslashes count as separators,
// empty and "." elements are dropped. nullopt when the name starts with a separator, holds a ":"
// (drive letters, streams), a ".." element, a control character or an undecodable character. A name
// that stands for the destination itself gives the empty text.
std::optional<QString> safeEntryPath(const QString& name);

} // namespace install
