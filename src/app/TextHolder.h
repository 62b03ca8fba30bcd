#pragma once

#include <QString>
#include <QWidget>

// A control that only holds a text for the program and is never shown (the body of the last catalog
// transfer). A text box would lay out a catalog of thousands of libraries for nothing; this keeps
// the text as it came, line ends included.
class TextHolder final : public QWidget {
    Q_OBJECT
public:
    explicit TextHolder(QWidget* parent = nullptr)
        : QWidget(parent) {
        setGeometry(-2000, -2000, 1, 1);
        hide();
    }
    void setPlainText(const QString& text) { text_ = text; }
    QString toPlainText() const { return text_; }

private:
    QString text_;
};
