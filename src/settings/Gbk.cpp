#include "settings/Gbk.h"

#include "settings/Gb18030Table.h"

#include <QList>

#include <algorithm>
#include <array>
#include <memory>

namespace gbk {

namespace {

constexpr char16_t Euro = 0x20AC;      // code page 936: the single byte 0x80
constexpr char16_t PrivateFF = 0xF8F5; // code page 936: the single byte 0xFF

// GB18030 from its table of two-byte codes, without a converter library: loading ICU's converter
// and its tables for the same characters costs over a megabyte of the process's memory.
//
// The four-byte codes 0x81308130 to 0x8431A439 are the BMP characters that have no one- or two-byte
// code, in order (but for U+E7C7, which took the place that U+1E3F gave up for the two-byte 0xA8BC);
// from 0x90308130 on, the characters beyond the BMP, in order; any other four-byte code is U+FFFD.
constexpr qsizetype FourByteBmp = 39420;
constexpr qsizetype FourByteBeyondBmp = 189000; // the linear number of 0x90308130
constexpr char16_t MovedChar = 0xE7C7;
constexpr qsizetype MovedIndex = 7457;

// The table index of a valid two-byte code.
int twoByteIndex(unsigned char first, unsigned char second) {
    return (first - 0x81) * 190 + second - 0x40 - (second > 0x7F ? 1 : 0);
}

// The two-byte code of each BMP character (0: none), made at the first encoding that needs it.
const std::array<quint16, 0x10000>& twoByteCodes() {
    static const std::unique_ptr<std::array<quint16, 0x10000>> codes = [] {
        auto a = std::make_unique<std::array<quint16, 0x10000>>();
        a->fill(0);
        for (int i = 0; i < table::TwoByteCount; ++i) {
            const int first = 0x81 + i / 190;
            const int second = 0x40 + i % 190 + (i % 190 >= 0x3F ? 1 : 0);
            (*a)[table::TwoByte[i]] = quint16(first << 8 | second);
        }
        return a;
    }();
    return *codes;
}

// The characters of the four-byte BMP codes, by linear number, made at the first use.
const QList<char16_t>& fourByteChars() {
    static const QList<char16_t> chars = [] {
        const std::array<quint16, 0x10000>& two = twoByteCodes();
        QList<char16_t> list;
        list.reserve(FourByteBmp);
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (two[c] == 0 && !QChar::isSurrogate(c) && c != MovedChar) {
                list.append(char16_t(c));
            }
        }
        list.insert(MovedIndex, MovedChar);
        return list;
    }();
    return chars;
}

// The character of a four-byte code, by its linear number.
void appendFourByte(qsizetype linear, QString& text) {
    if (linear < FourByteBmp) {
        text += QChar(fourByteChars()[linear]);
    } else if (linear >= FourByteBeyondBmp && linear - FourByteBeyondBmp <= 0xFFFFF) {
        const char32_t c = char32_t(0x10000 + (linear - FourByteBeyondBmp));
        text += QChar(QChar::highSurrogate(c));
        text += QChar(QChar::lowSurrogate(c));
    } else {
        text += QChar(QChar::ReplacementCharacter);
    }
}

void appendFourByteCode(qsizetype linear, QByteArray& out) {
    const char b4 = char(0x30 + linear % 10);
    linear /= 10;
    const char b3 = char(0x81 + linear % 126);
    linear /= 126;
    const char b2 = char(0x30 + linear % 10);
    out += char(0x81 + linear / 10);
    out += b2;
    out += b3;
    out += b4;
}

// A BMP character that is neither ASCII nor one of the two single bytes of code page 936.
void appendBmp(char16_t c, QByteArray& out) {
    if (const quint16 code = twoByteCodes()[c]) {
        out += char(code >> 8);
        out += char(code & 0xFF);
        return;
    }
    qsizetype linear = MovedIndex;
    if (c != MovedChar) {
        // The four-byte characters are in order on either side of the one moved out of its place.
        const QList<char16_t>& chars = fourByteChars();
        const auto begin = chars.cbegin();
        const auto moved = begin + MovedIndex;
        const auto it = c < *(moved + 1) ? std::lower_bound(begin, moved, c)
                                         : std::lower_bound(moved + 1, chars.cend(), c);
        linear = it - begin;
    }
    appendFourByteCode(linear, out);
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool inRange(unsigned char b, unsigned char low, unsigned char high) {
    return b >= low && b <= high;
}

} // namespace

QString decode(QByteArrayView bytes) {
    if (isAscii(bytes)) {
        return QString::fromLatin1(bytes);
    }
    // Walks the characters: one byte below 0x80; a first byte 0x81..0xFE with a second byte
    // 0x40..0xFE (not 0x7F) makes two bytes, with 0x30..0x39, a third 0x81..0xFE and a fourth
    // 0x30..0x39 four. A single 0x80 or 0xFF is a character of code page 936 on its own. Any other
    // first byte stands as U+FFFD, and so does a character cut off at the end, whole.
    QString text;
    text.reserve(bytes.size());
    const qsizetype n = bytes.size();
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            text += QLatin1Char(char(b));
            ++i;
        } else if (b == 0x80 || b == 0xFF) {
            text += QChar(b == 0x80 ? Euro : PrivateFF);
            ++i;
        } else if (i + 1 < n && at(i + 1) >= 0x40 && at(i + 1) != 0x7F && at(i + 1) != 0xFF) {
            text += QChar(table::TwoByte[twoByteIndex(b, at(i + 1))]);
            i += 2;
        } else if (i + 3 < n && inRange(at(i + 1), 0x30, 0x39) && inRange(at(i + 2), 0x81, 0xFE) &&
                   inRange(at(i + 3), 0x30, 0x39)) {
            appendFourByte((((b - 0x81) * 10 + (at(i + 1) - 0x30)) * 126 + (at(i + 2) - 0x81)) * 10LL +
                               (at(i + 3) - 0x30),
                           text);
            i += 4;
        } else if (i + 1 >= n || (inRange(at(i + 1), 0x30, 0x39) &&
                                  (i + 2 >= n || (inRange(at(i + 2), 0x81, 0xFE) && i + 3 >= n)))) {
            text += QChar(QChar::ReplacementCharacter); // cut off at the end
            i = n;
        } else {
            text += QChar(QChar::ReplacementCharacter);
            ++i;
        }
    }
    // Double-byte characters took less room than was reserved for them.
    text.squeeze();
    return text;
}

