#pragma once

#include <QByteArray>

// A catalog as the server publishes it (GBK, CR LF) with `libraries` library sections of eight
// keys each, plus the marker lines; about 200 bytes a library.
QByteArray generateCatalog(int libraries);

// What a hostile server could send within the catalog size limit: the marker lines, then
// `sections` sections of a one-letter name and nothing else ("[a] ", "[b] ", ...), 6 bytes each.
QByteArray generateFloodCatalog(qsizetype sections);
