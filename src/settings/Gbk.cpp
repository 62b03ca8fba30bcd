#include "settings/Gbk.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <array>
#include <vector>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#ifdef QUENRA_HAVE_CORE5COMPAT
#include <QTextCodec>
#endif
#endif

namespace gbk {

namespace {

constexpr char16_t Euro = 0x20AC;      // code page 936: the single byte 0x80
constexpr char16_t PrivateFF = 0xF8F5; // code page 936: the single byte 0xFF

#ifdef Q_OS_WIN
// Windows has GB18030 as code page 54936, but Wine lacks it, and Windows maps it after the 2000
// edition (0xA8BC as U+E7C7), so files would get other bytes than on Linux. GB18030 is therefore
// made here from code page 936, Windows' own GBK table, which every Windows and Wine have:
// - a pair is what code page 936 says, except for the 82 pairs where GB18030 names a character
//   that GBK left to the private use area (the euro sign, ideographic description characters,
//   CJK radicals and extension A characters);
// - the four-byte forms below U+10000 number every other character from U+0080 up, in order,
//   except that U+E7C7 took the place of U+1E3F when 0xA8BC became U+1E3F;
// - from 0x90308130 on, four bytes count the characters from U+10000 up to U+10FFFF.
// Unassigned four-byte forms read as U+FFFD, and a lone surrogate writes as 0x1A, as the codec of
// the Linux build (ICU) does.
struct Gb18030Tables {
    static constexpr int Trails = 0xFF - 0x40; // trail bytes 0x40..0xFE (0x7F unused)
    static constexpr int PairCount = 126 * 190;
    static constexpr int BmpFourCount = 39420;       // 0x81308130..0x8431A439
    static constexpr quint32 Supplementary = 189000; // the linear index of 0x90308130
    static constexpr quint32 FourFlag = 0x10000;

    bool ok = false;
    std::vector<char16_t> pairToChar; // (lead - 0x81) * Trails + (trail - 0x40)
    std::vector<char16_t> fourToChar; // the linear index of a four-byte form below U+10000
    std::vector<quint32> charToBytes; // a pair 0xLLTT, or FourFlag + linear index; 0: none
};

// The pairs where GB18030 differs from code page 936.
constexpr std::array<std::pair<quint16, char16_t>, 82> Gb18030Pairs{{
    {0xA2E3, 0x20AC}, {0xA8BC, 0x1E3F}, {0xA8BF, 0x01F9}, {0xA989, 0x303E}, {0xA98A, 0x2FF0},
    {0xA98B, 0x2FF1}, {0xA98C, 0x2FF2}, {0xA98D, 0x2FF3}, {0xA98E, 0x2FF4}, {0xA98F, 0x2FF5},
    {0xA990, 0x2FF6}, {0xA991, 0x2FF7}, {0xA992, 0x2FF8}, {0xA993, 0x2FF9}, {0xA994, 0x2FFA},
    {0xA995, 0x2FFB}, {0xFE50, 0x2E81}, {0xFE54, 0x2E84}, {0xFE55, 0x3473}, {0xFE56, 0x3447},
    {0xFE57, 0x2E88}, {0xFE58, 0x2E8B}, {0xFE5A, 0x359E}, {0xFE5B, 0x361A}, {0xFE5C, 0x360E},
    {0xFE5D, 0x2E8C}, {0xFE5E, 0x2E97}, {0xFE5F, 0x396E}, {0xFE60, 0x3918}, {0xFE62, 0x39CF},
    {0xFE63, 0x39DF}, {0xFE64, 0x3A73}, {0xFE65, 0x39D0}, {0xFE68, 0x3B4E}, {0xFE69, 0x3C6E},
    {0xFE6A, 0x3CE0}, {0xFE6B, 0x2EA7}, {0xFE6E, 0x2EAA}, {0xFE6F, 0x4056}, {0xFE70, 0x415F},
    {0xFE71, 0x2EAE}, {0xFE72, 0x4337}, {0xFE73, 0x2EB3}, {0xFE74, 0x2EB6}, {0xFE75, 0x2EB7},
    {0xFE77, 0x43B1}, {0xFE78, 0x43AC}, {0xFE79, 0x2EBB}, {0xFE7A, 0x43DD}, {0xFE7B, 0x44D6},
    {0xFE7C, 0x4661}, {0xFE7D, 0x464C}, {0xFE80, 0x4723}, {0xFE81, 0x4729}, {0xFE82, 0x477C},
    {0xFE83, 0x478D}, {0xFE84, 0x2ECA}, {0xFE85, 0x4947}, {0xFE86, 0x497A}, {0xFE87, 0x497D},
    {0xFE88, 0x4982}, {0xFE89, 0x4983}, {0xFE8A, 0x4985}, {0xFE8B, 0x4986}, {0xFE8C, 0x499F},
    {0xFE8D, 0x499B}, {0xFE8E, 0x49B7}, {0xFE8F, 0x49B6}, {0xFE92, 0x4CA3}, {0xFE93, 0x4C9F},
    {0xFE94, 0x4CA0}, {0xFE95, 0x4CA1}, {0xFE96, 0x4C77}, {0xFE97, 0x4CA2}, {0xFE98, 0x4D13},
    {0xFE99, 0x4D14}, {0xFE9A, 0x4D15}, {0xFE9B, 0x4D16}, {0xFE9C, 0x4D17}, {0xFE9D, 0x4D18},
    {0xFE9E, 0x4D19}, {0xFE9F, 0x4DAE},
}};

bool isSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

Gb18030Tables buildTables() {
    using T = Gb18030Tables;
    T t;
    // Every pair at once through code page 936; each gives exactly one character.
    std::vector<char> pairs;
    pairs.reserve(T::PairCount * 2);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) {
                pairs.push_back(static_cast<char>(lead));
                pairs.push_back(static_cast<char>(trail));
            }
        }
    }
    std::vector<wchar_t> chars(T::PairCount);
    if (MultiByteToWideChar(936, 0, pairs.data(), static_cast<int>(pairs.size()), chars.data(),
                            T::PairCount) != T::PairCount) {
        return t;
    }
    t.pairToChar.assign(126 * T::Trails, 0);
    t.charToBytes.assign(0x10000, 0);
    const auto slot = [](quint16 code) { return ((code >> 8) - 0x81) * T::Trails + (code & 0xFF) - 0x40; };
    for (int i = 0; i < T::PairCount; ++i) {
        const auto code = static_cast<quint16>(static_cast<unsigned char>(pairs[2 * i]) << 8 |
                                               static_cast<unsigned char>(pairs[2 * i + 1]));
        t.pairToChar[slot(code)] = static_cast<char16_t>(chars[i]);
    }
    for (const auto& [code, c] : Gb18030Pairs) {
        t.pairToChar[slot(code)] = c;
    }
    for (int i = 0; i < T::PairCount; ++i) {
        const auto code = static_cast<quint16>(static_cast<unsigned char>(pairs[2 * i]) << 8 |
                                               static_cast<unsigned char>(pairs[2 * i + 1]));
        const char16_t c = t.pairToChar[slot(code)];
        if (c < 0x80 || isSurrogate(c) || t.charToBytes[c] != 0) {
            return t; // not the GBK table this is made for
        }
        t.charToBytes[c] = code;
    }
    t.fourToChar.reserve(T::BmpFourCount);
    for (quint32 c = 0x80; c <= 0xFFFF; ++c) {
        const bool paired = c == 0xE7C7 || (c != 0x1E3F && t.charToBytes[c] != 0);
        if (paired || isSurrogate(static_cast<char16_t>(c))) {
            continue;
        }
        const char16_t who = c == 0x1E3F ? char16_t(0xE7C7) : static_cast<char16_t>(c);
        t.charToBytes[who] = T::FourFlag + static_cast<quint32>(t.fourToChar.size());
        t.fourToChar.push_back(who);
    }
    t.ok = t.fourToChar.size() == T::BmpFourCount;
    return t;
}

