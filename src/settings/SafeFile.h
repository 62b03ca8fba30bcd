#pragma once

#include <QByteArray>
#include <QString>

namespace safefile {

// Replaces `path` with `content` so that the file is at every moment either the old one or the new
// one, whole: the content goes to a temporary file in the same folder, is flushed to disk, and is
// then renamed over the target. Returns false (and leaves the target untouched) on any failure,
// for example a missing folder, a read-only file or folder, or a full disk.
bool writeAtomically(const QString& path, const QByteArray& content);

// Whether writeAtomically() may replace `path` at all: not when it names a folder, or a file marked
// read-only (by its permission bits, so an administrator leaves it as it is too).
bool mayReplace(const QString& path);

} // namespace safefile
