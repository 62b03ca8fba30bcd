// The conversion rules over arbitrary text: each output line is one source line between the affixes
// (nothing is escaped, added or lost), and a one-line source is followed by CR LF.
#include "Fuzz.h"
#include "convert/ConvertRules.h"

#include <QStringList>

void fuzz(const QByteArray& bytes) {
    const QString source = QString::fromUtf8(bytes);
    const QString crlf = QStringLiteral("\r\n");
    require(convert::convertValue(source) == "'+" + source + "+'");
    const std::optional<QString> out = convert::convertLines(source);
    require(source.isEmpty() == !out);
    if (out) {
        const QStringList lines = source.split(crlf);
        require(*out == "'" + lines.join("\\n'" + crlf + "+'") + "\\n'" + (lines.size() == 1 ? crlf : ""));
    }
}