QByteArray encode(QStringView text) {
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return text.toLatin1();
    }
    QByteArray out;
    out.reserve(text.size() * 2);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out += char(c);
        } else if (c == Euro || c == PrivateFF) {
            out += char(c == Euro ? 0x80 : 0xFF);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            const char32_t full = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            appendFourByteCode(FourByteBeyondBmp + (full - 0x10000), out);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            // A lone surrogate is no character: the substitute byte, as converters write it. A high
            // one last, or before a single-byte character, is dropped, as the converter that wrote
            // this file's earlier versions dropped it (waiting for its partner at the end of a run).
            if (!QChar::isHighSurrogate(c) ||
                (i + 1 < n && text[i + 1] != Euro && text[i + 1] != PrivateFF)) {
                out += char(0x1A);
            }
        } else {
            appendBmp(c, out);
        }
    }
    return out;
}

QString decodeLine(QByteArrayView line, char end) {
    if (end == '\0' || isAscii(line)) {
        return decode(line);
    }
    // With the line end after it, the walk over the bytes ends the line as it does mid-text; the
    // line end itself decodes to one character, which is dropped.
    QByteArray withEnd;
    withEnd.reserve(line.size() + 1);
    withEnd.append(line);
    withEnd.append(end);
    QString text = decode(withEnd);
    text.chop(1);
    return text;
}

} // namespace gbk
