// The skin check over arbitrary bytes: it never crashes or hangs, and what it accepts stays accepted
// with one more rule after it and is refused with a block left open.
#include "Fuzz.h"
#include "skins/StyleSheetCheck.h"

void fuzz(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    if (isUsableStyleSheet(text)) {
        require(isUsableStyleSheet(text + QStringLiteral("\nQLabel { color: red; }")));
        require(!isUsableStyleSheet(text + QStringLiteral("\nQLabel { color: red;")));
    }
}
