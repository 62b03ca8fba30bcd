#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 936 (GBK): the encoding of every file the program exchanges with the host IDE and the
// catalog server (settings, catalog, description files). All conversions go through here.
//
// Text is read and written as GB18030, the superset of GBK that holds every Unicode character and
// gives the same bytes for every GBK character, so a file of GBK text stays byte for byte what the
// host IDE wrote, and a character GBK lacks (a name under "/home/björn", a skin "한.qss") survives
// instead of becoming "?". The two single bytes code page 936 gives meaning to beyond GB18030 (0x80,
// the euro sign, and 0xFF) keep that meaning in both directions. The codec is the program's own,
// from GB18030's table (Gb18030Table.cpp), the same on every platform and every Qt build.
namespace gbk {

// Invalid byte sequences decode to U+FFFD; decoding never fails.
QString decode(QByteArrayView bytes);
// Every character has a form; nothing becomes '?'.
QByteArray encode(QStringView text);
// The text of one line of a GBK text, exactly as decode() of the whole text gives it: `line` is the
// line's bytes without its end, `end` the byte that ends it ('\r' or '\n'; '\0' for the last line
// of a text without a final line end). A character cut off by the line's end counts as one cut off
// mid-text, not at its end.
QString decodeLine(QByteArrayView line, char end);

// Cuts GBK text that arrives in pieces (a download, a file read block by block) into its lines, so
// a reader needs no copy of the whole text. A line ends at CR LF, LF or a lone CR, bytes that never
// occur inside a GBK character, so lines are cut on bytes, before any decoding.
class LineReader {
public:
    // Calls line(bytes, offset, end) for each line `piece` completes: the line's bytes without its
    // end, where it begins in the whole text, and the byte that ends it ('\r' or '\n').
    template <typename F> void feed(QByteArrayView piece, F&& line);
    // After the last piece: the last line, when the text does not end with a line end (end '\0').
    template <typename F> void finish(F&& line);

private:
    QByteArray held_; // the start of a line that the end of a piece cut off
    qsizetype heldOffset_ = 0;
    qsizetype offset_ = 0; // where the next piece begins in the whole text
    bool afterCr_ = false; // the last piece ended with CR: an LF first in the next belongs to it
};

template <typename F> void LineReader::feed(QByteArrayView piece, F&& line) {
    const char* data = piece.data();
    const qsizetype n = piece.size();
    qsizetype start = 0;
    if (afterCr_ && n > 0) {
        afterCr_ = false;
        start = data[0] == '\n' ? 1 : 0;
    }
    for (qsizetype i = start; i < n; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        const QByteArrayView bytes(data + start, i - start);
        if (held_.isEmpty()) {
            line(bytes, offset_ + start, c);
        } else {
            held_.append(bytes);
            line(QByteArrayView(held_), heldOffset_, c);
            held_.resize(0);
        }
        if (c == '\r') {
            if (i + 1 == n) {
                afterCr_ = true;
            } else if (data[i + 1] == '\n') {
                ++i;
            }
        }
        start = i + 1;
    }
    if (start < n) {
        if (held_.isEmpty()) {
            heldOffset_ = offset_ + start;
        }
        held_.append(data + start, n - start);
    }
    offset_ += n;
}

template <typename F> void LineReader::finish(F&& line) {
    if (!held_.isEmpty()) {
        line(QByteArrayView(held_), heldOffset_, '\0');
        held_ = QByteArray();
    }
}

} // namespace gbk
