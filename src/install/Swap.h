#pragma once

#include "install/Extract.h"

#include <QChar>
#include <QLockFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// Putting new content into a destination folder (a library root, the shared examples folder) all or
// nothing, also when the process is killed at any instant:
// - the content is unpacked or copied into a work folder beside the destination, on the same disk;
// - each top-level item is prepared there whole: a folder the destination already has is copied (as
//   hard links where possible) and the new files are moved over the copy, so files the package does
//   not carry stay as they were;
// - a journal beside the destination names the work folder and the items;
// - each item is swapped in by renames: the old one into the work folder, the prepared one into the
//   destination; then the work folder (with the old items) and the journal are removed.
// A leftover journal is finished (every item swapped in) or undone (anything less) before the next
// install into the destination and at start-up, so the destination holds wholly the old or wholly the
// new items. No step follows a symbolic link found in the destination: links are renamed, copied or
// removed as links, and a link where the content brings a folder is a conflict.
namespace install {

// One install into `destination` (absolute, without a trailing separator). It holds a lock file
// beside the destination for its lifetime, so two running copies of the program never work on one
// destination at once, and on creation it settles what an earlier, killed install left there.
class Installation final {
public:
    explicit Installation(QString destination);
    ~Installation();
    Q_DISABLE_COPY_MOVE(Installation)

    // False when the lock could not be taken (another copy installing there for a long time, or no
    // folder to put the lock in) or a leftover could not be settled: nothing may be installed then.
    bool ready() const { return ready_; }
    // An empty folder beside the destination, on the same disk, to put the content in; empty text
    // when it cannot be made.
    QString contentFolder();
    // Puts every item of contentFolder() into the destination. `check` (may be null) is asked before
    // each step; a false answer fails it (the answer before Step::Clean is not heeded).
    ExtractResult putInPlace(const StepCheck& check);

private:
    QString destination_;
    QString base_;   // the folder that holds the lock, the journal and the work folder
    QString prefix_; // "." + the destination's name + "."
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QTemporaryDir> work_;
    bool ready_ = false;
};

// Settles a leftover of a killed install into `destination`, if any: a journal is finished or undone,
// a work folder without one removed. Skipped (true) while another copy of the program installs there.
// False when something could not be put back (it is tried again next time).
bool recoverDestination(const QString& destination);

// recoverDestination() for every place the program installs into under the host program `exePath`:
// the library root of each board and the shared examples folder.
void recoverInstalls(const QString& exePath, QChar sep);

// Renames `from` to `to` without following a link at either (the link itself moves); false on failure.
bool renameEntry(const QString& from, const QString& to);

} // namespace install
