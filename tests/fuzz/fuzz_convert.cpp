// The conversion rules over arbitrary text: each output line is one source line between the affixes
// (nothing is escaped, added or lost), and a one-line source is followed by CR LF.
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
    if (source.isEmpty() || !out) {
        if (source.isEmpty() != !out) {
            std::abort();
        }
        return 0;
    }
    const QStringList elements = source.split(crlf);
    QString expected;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        expected += (i == 0 ? QStringLiteral("'") : crlf + QStringLiteral("+'")) + elements[i] +
                    QStringLiteral("\\n'");
    }
    if (elements.size() == 1) {
        expected += crlf;
    }
    if (*out != expected) {
        std::abort();
    }
    return 0;
}
