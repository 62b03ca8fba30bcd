// The GBK codec over arbitrary bytes: decoding never fails, and re-encoding decoded text decodes to
// the same text (every character has a form, U+FFFD included).
#include "settings/Gbk.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = gbk::decode(bytes);
    const QString again = gbk::decode(gbk::encode(text));
    if (again != text) {
        std::abort();
    }
    return 0;
}
