#pragma once

#include <QString>

// Packages on the catalog server and in the package cache are named after the library (or example).
namespace install {

// The callers pass only names that filenames::isUsableName accepts.

// base + name + ".zip", where the characters of `name` that may not stand in a URL path segment, and
// every non-ASCII character, are percent-encoded as UTF-8 (a space becomes %20). `base` is the
// catalog server root, ending in "/", and is used as it is.
QString packageAddress(const QString& base, const QString& name);

// The cache file of a package: `cacheFolder` (ending with the separator) + name + ".zip"; the name
// is used unchanged.
QString packageCacheFile(const QString& cacheFolder, const QString& name);

} // namespace install
