#pragma once

#include <QString>
#include <QStringList>

// What the skin folder holds: the bare names of the files directly in it, in the order the file
// system gives them. Every file counts, whatever its name or content; sub-folders are not entered.
struct SkinFolderListing {
    bool folderExists = false;
    QStringList fileNames;
};

SkinFolderListing listSkinFolder(const QString& folder);
