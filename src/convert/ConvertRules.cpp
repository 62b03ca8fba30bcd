#include "convert/ConvertRules.h"

#include "convert/ConvertStrings.h"

#include <algorithm>

namespace convert {

namespace {

constexpr char16_t CR = u'\r';
constexpr char16_t LF = u'\n';

// Position of the next CR LF at or after `from`, or -1. Searching for the CR alone lets the
// vectorised single-character search do the work.
qsizetype nextLineBreak(QStringView text, qsizetype from) {
    for (;;) {
        const qsizetype cr = text.indexOf(QChar(CR), from);
        if (cr < 0 || cr + 1 >= text.size()) {
            return -1;
        }
        if (text[cr + 1] == QChar(LF)) {
            return cr;
        }
        from = cr + 1;
    }
}

qsizetype countLineBreaks(QStringView text) {
    qsizetype count = 0;
    for (qsizetype at = nextLineBreak(text, 0); at >= 0; at = nextLineBreak(text, at + 2)) {
        ++count;
    }
    return count;
}

// Writes into a buffer sized beforehand, so the output is built with one allocation.
class Writer {
public:
    explicit Writer(QChar* out)
        : out_(out) {}
    void put(QStringView text) { out_ = std::copy(text.begin(), text.end(), out_); }
    const QChar* end() const { return out_; }

private:
    QChar* out_;
};

} // namespace

std::optional<QString> convertLines(QStringView source) {
    using namespace convertstr;
    if (source.isEmpty()) {
        return std::nullopt;
    }
    const qsizetype breaks = countLineBreaks(source);
    // Every CR LF of the source is replaced by the suffix, a CR LF and the line prefix; the first
    // line gets its prefix and suffix; a single line is followed by a CR LF.
    const qsizetype size = source.size() - breaks * LineBreak.size() +
                           breaks * (LineSuffix.size() + LineBreak.size() + LinePrefix.size()) +
                           FirstLinePrefix.size() + LineSuffix.size() + (breaks == 0 ? LineBreak.size() : 0);
    QString out(size, Qt::Uninitialized);
    Writer w(out.data());

    qsizetype start = 0;
    qsizetype lineBreak = nextLineBreak(source, 0);
    w.put(FirstLinePrefix);
    w.put(source.sliced(0, lineBreak < 0 ? source.size() : lineBreak));
    w.put(LineSuffix);
    while (lineBreak >= 0) {
        start = lineBreak + LineBreak.size();
        lineBreak = nextLineBreak(source, start);
        w.put(LineBreak);
        w.put(LinePrefix);
        w.put(source.sliced(start, (lineBreak < 0 ? source.size() : lineBreak) - start));
        w.put(LineSuffix);
    }
    if (breaks == 0) {
        w.put(LineBreak);
    }
    Q_ASSERT(w.end() == out.constData() + out.size());
    return out;
}

QString convertValue(QStringView source) {
    using namespace convertstr;
    QString out;
    out.reserve(ValuePrefix.size() + source.size() + ValueSuffix.size());
    out.append(ValuePrefix).append(source).append(ValueSuffix);
    return out;
}

} // namespace convert
