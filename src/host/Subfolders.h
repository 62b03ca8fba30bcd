#pragma once

#include <QString>
#include <QStringList>

namespace host {

// The names of the sub-folders of `folder` (boards of the boards folder, libraries of a library
// root), in the order the file system enumerates them: never sorted. Hidden folders and links to
// folders count; "." and ".." do not. A missing folder, or a path that is not a folder, gives an empty list.
QStringList listSubfolders(const QString& folder);

} // namespace host
