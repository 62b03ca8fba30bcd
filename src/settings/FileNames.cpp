#include "settings/FileNames.h"

namespace filenames {

namespace {

bool isReservedDeviceName(const QString& name) {
    // Windows reserves the device names also with an extension ("nul.txt") and with blanks before it.
    QString base = name.section(QLatin1Char('.'), 0, 0);
    while (base.endsWith(QLatin1Char(' '))) {
        base.chop(1);
    }
    base = base.toUpper();
    if (base == QLatin1String("CON") || base == QLatin1String("PRN") || base == QLatin1String("AUX") ||
        base == QLatin1String("NUL")) {
        return true;
    }
    return base.size() == 4 &&
           (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
           base[3] >= QLatin1Char('1') && base[3] <= QLatin1Char('9');
}

} // namespace

bool isUsableName(const QString& name) {
    if (name.isEmpty() || name.endsWith(QLatin1Char('.')) || name.back().isSpace()) {
        return false;
    }
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control) {
            return false;
        }
        switch (c.unicode()) {
        case '/':
        case '\\':
        case ':':
        case '<':
        case '>':
        case '"':
        case '|':
        case '?':
        case '*':
            return false;
        default:
            break;
        }
    }
    return !isReservedDeviceName(name);
}

QString forTerminal(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') && c != QLatin1Char('\t')) {
            c = QLatin1Char('?');
        }
    }
    return text;
}

} // namespace filenames
