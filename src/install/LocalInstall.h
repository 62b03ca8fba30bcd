#pragma once

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

enum class CopyError { None, SourceMissing, IntoItself, WriteFailed };

struct CopyResult {
    CopyError error = CopyError::None;
    QString detail; // the path that could not be read or written
    bool ok() const { return error == CopyError::None; }
};

// Copies the folder `source` with everything in it into `destinationRoot` under its own name: files
// of the same name are replaced, other files stay, missing folders are created (the destination
// root included). The copy is all or nothing: it is made beside the destination root first and
// moved in when complete, and a failure leaves the destination root as it was (folders created for
// it are removed again). Copying a folder onto itself copies nothing and succeeds; copying it into
// one of its own sub-folders is refused. Links are not followed.
CopyResult copyFolderInto(const QString& source, const QString& destinationRoot);

} // namespace install
