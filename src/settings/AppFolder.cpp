#include "settings/AppFolder.h"

#include <QCoreApplication>

QString AppFolder::file(const QString& relative) const {
    QString rel = relative;
    if (sep != QLatin1Char('/')) {
        rel.replace(QLatin1Char('/'), sep);
    }
    return dir + sep + rel;
}

QString AppFolder::catalogCacheForDetails() const {
#ifdef Q_OS_WIN
    return file(QStringLiteral("Dravonel/ku/ku.txt"));
#else
    return catalogCache();
#endif
}

AppFolder AppFolder::ofRunningProgram() {
    AppFolder folder;
    folder.dir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    folder.sep = QDir::separator();
    // A program in the root of the file system: "/" (or "C:\") keeps its separator, as the
    // platform reports it.
    return folder;
}
