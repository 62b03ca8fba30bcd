// Archive extraction over arbitrary bytes: whatever the archive holds, nothing is written outside the
// destination folder, no link is created, and a refused archive leaves the destination as it was.
#include "install/Extract.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// Every path below `root`, links included, relative to it.
QStringList tree(const QString& root) {
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().isSymLink()) {
            std::abort(); // extraction never creates a link
        }
        paths << QDir(root).relativeFilePath(path);
    }
    paths.sort();
    return paths;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir work; // one folder for the whole run, emptied per input
    const QString root = work.path() + QStringLiteral("/case");
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/dest/kept"));
    QFile keep(root + QStringLiteral("/dest/kept/file.txt"));
    keep.open(QIODevice::WriteOnly);
    keep.write("kept");
    keep.close();
    QFile zip(root + QStringLiteral("/input.zip"));
    zip.open(QIODevice::WriteOnly);
    zip.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    zip.close();

    const QStringList before = tree(root);
    install::ExtractLimits limits;
    limits.maxBytes = 8 << 20; // keep each input quick
    limits.maxEntries = 2000;
    const install::ExtractResult result =
        install::extractZip(zip.fileName(), root + QStringLiteral("/dest"), limits);
    const QStringList after = tree(root);
    for (const QString& path : after) {
        if (path != QLatin1String("input.zip") && path != QLatin1String("dest") &&
            !path.startsWith(QLatin1String("dest/"))) {
            std::abort(); // something outside the destination
        }
    }
    if (!result.ok() && after != before) {
        std::abort(); // a refused archive changed the destination
    }
    QFile kept(root + QStringLiteral("/dest/kept/file.txt"));
    if (result.ok() && kept.exists() && QFileInfo(kept).isFile()) {
        // Replaced or kept, but never half-written: still readable.
        kept.open(QIODevice::ReadOnly);
    }
    return 0;
}
