#include "ui/ClickableLabel.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    // Link captions carry catalog and settings text: plain, so a tag is shown, not followed.
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

const ClickableLabel::Pieces& ClickableLabel::pieces() {
    const QString& caption = text();
    if (pieces_.text == caption.constData() && pieces_.length == caption.size() && pieces_.font == font()) {
        return pieces_;
    }
    pieces_ = Pieces{caption.constData(), caption.size(), font(), {}, {}};
    const QFontMetricsF metrics(font());
    qreal x = 0;
    // Past the widest a widget can be nothing ever shows: the measuring stops there.
    qsizetype at = 0;
    while (at < caption.size() && x <= QWIDGETSIZE_MAX) {
        qsizetype end = std::min(caption.size(), at + PieceLength);
        if (end < caption.size() && caption[end].isLowSurrogate()) {
            ++end;
        }
        pieces_.starts.append(at);
        pieces_.xs.append(x);
        x += metrics.horizontalAdvance(QStringView(caption).sliced(at, end - at).toString());
        at = end;
    }
    pieces_.starts.append(at);
    pieces_.xs.append(x);
    return pieces_;
}

void ClickableLabel::fitToText() {
    if (text().size() < LongCaption || wordWrap()) {
        adjustSize();
        return;
    }
    // What QLabel's size hint adds to the text's own size: margins and the contents margins.
    const int extra = 2 * margin();
    const QMargins m = contentsMargins();
    const QFontMetrics metrics(font());
    const int lineHeight =
        metrics.boundingRect(QRect(0, 0, 2000, 2000), Qt::AlignLeft, text().left(PieceLength)).height();
    resize(int(std::ceil(pieces().xs.last())) + extra + m.left() + m.right(),
           lineHeight + extra + m.top() + m.bottom());
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    if (text().size() < LongCaption || wordWrap()) {
        QLabel::paintEvent(event);
        return;
    }
    // As QLabel draws a plain caption, restricted to the pieces the paint reaches.
    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    if (!isEnabled()) {
        painter.setPen(option.palette.color(QPalette::Disabled, foregroundRole()));
    }
    const Pieces& p = pieces();
    const QString& caption = text();
    const qreal left = event->rect().left() - area.left();
    const qreal right = event->rect().right() + 1 - area.left();
    // The first piece that ends after the paint's left edge, up to the first that starts past its right.
    qsizetype i = std::upper_bound(p.xs.begin(), p.xs.end(), left) - p.xs.begin() - 1;
    i = std::max<qsizetype>(i, 0);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextForceLeftToRight;
    qsizetype last = i;
    while (last + 1 < p.xs.size() && p.xs[last] < right) {
        ++last;
    }
    if (last > i) { // the pieces from i up to last, drawn as one run of text
        const QRectF run(area.left() + p.xs[i], area.top(), p.xs[last] - p.xs[i], area.height());
        painter.drawText(run, flags, caption.mid(p.starts[i], p.starts[last] - p.starts[i]));
    }
}