const Gb18030Tables& tables() {
    static const Gb18030Tables t = buildTables();
    return t;
}
#else
// Qt builds with ICU offer GB18030 through QStringConverter; builds without ICU only through
// Core5Compat's QTextCodec, which carries its own tables.
#ifdef QUENRA_HAVE_CORE5COMPAT
QTextCodec* legacyCodec() {
    static QTextCodec* codec = QTextCodec::codecForName("GB18030");
    return codec;
}
#endif

bool converterAvailable() {
    static const bool ok = QStringDecoder("GB18030").isValid() && QStringEncoder("GB18030").isValid();
    return ok;
}
#endif

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

#ifdef Q_OS_WIN
void decodeRun(QByteArrayView bytes, QString& text) {
    using T = Gb18030Tables;
    const T& t = tables();
    if (!t.ok) {
        text += QString::fromLocal8Bit(bytes);
        return;
    }
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    for (qsizetype i = 0; i < bytes.size();) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            text += QLatin1Char(static_cast<char>(b));
            ++i;
        } else if (!inRange(at(i + 1), 0x30, 0x39)) {
            text += QChar(t.pairToChar[(b - 0x81) * T::Trails + at(i + 1) - 0x40]);
            i += 2;
        } else {
            const quint32 linear =
                (((b - 0x81) * 10 + at(i + 1) - 0x30) * 126 + at(i + 2) - 0x81) * 10 + at(i + 3) - 0x30;
            if (linear < T::BmpFourCount) {
                text += QChar(t.fourToChar[linear]);
            } else if (linear >= T::Supplementary && linear - T::Supplementary <= 0xFFFFF) {
                const char32_t c = 0x10000 + linear - T::Supplementary;
                text += QChar(QChar::highSurrogate(c));
                text += QChar(QChar::lowSurrogate(c));
            } else {
                text += QChar(QChar::ReplacementCharacter);
            }
            i += 4;
        }
    }
}

