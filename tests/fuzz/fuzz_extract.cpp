// Archive extraction over arbitrary bytes: whatever the archive holds, nothing is written outside the
// destination folder, no link is created, and a refused archive leaves the destination as it was.
#include "Fuzz.h"
#include "install/Extract.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Every path below `root` relative to it; none may be a link.
QStringList tree(const QString& root) {
    QStringList paths;
    for (QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        paths << QDir(root).relativeFilePath(it.next());
        require(!it.fileInfo().isSymLink());
    }
    paths.sort();
    return paths;
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    require(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

} // namespace

void fuzz(const QByteArray& bytes) {
    static QTemporaryDir work; // one folder for the whole run, emptied per input
    const QString root = work.path() + QStringLiteral("/case");
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/dest/kept"));
    write(root + QStringLiteral("/dest/kept/file.txt"), "kept");
    write(root + QStringLiteral("/input.zip"), bytes);
    const QStringList before = tree(root);
    // Small limits keep each input quick.
    const install::ExtractResult result = install::extractZip(
        root + QStringLiteral("/input.zip"), root + QStringLiteral("/dest"), {8 << 20, 2000});
    const QStringList after = tree(root);
    for (const QString& path : after) {
        require(path == QLatin1String("input.zip") || path == QLatin1String("dest") ||
                path.startsWith(QLatin1String("dest/")));
    }
    require(result.ok() || after == before);
}
