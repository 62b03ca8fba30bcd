#include "settings/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef QUENRA_HAVE_CORE5COMPAT
#include <QTextCodec>
#endif

namespace gbk {

namespace {

// Qt builds with ICU offer "GBK" through QStringConverter; builds without ICU (as the official
// Windows builds are) only through Core5Compat's QTextCodec.
#ifdef QUENRA_HAVE_CORE5COMPAT
QTextCodec* legacyCodec() {
    static QTextCodec* codec = QTextCodec::codecForName("GBK");
    return codec;
}
#endif

bool converterAvailable() {
    static const bool ok = QStringDecoder("GBK").isValid() && QStringEncoder("GBK").isValid();
    return ok;
}

// Fast path shared by both directions: pure ASCII text is the same in GBK and Latin-1.
bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// True when the text ends in the first byte of a double-byte character whose second byte is missing.
// First bytes run from 0x81 to 0xFE; any other byte (ASCII, 0x80, 0xFF) stands alone, so a character
// starts right after it. The bytes from 0x81 to 0xFE at the end pair up from there, and an odd count
// leaves the last one alone.
bool endsInHalfCharacter(QByteArrayView bytes) {
    qsizetype run = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x81 || b == 0xFF) {
            break;
        }
        ++run;
    }
    return run % 2 == 1;
}

} // namespace

QString decode(QByteArrayView bytes) {
    if (isAscii(bytes)) {
        return QString::fromLatin1(bytes);
    }
    // The decoders drop a character cut off at the end without a trace; it stands as U+FFFD like
    // every other invalid sequence.
    if (endsInHalfCharacter(bytes)) {
        return decode(bytes.first(bytes.size() - 1)) + QChar(QChar::ReplacementCharacter);
    }
    if (converterAvailable()) {
        // The decoder reserves for the worst case of its input (two characters a byte); in pieces,
        // the result takes at most one character a byte, which a catalog of thousands of libraries
        // feels.
        QStringDecoder decoder("GBK");
        constexpr qsizetype Piece = 64 * 1024;
        if (bytes.size() <= Piece) {
            return decoder.decode(bytes);
        }
        QString text;
        text.reserve(bytes.size());
        for (qsizetype at = 0; at < bytes.size(); at += Piece) {
            text += decoder.decode(bytes.sliced(at, qMin(Piece, bytes.size() - at)));
        }
        return text;
    }
#ifdef QUENRA_HAVE_CORE5COMPAT
    if (QTextCodec* codec = legacyCodec()) {
        return codec->toUnicode(bytes.data(), static_cast<int>(bytes.size()));
    }
#endif
    return QString::fromLocal8Bit(bytes);
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
    if (converterAvailable()) {
        QStringEncoder encoder("GBK");
        return encoder.encode(text);
    }
#ifdef QUENRA_HAVE_CORE5COMPAT
    if (QTextCodec* codec = legacyCodec()) {
        return codec->fromUnicode(text);
    }
#endif
    return text.toLocal8Bit();
}

bool available() {
#ifdef QUENRA_HAVE_CORE5COMPAT
    return converterAvailable() || legacyCodec() != nullptr;
#else
    return converterAvailable();
#endif
}

} // namespace gbk
