#include "skins/StyleSheetCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// Control characters other than white space never occur in a style sheet; they mark binary data.
bool isJunk(QChar c) {
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f') || u == 0x7f;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_';
}

// A property name: letters, digits, '-' and '_', not starting with a digit.
bool isPropertyName(QStringView name) {
    if (name.isEmpty() || name.front().isDigit()) {
        return false;
    }
    for (QChar c : name) {
        if (!isNameChar(c)) {
            return false;
        }
    }
    return true;
}

// Characters a selector may hold: names, '#', '.', ':', '::', '!', ',', combinators, '*', attribute
// brackets with quoted values.
bool isSelectorChar(QChar c) {
    if (isNameChar(c) || c.isSpace()) {
        return true;
    }
    switch (c.unicode()) {
    case u'#':
    case u'.':
    case u':':
    case u'!':
    case u',':
    case u'>':
    case u'+':
    case u'~':
    case u'*':
    case u'[':
    case u']':
    case u'=':
    case u'|':
    case u'^':
    case u'$':
    case u'"':
    case u'\'':
    case u'\\':
        return true;
    default:
        return false;
    }
}

// The text with comments replaced by one blank each; nothing when a comment or a string is not
// closed. Strings are kept as they are (a "/*" inside quotes is not a comment).
std::optional<QString> withoutComments(QStringView text) {
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(u"*/", i + 2);
            if (end < 0) {
                return std::nullopt;
            }
            out += u' ';
            i = end + 2;
        } else if (c == u'"' || c == u'\'') {
            qsizetype j = i + 1;
            while (j < n && text[j] != c) {
                if (text[j] == u'\n') {
                    return std::nullopt;
                }
                j += text[j] == u'\\' ? 2 : 1;
            }
            if (j >= n) {
                return std::nullopt;
            }
            out += text.mid(i, j - i + 1);
            i = j + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Splits at `sep` outside quotes and parentheses; nothing when parentheses do not match.
std::optional<QList<QStringView>> splitTopLevel(QStringView text, QChar sep) {
    QList<QStringView> parts;
    int depth = 0;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == u'\\') {
                ++i;
            } else if (c == quote) {
                quote = QChar();
            }
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            if (--depth < 0) {
                return std::nullopt;
            }
        } else if (c == sep && depth == 0) {
            parts << text.mid(start, i - start);
            start = i + 1;
        }
    }
    if (depth != 0 || !quote.isNull()) {
        return std::nullopt;
    }
    parts << text.mid(start);
    return parts;
}

bool isSelectorList(QStringView selectors) {
    const std::optional<QList<QStringView>> parts = splitTopLevel(selectors, u',');
    if (!parts) {
        return false;
    }
    for (QStringView part : *parts) {
        part = part.trimmed();
        if (part.isEmpty()) {
            return false;
        }
        // Anything else (parentheses, ';', stray text of a broken rule before) is no selector.
        for (QChar c : part) {
            if (!isSelectorChar(c)) {
                return false;
            }
        }
    }
    return true;
}

bool isDeclarationBlock(QStringView block) {
    const std::optional<QList<QStringView>> declarations = splitTopLevel(block, u';');
    if (!declarations) {
        return false;
    }
    for (QStringView declaration : *declarations) {
        declaration = declaration.trimmed();
        if (declaration.isEmpty()) {
            continue; // "a: b;;" and a block without declarations are harmless
        }
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) {
            return false;
        }
        if (!isPropertyName(declaration.first(colon).trimmed()) ||
            declaration.sliced(colon + 1).trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

// Index of the first of `stops` at or after `from` that lies outside quotes, or -1.
qsizetype findOutsideQuotes(QStringView text, qsizetype from, QStringView stops) {
    QChar quote;
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == u'\\') {
                ++i;
            } else if (c == quote) {
                quote = QChar();
            }
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (stops.contains(c)) {
            return i;
        }
    }
    return -1;
}

} // namespace

bool isUsableStyleSheet(QStringView text) {
    for (QChar c : text) {
        if (isJunk(c)) {
            return false;
        }
    }
    const std::optional<QString> stripped = withoutComments(text);
    if (!stripped) {
        return false;
    }
    const QStringView sheet(*stripped);

    int rules = 0;
    qsizetype i = 0;
    while (true) {
        while (i < sheet.size() && sheet[i].isSpace()) {
            ++i;
        }
        if (i >= sheet.size()) {
            break;
        }
        if (sheet[i] == u'@') {
            // "@charset ...;" and the like carry no rules; an at-rule with a block is not for us.
            const qsizetype end = findOutsideQuotes(sheet, i, u";{}");
            if (end < 0 || sheet[end] != u';') {
                return false;
            }
            i = end + 1;
            continue;
        }
        const qsizetype open = findOutsideQuotes(sheet, i, u"{};");
        if (open < 0 || sheet[open] != u'{') {
            return false; // text after the last rule, or a '}' or ';' outside any block
        }
        const qsizetype close = findOutsideQuotes(sheet, open + 1, u"{}");
        if (close < 0 || sheet[close] != u'}') {
            return false; // a block left open, or a nested block: style sheets do not nest
        }
        if (!isSelectorList(sheet.sliced(i, open - i)) ||
            !isDeclarationBlock(sheet.sliced(open + 1, close - open - 1))) {
            return false;
        }
        ++rules;
        i = close + 1;
    }
    return rules > 0;
}

std::optional<QString> loadSkinFile(const QString& path) {
    const QFileInfo info(path);
    // Only regular files: a folder, a device or a pipe is never a skin (a pipe would block the read).
    if (!info.exists() || !info.isFile() || info.size() > MaxSkinFileBytes) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(MaxSkinFileBytes + 1);
    if (bytes.size() > MaxSkinFileBytes) {
        return std::nullopt;
    }
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    if (decode.hasError()) {
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xfeff))) {
        text.remove(0, 1);
    }
    if (!isUsableStyleSheet(text)) {
        return std::nullopt;
    }
    return text;
}
