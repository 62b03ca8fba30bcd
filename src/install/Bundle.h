#pragma once

#include "install/LocalInstall.h"

#include <QDate>
#include <QString>
#include <QStringList>

// A bundle: the installed libraries of one board in a single .zip, so a classroom's libraries travel
// to machines without a network and go back in through "安装本地库" (Extract.h, findLibraries()).
namespace install {

// "BOARD-库包-YYYYMMDD.zip", the name the save dialog offers.
QString bundleFileName(const QString& board, const QDate& date);

// Writes the library folders `names` of the library root `root` into the zip archive `zipPath`, each
// under its own name, entry names in UTF-8 with the archive's UTF-8 mark. The archive is written
// under a temporary name and renamed when complete: a failure or a cancel leaves no file, and an
// archive that was there before stays as it was. A library folder that is missing or whose name the
// name check refuses fails with SourceMissing; a link, or anything but files and folders inside a
// library, fails with WriteFailed (detail: its path), since it would not come back as it was.
CopyResult writeLibraryBundle(const QString& root, const QStringList& names, const QString& zipPath,
                              const Monitor& monitor = {});

} // namespace install
