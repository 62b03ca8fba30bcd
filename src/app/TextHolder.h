#pragma once

#include "settings/Gbk.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

// A control that only holds a text for the program and is never shown (the body of the last catalog
// transfer). A text box would lay out a catalog of thousands of libraries for nothing; this keeps
// the bytes as they came (GBK, line ends included) and decodes them when asked.
class TextHolder final : public QWidget {
    Q_OBJECT
public:
    explicit TextHolder(QWidget* parent = nullptr)
        : QWidget(parent) {
        setGeometry(-2000, -2000, 1, 1);
        hide();
    }
    void setGbkBytes(const QByteArray& bytes) { bytes_ = bytes; }
    QString toPlainText() const { return gbk::decode(bytes_); }

private:
    QByteArray bytes_;
};
