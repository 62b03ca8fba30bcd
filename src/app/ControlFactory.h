#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>

// Building the windows' controls: each gets its name as Qt object name (tests and the style sheets
// find controls by it) and its place in its container.
namespace controls {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

inline QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* box = named(new QGroupBox(caption, parent), name);
    box->setGeometry(geometry);
    return box;
}

// Buttons never become the default button of their window: Enter in a text box triggers nothing.
inline QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

// Captions show catalog, settings and file-name text as it is: never markup, never a picture loaded
// from a path a stranger named.
inline QLabel* label(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* l = named(new QLabel(caption, parent), name);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(geometry);
    return l;
}

} // namespace controls
