#pragma once

#include <QFont>
#include <QLabel>
#include <QList>

// A label that reports clicks, for the labels that act as links or toggles.
//
// A caption of thousands of characters on one line (the scrolling notice takes whatever the
// catalog says) is measured once, in pieces, and each paint draws only the pieces that show, so a
// move of the label costs the same whatever the caption's length. Shorter captions are drawn by
// QLabel itself.
class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

    // Resizes the label to its caption, as adjustSize() does, without laying out a long caption whole.
    void fitToText();

    // Captions from this many characters up are measured and drawn in pieces.
    static constexpr qsizetype LongCaption = 4096;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The caption cut into pieces of PieceLength characters (never inside a surrogate pair),
    // short, so a paint lays out little more than what shows:
    // where each begins in the text and, one entry more, where each begins across the label.
    struct Pieces {
        const QChar* text = nullptr; // the caption measured (its characters' address and length)
        qsizetype length = 0;
        QFont font;
        QList<qsizetype> starts;
        QList<qreal> xs;
    };
    static constexpr qsizetype PieceLength = 16;
    const Pieces& pieces();
    Pieces pieces_;
};
