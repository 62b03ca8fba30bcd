#include "Widgets.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
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

void choose(const QObject& root, const char* objectName, const QString& text) {
    auto* combo = child<QComboBox>(root, objectName);
    const int index = combo->findText(text);
    if (index < 0) {
        qFatal("no entry %s in %s", qPrintable(text), objectName);
    }
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void tick(const QObject& root, const char* timerName) {
    QMetaObject::invokeMethod(child<QTimer>(root, timerName), "timeout");
}

QStringList rows(const QAbstractItemView* list) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
        texts << model->index(row, 0, list->rootIndex()).data().toString();
    }
    return texts;
}

QModelIndex rowOf(const QAbstractItemView* list, const QString& text) {
    const int row = rows(list).indexOf(text);
    if (row < 0) {
        qFatal("no row %s in %s", qPrintable(text), qPrintable(list->objectName()));
    }
    return list->model()->index(row, 0, list->rootIndex());
}

void clickRow(QAbstractItemView* list, const QString& text) {
    const QModelIndex index = rowOf(list, text);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}
