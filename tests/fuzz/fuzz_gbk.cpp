// The GBK codec over arbitrary bytes: decoding never fails, and re-encoding decoded text decodes to
// the same text (every character has a form, U+FFFD included).
#include "Fuzz.h"
#include "settings/Gbk.h"

void fuzz(const QByteArray& bytes) {
    const QString text = gbk::decode(bytes);
    require(gbk::decode(gbk::encode(text)) == text);
}
