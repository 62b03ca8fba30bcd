// The catalog parse over arbitrary bytes: never crashes, and each list has at most one row per line.
#include "Fuzz.h"
#include "catalog/CatalogParser.h"
#include "settings/Gbk.h"

void fuzz(const QByteArray& bytes) {
    const QString text = gbk::decode(bytes);
    const catalog::ParsedCatalog parsed = catalog::parse(bytes);
    const qsizetype lines = text.count(QLatin1Char('\r')) + text.count(QLatin1Char('\n')) + 1;
    for (const qsizetype rows :
         {parsed.libraries.size(), parsed.sites.size(), parsed.examples.size(), parsed.versions.size()}) {
        require(rows <= lines);
    }
}
