#include "Places.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace faults {

namespace {

QByteArray stateOf(const QFileInfo& info) {
    if (info.isSymLink()) {
        return QByteArrayLiteral("<link>") + QFile::encodeName(info.symLinkTarget());
    }
    if (info.isDir()) {
        return Dir;
    }
    if (!info.exists()) {
        return Missing;
    }
    QFile f(info.filePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("<unreadable>");
}

bool isInside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

const QStringList& placePaths() {
    static const QStringList paths{SettingsFile, CatalogCache, PackageCache, LibraryRoot, ExamplesFolder};
    return paths;
}

QString describe(const QByteArray& state) {
    if (state.size() <= 60) {
        return QString::fromUtf8(state);
    }
    return QString::fromUtf8(state.left(40)) + QStringLiteral("… (%1 bytes)").arg(state.size());
}

// The differences between two trees, at most a few lines.
QString diff(const Tree& expected, const Tree& actual) {
    QStringList lines;
    QStringList keys = expected.keys() + actual.keys();
    keys.removeDuplicates();
    keys.sort();
    for (const QString& key : keys) {
        const QByteArray want = expected.value(key, Missing);
        const QByteArray got = actual.value(key, Missing);
        if (want != got) {
            lines << QStringLiteral("    %1: expected %2, found %3").arg(key, describe(want), describe(got));
        }
        if (lines.size() == 6) {
            lines << QStringLiteral("    …");
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

void check(QStringList& problems, const QString& name, const Tree& before, const Tree& after,
           const std::optional<Tree>& expectedNew) {
    if (after == before && !expectedNew) {
        return;
    }
    if (expectedNew) {
        if (after != *expectedNew) {
            problems << name + QStringLiteral(" is not the complete new content:\n") +
                            diff(*expectedNew, after);
        }
        return;
    }
    problems << name + QStringLiteral(" changed:\n") + diff(before, after);
}

} // namespace

Tree snapshotTree(const QString& path) {
    Tree tree;
    const QFileInfo top(path);
    tree.insert(QStringLiteral("."), stateOf(top));
    if (!top.isDir() || top.isSymLink()) {
        return tree;
    }
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(path);
    while (it.hasNext()) {
        it.next();
        tree.insert(base.relativeFilePath(it.filePath()), stateOf(it.fileInfo()));
    }
    return tree;
}

Tree withFiles(Tree base, const Tree& files) {
    base.insert(QStringLiteral("."), Dir);
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        for (qsizetype i = 1; i < parts.size(); ++i) {
            base.insert(parts.first(i).join(QLatin1Char('/')), Dir);
        }
        base.insert(it.key(), it.value());
    }
    return base;
}

Places snapshotPlaces(const QString& appDir) {
    const auto at = [&](const QString& relative) {
        return snapshotTree(appDir + QLatin1Char('/') + relative);
    };
    Places places{at(SettingsFile), at(CatalogCache),   at(PackageCache),
                  at(LibraryRoot),  at(ExamplesFolder), {}};
    const Tree all = snapshotTree(appDir);
    for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
        const QString& path = it.key();
        bool belongsToAPlace = false;
        for (const QString& place : placePaths()) {
            // The place itself, what lies in it, and the folders on the way to it.
            if (isInside(path, place) || place.startsWith(path + QLatin1Char('/'))) {
                belongsToAPlace = true;
                break;
            }
        }
        if (!belongsToAPlace) {
            places.elsewhere.insert(path, it.value());
        }
    }
    return places;
}

QString comparePlaces(const Places& before, const Places& after, const Changes& expected) {
    QStringList problems;
    check(problems, QStringLiteral("settings file"), before.settings, after.settings, expected.settings);
    check(problems, QStringLiteral("catalog cache"), before.catalog, after.catalog, expected.catalog);
    check(problems, QStringLiteral("package cache"), before.packages, after.packages, expected.packages);
    check(problems, QStringLiteral("library root"), before.libraryRoot, after.libraryRoot,
          expected.libraryRoot);
    check(problems, QStringLiteral("examples folder"), before.examples, after.examples, expected.examples);
    check(problems, QStringLiteral("the rest of the application folder"), before.elsewhere, after.elsewhere,
          std::nullopt);
    return problems.join(QLatin1Char('\n'));
}

} // namespace faults
