#pragma once

#include <QAbstractItemView>
#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRect>
#include <QString>

#include <algorithm>
#include <functional>
#include <span>
#include <utility>
#include <vector>

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

// A frame that covers the whole client area (the path-settings panel). It paints every pixel of its
// rectangle, the background of the area it lies on first and then the frame as the style draws it,
// and says so to Qt, which then paints nothing beneath it while it is shown: the captions it hides
// are neither measured nor drawn. Only for a frame over the client area's plain background, where
// the fill is what showed through anyway (a skin's rounded corners over other controls would show
// the difference). The class name stays QGroupBox for skins.
class CoveringFrame final : public QGroupBox {
public:
    CoveringFrame(const QString& caption, QWidget* parent)
        : QGroupBox(caption, parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    bool event(QEvent* event) override {
        const bool handled = QGroupBox::event(event);
        // A style sheet's polish clears the flag for every frame with a margin; this one is opaque
        // all the same, since it paints its whole rectangle itself.
        if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange) {
            setAttribute(Qt::WA_OpaquePaintEvent);
        }
        return handled;
    }
    void paintEvent(QPaintEvent* event) override {
        if (const QWidget* under = parentWidget()) {
            QPainter(this).fillRect(rect(), under->palette().brush(under->backgroundRole()));
        }
        QGroupBox::paintEvent(event);
    }
};

inline QGroupBox* coveringFrame(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* box = named(new CoveringFrame(caption, parent), name);
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

// The first widget and the first menu command of each object name below `parent`, in the order
// findChild() meets them (an object's children before what lies below them).
inline void collectNamed(const QObject& parent, QHash<QString, QWidget*>& widgets,
                         QHash<QString, QAction*>& actions) {
    for (QObject* o : parent.children()) {
        if (auto* w = qobject_cast<QWidget*>(o); w && !widgets.contains(w->objectName())) {
            widgets.insert(w->objectName(), w);
        } else if (auto* a = qobject_cast<QAction*>(o); a && !actions.contains(a->objectName())) {
            actions.insert(a->objectName(), a);
        }
    }
    for (QObject* o : parent.children()) {
        collectNamed(*o, widgets, actions);
    }
}

// Gives `root` and each named control below it its purpose: the accessible description of a
// widget, the "What's This" text of a menu command. One walk over the controls serves every name.
inline void describe(QWidget& root, std::span<const std::pair<const char*, const char*>> purposes) {
    QHash<QString, QWidget*> widgets;
    QHash<QString, QAction*> actions;
    collectNamed(root, widgets, actions);
    for (const auto& [name, purpose] : purposes) {
        const QString text = QString::fromUtf8(purpose);
        const QString key = QLatin1String(name);
        if (root.objectName() == key) {
            root.setAccessibleDescription(text);
        } else if (QWidget* widget = widgets.value(key)) {
            widget->setAccessibleDescription(text);
        } else if (QAction* action = actions.value(key)) {
            action->setWhatsThis(text);
        }
    }
}

// Enter (or Return) on a list's current row does what the mouse does to a row: a keyboard-only user
// reaches every list that acts on a click or a double click.
class EnterActs final : public QObject {
public:
    EnterActs(QAbstractItemView* list, std::function<void()> act)
        : QObject(list)
        , list_(list)
        , act_(std::move(act)) {
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == list_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->currentIndex().isValid()) {
                act_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractItemView* list_;
    std::function<void()> act_;
};

inline void actOnEnter(QAbstractItemView* list, std::function<void()> act) {
    new EnterActs(list, std::move(act));
}

// The controls of `panel` that Tab reaches (its direct children, frames aside) in reading order:
// rows from top to bottom (controls whose vertical middles lie within one another's height share a
// row), each row from left to right.
inline std::vector<QWidget*> visualTabOrder(QWidget* panel) {
    std::vector<QWidget*> items;
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if ((w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QGroupBox*>(w)) {
            items.push_back(w);
        }
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    // Rows: a control starts a new row when its middle lies below the row's first control.
    std::vector<std::vector<QWidget*>> rows;
    for (QWidget* w : items) {
        if (rows.empty() || w->geometry().center().y() > rows.back().front()->geometry().bottom()) {
            rows.emplace_back();
        }
        rows.back().push_back(w);
    }
    std::vector<QWidget*> order;
    for (std::vector<QWidget*>& row : rows) {
        std::stable_sort(row.begin(), row.end(),
                         [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        order.insert(order.end(), row.begin(), row.end());
    }
    return order;
}

// Tab moves through the controls of each panel below `root` in reading order (visualTabOrder).
// The controls were made in the order the form lists them, which is not that.
inline void orderTabsVisually(QWidget* root) {
    std::vector<QWidget*> panels{root};
    for (QGroupBox* box : root->findChildren<QGroupBox*>()) {
        panels.push_back(box);
    }
    for (QWidget* panel : panels) {
        QWidget* previous = nullptr;
        for (QWidget* w : visualTabOrder(panel)) {
            if (previous) {
                QWidget::setTabOrder(previous, w);
            }
            previous = w;
        }
    }
}

} // namespace controls
