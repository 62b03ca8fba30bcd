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

} // namespace

QString decode(QByteArrayView bytes) {
    if (isAscii(bytes)) {
        return QString::fromLatin1(bytes);
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
        text += decoder.decode(QByteArrayView()); // a character cut at the very end
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
