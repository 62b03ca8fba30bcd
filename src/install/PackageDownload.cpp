#include "install/PackageDownload.h"

#include "host/HostPaths.h"
#include "host/Subfolders.h"
#include "install/DownloadCodes.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"

#include <QUrl>

#include <algorithm>

namespace install {

qint32 downloadPackage(net::HttpClient& client, const QString& server, const QString& cacheFolder,
                       const QString& name, const Checksum& checksum, net::Options options) {
    // A name from the catalog that is no plain file name in the package cache asks for nothing.
    if (!filenames::isUsableName(name)) {
        return code::BadName;
    }
    if (client.isBusy()) {
        return code::Failed; // one transfer at a time
    }
    // The digest is taken as the body arrives; a refused body never replaces the cached package.
    if (checksum.pinned) {
        options.acceptSha256 = [checksum](const QByteArray& sha256) { return checksum.accepts(sha256); };
    }
    // The package cache is a cache, like the catalog's: a package a power cut damages fails its
    // extraction (or its checksum) before anything is installed, and is fetched again. Waiting for
    // the disk after every package made updating ten libraries up to a third slower.
    options.flushToDisk = false;
    const net::Result result = client.downloadToFile(QUrl(packageAddress(server, name)),
                                                     packageCacheFile(cacheFolder, name), options);
    return downloadCode(outcomeOf(result));
}

QStringList librariesWithUpdates(CatalogIndex& catalog, const QString& catalogFile, const QString& hostPath,
                                 const QString& board, QChar sep) {
    QStringList stale;
    for (const QString& name : host::listSubfolders(host::libraryRoot(hostPath, board, sep))) {
        if (!filenames::isUsableName(name)) {
            continue; // it names no package that could be downloaded
        }
        const LibraryRecord installed =
            readDescriptionFile(host::libraryReadme(hostPath, board, name, sep), name);
        if (offersUpdate(catalog.record(catalogFile, name), installed)) {
            stale << name;
        }
    }
    // The file system lists folders in no useful order; a list of names reads better sorted.
    std::sort(stale.begin(), stale.end(),
              [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    return stale;
}

} // namespace install
