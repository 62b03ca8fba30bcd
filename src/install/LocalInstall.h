#pragma once

#include "install/Extract.h"

#include <QChar>
#include <QString>

// Installing a library folder from disk: the user picks the library's .xml file, and the folder that
// holds it is copied into the library root.
namespace install {

struct XmlChoice {
    bool accepted = false; // the path names an .xml file inside a folder
    QString sourceFolder;  // the folder that holds the file, without a trailing separator
    QString name;          // the file name without separators and ".xml", for the confirmation
};

// Reads the path chosen in the file dialog; `sep` is the separator the path uses. Only a path whose
// last four characters are exactly ".xml" is accepted.
XmlChoice interpretXmlChoice(const QString& path, QChar sep);

enum class CopyError { None, SourceMissing, IntoItself, WriteFailed, Cancelled };

struct CopyResult {
    CopyError error = CopyError::None;
    QString detail; // the path that could not be read or written
    bool ok() const { return error == CopyError::None; }
};

// Copies the folder `source` with everything in it into `destinationRoot` under the name `source`
// has (a link to a folder is installed under the link's name, as the user chose it): files
// of the same name are replaced, other files stay, missing folders are created (the destination
// root included). The copy is all or nothing: it is made beside the destination root first and
// moved in when complete, and a failure leaves the destination root as it was (folders created for
// it are removed again). Copying a folder onto itself copies nothing and succeeds; copying it into
// one of its own sub-folders is refused. A link inside the folder whose target lies inside the folder
// is copied as what it points to; any other link (leading out, dangling, or back into a folder being
// copied), and anything that cannot be read, fails the copy (WriteFailed, detail: its path).
// `monitor` hears of each item copied; a cancel stops the copy with nothing installed.
CopyResult copyFolderInto(const QString& source, const QString& destinationRoot, const Monitor& monitor = {});

} // namespace install
