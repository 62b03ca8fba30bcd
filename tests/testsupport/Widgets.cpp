#include "Widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

void press(const QObject& root, const char* objectName) {
    QObject* control = child<QObject>(root, objectName);
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->trigger();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->click();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        QTest::mouseClick(label, Qt::LeftButton);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        Q_EMIT combo->activated(combo->currentIndex());
    } else {
        qFatal("%s cannot be pressed", objectName);
    }
}

void tick(const QObject& root, const char* timerName) {
    QMetaObject::invokeMethod(child<QTimer>(root, timerName), "timeout");
}
