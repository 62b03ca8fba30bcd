// The skin check over arbitrary bytes: it never crashes or hangs, and what it accepts stays accepted
// with one more rule after it and is refused with a block left open.
#include "skins/StyleSheetCheck.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (!isUsableStyleSheet(text)) {
        return 0;
    }
    if (!isUsableStyleSheet(text + QStringLiteral("\nQLabel { color: red; }"))) {
        std::abort();
    }
    if (isUsableStyleSheet(text + QStringLiteral("\nQLabel { color: red;"))) {
        std::abort();
    }
    return 0;
}
