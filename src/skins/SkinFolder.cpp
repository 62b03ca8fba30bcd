#include "skins/SkinFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

SkinFolderListing listSkinFolder(const QString& folder) {
    SkinFolderListing listing;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return listing;
    }
    listing.folderExists = true;
    // Hidden and system entries are files too; no sorting, so the list keeps the file system's order.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        listing.fileNames << it.fileName();
    }
    return listing;
}
