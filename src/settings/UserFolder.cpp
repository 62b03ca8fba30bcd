#include "settings/UserFolder.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Copies the files of `from` into `to`, creating folders; a file already there is the user's and
// stays.
void copyTemplate(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFileInfo::exists(target)) {
            QFile::copy(source, target); // written under a temporary name, renamed when complete
        }
    }
}

} // namespace

AppFolder workingAppFolder() {
    AppFolder folder = AppFolder::ofRunningProgram();
    const QString program = QCoreApplication::applicationDirPath();
    const QString templateDir = program + QStringLiteral("/../share/quenra-assistant/Dravonel");
    const bool installed =
        !QFileInfo(program).isWritable() ||
        (!QFileInfo::exists(program + QStringLiteral("/Dravonel")) && QFileInfo(templateDir).isDir());
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!installed || data.isEmpty()) {
        return folder;
    }
    copyTemplate(templateDir, data + QStringLiteral("/Dravonel"));
    // The caches the template does not carry: the catalog and the packages are the user's own.
    QDir().mkpath(data + QStringLiteral("/Dravonel/ku/Wenjian"));
    QDir().mkpath(data + QStringLiteral("/Dravonel/SkinH"));
    folder.dir = QDir::toNativeSeparators(data);
    return folder;
}
