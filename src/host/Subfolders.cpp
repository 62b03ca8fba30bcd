#include "host/Subfolders.h"

#include <QDir>
#include <QDirIterator>

namespace host {

QStringList listSubfolders(const QString& folder) {
    QStringList names;
    if (folder.isEmpty()) {
        // QDirIterator would read an empty path as the current folder.
        return names;
    }
    QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    return names;
}

} // namespace host
