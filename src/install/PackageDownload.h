#pragma once

#include "install/Checksum.h"
#include "install/LibraryDetails.h"
#include "net/HttpClient.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The widget-free steps of installing from the catalog server, shared by the window's buttons and
// the command line: fetching a package into the cache, and finding the installed libraries that
// have another version in the catalog.
namespace install {

// Downloads library `name` from the catalog server `server` (ending in "/") into the package cache
// folder `cacheFolder` with `client`, under `options` (progress, size limit). A package that fails
// `checksum` leaves the cached one as it was; the package replaces it whole, without waiting for the
// disk. 0 on success, otherwise a code of DownloadCodes.h.
qint32 downloadPackage(net::HttpClient& client, const QString& server, const QString& cacheFolder,
                       const QString& name, const Checksum& checksum, net::Options options);

// The installed libraries of `board` (library folders of the host installation `hostPath`) whose
// catalog section in `catalogFile` names another version, sorted for reading.
QStringList librariesWithUpdates(CatalogIndex& catalog, const QString& catalogFile, const QString& hostPath,
                                 const QString& board, QChar sep);

} // namespace install
