// The catalog parse over arbitrary bytes: never crashes, and each list has at most one row per line.
#include "catalog/CatalogParser.h"
#include "settings/Gbk.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = gbk::decode(bytes);
    const catalog::ParsedCatalog parsed = catalog::parse(text);
    const qsizetype lines = text.count(QLatin1Char('\r')) + text.count(QLatin1Char('\n')) + 1;
    if (parsed.libraries.size() > lines || parsed.sites.size() > lines || parsed.examples.size() > lines ||
        parsed.versions.size() > lines) {
        std::abort();
    }
    return 0;
}
