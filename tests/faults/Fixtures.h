#pragma once

#include "Places.h"
#include "TempAppFolder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// What the fault table serves and what the application folder holds before each row.
namespace faults {

// The file-size limit of the disk-full rows; every file the rows must fail to write is larger, the
// files written before the limit is set are smaller.
constexpr qint64 DiskLimit = 64 * 1024;

// Raw deflate data that unpacks to `mebibytes` MiB of zero bytes, made without compressing that
// much: one compressed MiB repeated (each copy stands alone, so the copies chain up).
struct ZeroStream {
    QByteArray deflated;
    quint32 crc = 0;
    quint32 size = 0;
};
ZeroStream zeroStream(int mebibytes);

// The catalog server's folder. The root holds the catalog the application folder already caches;
// "new/" holds a newer catalog and the packages:
//   AHT20      a library (bigger than DiskLimit)      Packed   a library, small, unpacking past it
//   NotZip     not an archive                         Bomb     1.1 GiB of zeros in about 1 MB
//   Slip       an entry leading out of the folder     Link     a link entry leading out, and a
//                                                              file written through it
//   led        an example ("流水灯.qnp")              badled   an example that is not an archive
//   slipled    an example with an entry leading out
class ServerFiles {
public:
    ServerFiles();
    QString path() const { return dir_.path(); }
    QByteArray oldCatalog() const;
    QByteArray newCatalog() const;
    QByteArray package(const QString& name) const; // the bytes of new/<name>.zip
    // The files a complete install of the package puts into the library root or examples folder.
    Tree packageFiles(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// An application folder as a user has it after earlier installs, with the host IDE beside it:
//   Dravonel/config.ini    server, host path, board Uno, version 1.03 (as the catalog), and a
//                          section of notes that makes it larger than DiskLimit
//   Dravonel/ku/Ku.txt     the server's current (old) catalog
//   Dravonel/ku/Wenjian/   an older AHT20.zip
//   host/...               boards Uno and Mega; Uno has AHT20 1.0 (with a file 2.0 dropped) and
//                          Other installed; the shared examples folder holds one example
//   local/MyLib/           a library folder on disk for the local install (one file larger than
//                          DiskLimit, sorted between two small ones)
class AppFixture {
public:
    AppFixture(const ServerFiles& server, const QString& goodBase);
    QString path() const { return app_.path(); }
    QString file(const QString& relative) const { return app_.file(relative); }
    Tree localLibraryFiles() const;
    QByteArray oldPackage() const;

private:
    TempAppFolder app_;
};

} // namespace faults
