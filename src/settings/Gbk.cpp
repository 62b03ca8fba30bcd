#include "settings/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef QUENRA_HAVE_CORE5COMPAT
#include <QTextCodec>
#endif

namespace gbk {

namespace {

constexpr char16_t Euro = 0x20AC;      // code page 936: the single byte 0x80
constexpr char16_t PrivateFF = 0xF8F5; // code page 936: the single byte 0xFF

// Qt builds with ICU offer GB18030 through QStringConverter; builds without ICU (as the official
// Windows builds are) only through Core5Compat's QTextCodec, which carries its own tables.
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

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

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
        // One decoder a thread, made once: making one costs more than decoding a line of text. Every
        // run ends on a whole character, so no state carries over from one run to the next.
        thread_local QStringDecoder decoder("GB18030");
        decoder.resetState();
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

bool inRange(unsigned char b, unsigned char low, unsigned char high) {
    return b >= low && b <= high;
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

bool available() {
#ifdef QUENRA_HAVE_CORE5COMPAT
    return converterAvailable() || legacyCodec() != nullptr;
#else
    return converterAvailable();
#endif
}

} // namespace gbk
