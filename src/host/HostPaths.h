#pragma once

#include <QChar>
#include <QString>

// Where things lie in the host IDE's installation.
//
// Every path is made from the host executable path (the full path of Quenra.exe, as the user chose
// it) by replacing each occurrence of `sep` + "Quenra.exe" with `sep` + a relative path whose
// elements are joined with `sep`. The match is exact and case-sensitive, every occurrence is
// replaced (also one inside a folder name), and nothing is normalised: a path that does not hold
// `sep` + "Quenra.exe" comes back unchanged, and an empty board gives two separators in a row.
// Board and library names are inserted as they are.
//
// `sep` is the platform's separator (AppFolder::sep, QDir::separator()); with '\\':
//   versionFile("D:\Quenra\Quenra.exe", '\\')  -> "D:\Quenra\resources\app\src\sw-config.json"
//   libraryRoot("D:\Quenra\Quenra.exe", "Uno", '\\')
//       -> "D:\Quenra\resources\app\src\boards\default\Uno\libraries\ThirdParty"
namespace host {

// The host program's file name, the same on every platform.
inline const QString ExeName = QStringLiteral("Quenra.exe");

// A host executable path is valid when its last characters are exactly `sep` + "Quenra.exe"
// (case-sensitive, no trimming). Whether the file exists is not looked at.
bool isValidHostPath(const QString& exePath, QChar sep);

// A host path that may be written below: valid, absolute (a relative one would resolve against the
// program's working folder), and naming an existing file.
bool isInstalledHostPath(const QString& exePath, QChar sep);

// <host>/resources/app/src/sw-config.json: the text file that names the host version.
QString versionFile(const QString& exePath, QChar sep);

// <host>/resources/app/src/boards/default: one sub-folder per board. No trailing separator.
QString boardsFolder(const QString& exePath, QChar sep);

// <boards folder>/<board>/libraries/ThirdParty: one sub-folder per installed library, named like
// the library. No trailing separator. Installers extract or copy into this folder.
QString libraryRoot(const QString& exePath, const QString& board, QChar sep);

// The files of an installed library `name` of `board`:
// <library root>/<name>, no trailing separator.
QString libraryFolder(const QString& exePath, const QString& board, const QString& name, QChar sep);
// <library root>/<name>/readme.txt: the library's description (GBK, INI layout).
QString libraryReadme(const QString& exePath, const QString& board, const QString& name, QChar sep);
// <library root>/<name>/<name>.xml
QString libraryXml(const QString& exePath, const QString& board, const QString& name, QChar sep);
// <library root>/<name>/block/<name>.js
QString libraryBlockScript(const QString& exePath, const QString& board, const QString& name, QChar sep);
// <library root>/<name>/generator/<name>.js
QString libraryGeneratorScript(const QString& exePath, const QString& board, const QString& name, QChar sep);
// <library root>/<name>/examples/ — ends with the separator.
QString libraryExamplesFolder(const QString& exePath, const QString& board, const QString& name, QChar sep);

// <host>/resources/app/src/boards/Dravonel_examples: shared example projects, one "<title>.qnp"
// file each. No trailing separator.
QString sharedExamplesFolder(const QString& exePath, QChar sep);

} // namespace host
