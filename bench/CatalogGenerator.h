#pragma once

#include <QByteArray>

// A catalog as the server publishes it (GBK, CR LF) with `libraries` library sections of eight
// keys each, plus the marker lines; about 200 bytes a library.
QByteArray generateCatalog(int libraries);