QByteArray encodeRun(QStringView text) {
    using T = Gb18030Tables;
    const T& t = tables();
    if (!t.ok) {
        return text.toLocal8Bit();
    }
    QByteArray out;
    out.reserve(text.size() * 2);
    const auto four = [&](quint32 linear) {
        char bytes[4];
        bytes[3] = static_cast<char>(0x30 + linear % 10);
        linear /= 10;
        bytes[2] = static_cast<char>(0x81 + linear % 126);
        linear /= 126;
        bytes[1] = static_cast<char>(0x30 + linear % 10);
        bytes[0] = static_cast<char>(0x81 + linear / 10);
        out.append(bytes, 4);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            four(T::Supplementary + QChar::surrogateToUcs4(c, text[i + 1].unicode()) - 0x10000);
            ++i;
        } else if (isSurrogate(c)) {
            // A high surrogate at the end waits for its pair and is dropped, as the Linux build's
            // encoder does.
            if (!(QChar::isHighSurrogate(c) && i + 1 == text.size())) {
                out += '\x1A';
            }
        } else if (const quint32 code = t.charToBytes[c]; code < T::FourFlag) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            four(code - T::FourFlag);
        }
    }
    return out;
}
#else
// Decodes a run that holds no single 0x80 or 0xFF and ends on a whole character, onto the end of
// `text`.
void decodeRun(QByteArrayView bytes, QString& text) {
    if (bytes.isEmpty()) {
        return;
    }
    if (isAscii(bytes)) {
        text += QLatin1StringView(bytes.data(), bytes.size());
        return;
    }
    if (converterAvailable()) {
        // The decoder reserves for the worst case of its input (two characters a byte); in pieces,
        // straight onto the text, a catalog of thousands of libraries is held once while it is
        // decoded. The decoder keeps a character cut at a piece's end for the next piece.
        QStringDecoder decoder("GB18030");
        constexpr qsizetype Piece = 64 * 1024;
        for (qsizetype at = 0; at < bytes.size(); at += Piece) {
            text += decoder.decode(bytes.sliced(at, qMin(Piece, bytes.size() - at)));
        }
        return;
    }
#ifdef QUENRA_HAVE_CORE5COMPAT
    if (QTextCodec* codec = legacyCodec()) {
        text += codec->toUnicode(bytes.data(), static_cast<int>(bytes.size()));
        return;
    }
#endif
    text += QString::fromLocal8Bit(bytes);
}

QByteArray encodeRun(QStringView text) {
    if (text.isEmpty()) {
        return {};
    }
    if (converterAvailable()) {
        QStringEncoder encoder("GB18030");
        return encoder.encode(text);
    }
#ifdef QUENRA_HAVE_CORE5COMPAT
    if (QTextCodec* codec = legacyCodec()) {
        return codec->fromUnicode(text);
    }
#endif
    return text.toLocal8Bit();
}
#endif

} // namespace

QString decode(QByteArrayView bytes) {
    if (isAscii(bytes)) {
        return QString::fromLatin1(bytes);
    }
    // Walks the characters: one byte below 0x80; a first byte 0x81..0xFE with a second byte
    // 0x40..0xFE (not 0x7F) makes two bytes, with 0x30..0x39, a third 0x81..0xFE and a fourth
    // 0x30..0x39 four. A single 0x80 or 0xFF is a character of code page 936 on its own. Any other
    // first byte, and a character cut off at the end (the decoders would drop that without a trace),
    // stands as U+FFFD, so the codec only ever sees whole, valid characters.
    QString text;
    text.reserve(bytes.size());
    const qsizetype n = bytes.size();
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    qsizetype runStart = 0;
    qsizetype i = 0;
    const auto standAlone = [&](QChar c, qsizetype length) {
        decodeRun(bytes.sliced(runStart, i - runStart), text);
        text += c;
        i += length;
        runStart = i;
    };
    while (i < n) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            ++i;
        } else if (b == 0x80 || b == 0xFF) {
            standAlone(QChar(b == 0x80 ? Euro : PrivateFF), 1);
        } else if (i + 1 < n && at(i + 1) >= 0x40 && at(i + 1) != 0x7F && at(i + 1) != 0xFF) {
            i += 2;
        } else if (i + 3 < n && inRange(at(i + 1), 0x30, 0x39) && inRange(at(i + 2), 0x81, 0xFE) &&
                   inRange(at(i + 3), 0x30, 0x39)) {
            i += 4;
        } else if (i + 1 >= n || (inRange(at(i + 1), 0x30, 0x39) &&
                                  (i + 2 >= n || (inRange(at(i + 2), 0x81, 0xFE) && i + 3 >= n)))) {
            standAlone(QChar(QChar::ReplacementCharacter), n - i); // cut off at the end
        } else {
            standAlone(QChar(QChar::ReplacementCharacter), 1);
        }
    }
    decodeRun(bytes.sliced(runStart, n - runStart), text);
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
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == Euro || c == PrivateFF) {
            out += encodeRun(text.sliced(runStart, i - runStart));
            out += char(c == Euro ? 0x80 : 0xFF);
            runStart = i + 1;
        }
    }
    out += encodeRun(text.sliced(runStart));
    return out;
}

bool available() {
#if defined(Q_OS_WIN)
    return tables().ok;
#elif defined(QUENRA_HAVE_CORE5COMPAT)
    return converterAvailable() || legacyCodec() != nullptr;
#else
    return converterAvailable();
#endif
}

} // namespace gbk
