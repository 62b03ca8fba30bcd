#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// The places of an application folder that a failed operation must leave as they were: the settings
// file, the catalog cache, the package cache, the library root of board Uno and the shared examples
// folder, and everything else in the folder besides.
namespace faults {

inline const QString SettingsFile = QStringLiteral("Dravonel/config.ini");
inline const QString CatalogCache = QStringLiteral("Dravonel/ku/Ku.txt");
inline const QString PackageCache = QStringLiteral("Dravonel/ku/Wenjian");
inline const QString LibraryRoot =
    QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty");
inline const QString ExamplesFolder = QStringLiteral("host/resources/app/src/boards/Dravonel_examples");

// Every folder, file and link at and below a path, by path relative to it ("." is the path itself):
// "<missing>", "<dir>", "<link>" + target, or the content of the file.
using Tree = QMap<QString, QByteArray>;
inline const QByteArray Missing = QByteArrayLiteral("<missing>");
inline const QByteArray Dir = QByteArrayLiteral("<dir>");

Tree snapshotTree(const QString& path);

// `base` with the files of `files` ('/'-separated relative paths) written over it and their folders
// created: what a complete install into the place gives.
Tree withFiles(Tree base, const Tree& files);

struct Places {
    Tree settings;
    Tree catalog;
    Tree packages;
    Tree libraryRoot;
    Tree examples;
    // The rest of the application folder, without the folders that merely hold the places above.
    Tree elsewhere;
};

Places snapshotPlaces(const QString& appDir);

// What each place holds after an operation that succeeded there; nullopt: it must be unchanged.
// `elsewhere` must always be unchanged: a leftover staging folder or temporary file shows there.
struct Changes {
    std::optional<Tree> settings;
    std::optional<Tree> catalog;
    std::optional<Tree> packages;
    std::optional<Tree> libraryRoot;
    std::optional<Tree> examples;
};

// Empty when every place is byte for byte as before or exactly as expected; otherwise a description
// of the first differences, place by place.
QString comparePlaces(const Places& before, const Places& after, const Changes& expected);

} // namespace faults
