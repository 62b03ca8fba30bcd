#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

// Unpacking a package (.zip) into a folder, synchronously and in-process.
namespace install {

struct ExtractLimits {
    qint64 maxBytes = qint64(1) << 30; // bytes written in total
    qint64 maxEntries = 100000;
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
};

struct ExtractResult {
    ExtractError error = ExtractError::None;
    QString detail; // the entry, path or reader message concerned, for diagnostics
    bool ok() const { return error == ExtractError::None; }
};

// Unpacks the zip archive `zipPath` into `destination`, or changes nothing at all.
// - When nothing exists at `destination`, that one folder is created; its parent must exist.
// - Entry names carrying the archive's UTF-8 mark are UTF-8. The others are UTF-8 when they all
//   read as UTF-8, and code page 936 otherwise (archives made on Chinese Windows).
// - Only files and folders are unpacked; an archive holding a link, an entry whose name leads
//   outside the destination, more than limits.maxEntries entries or more than limits.maxBytes of
//   data is refused as a whole, as is a corrupt or truncated one.
// - Everything is unpacked into a staging folder beside the destination first and then moved into
//   place: files of the same name are replaced, other files in the destination stay. When a step
//   fails, every change is undone.
ExtractResult extractZip(const QString& zipPath, const QString& destination,
                         const ExtractLimits& limits = {});

// extractZip() with a check called before each move into the destination (the path it would take);
// returning false makes that move fail, so tests can prove that a failure half-way undoes the moves
// done before it.
using MoveCheck = std::function<bool(const QString& target)>;
ExtractResult extractZipChecked(const QString& zipPath, const QString& destination,
                                const ExtractLimits& limits, const MoveCheck& beforeMove);

// Moves everything in the folder `staged` into the existing folder `destination`, the way
// extractZip() puts what it unpacked into place: files of the same name are replaced, other files
// stay, and a file where a folder goes (or the reverse) is refused before anything moves (Conflict).
// When a move fails, every move done before it is undone (WriteFailed). `backupFolder` is an empty
// folder on the same disk that keeps the replaced files until the end.
ExtractResult placeTree(const QString& staged, const QString& destination, const QString& backupFolder);

// The relative path, '/'-separated, that an entry name stands for: backslashes count as separators,
// empty and "." elements are dropped. nullopt when the name starts with a separator, holds a ":"
// (drive letters, streams), a ".." element, a control character or an undecodable character. A name
// that stands for the destination itself gives the empty text.
std::optional<QString> safeEntryPath(const QString& name);

} // namespace install
