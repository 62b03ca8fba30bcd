#pragma once

#include <QByteArray>
#include <QString>

// Pinning each library's package in the catalog (install/Checksum.h).
namespace publish {

struct Stamped {
    QByteArray file;   // the new catalog file
    int libraries = 0; // the sections whose 校验码 was written or changed
};

// The catalog file `file` with "校验码=" set to the SHA-256 of `packages`/NAME.zip for every library
// NAME whose package is there: in the section the client reads for it, an existing 校验码 line gets
// the new digest after its "=" (one that names the digest already stays as it is), and a section
// without one gets the line after its last line that is not blank, with that line's line end.
// Every other byte stays as it was.
Stamped stampCatalog(const QByteArray& file, const QString& packages);

} // namespace publish
