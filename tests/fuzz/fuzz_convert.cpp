// The conversion rules over arbitrary text: one output line per source line, and taking the affixes
// off every output line gives the source back (nothing is escaped, added or lost).
#include "convert/ConvertRules.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString source =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString crlf = QStringLiteral("\r\n");
    if (convert::convertValue(source) != QStringLiteral("'+") + source + QStringLiteral("+'")) {
        std::abort();
    }
    const std::optional<QString> out = convert::convertLines(source);
    if (source.isEmpty()) {
        if (out) {
            std::abort();
        }
        return 0;
    }
    if (!out) {
        std::abort();
    }
    const QStringList elements = source.split(crlf);
    QStringList lines = out->split(crlf);
    if (elements.size() == 1) {
        // One element: the line is followed by CR LF.
        if (lines.size() != 2 || !lines.last().isEmpty()) {
            std::abort();
        }
        lines.removeLast();
    }
    if (lines.size() != elements.size()) {
        std::abort();
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString prefix = i == 0 ? QStringLiteral("'") : QStringLiteral("+'");
        const QString expected = prefix + elements[i] + QStringLiteral("\\n'");
        if (lines[i] != expected) {
            std::abort();
        }
    }
    return 0;
}
