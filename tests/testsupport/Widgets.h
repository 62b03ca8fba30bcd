#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// The controls tests reach, and how. Tests, benchmarks and the screenshot tool reach a window's controls by
// their object names, as skins do. A missing or differently typed control ends the program, naming it.
template <class T> T* child(const QObject& root, const char* objectName) {
    T* found = root.findChild<T*>(QLatin1String(objectName));
    // Panels built when first shown are built now.
    if (!found && root.metaObject()->indexOfMethod("buildDeferredPanels()") >= 0) {
        QMetaObject::invokeMethod(const_cast<QObject*>(&root), "buildDeferredPanels");
        found = root.findChild<T*>(QLatin1String(objectName));
    }
    if (!found) {
        qFatal("no %s called %s below %s", T::staticMetaObject.className(), objectName,
               qPrintable(root.objectName()));
    }
    return found;
}

// What a user's click on the control does: triggers a menu command, clicks a button (also one
// that is not shown) or a clickable label, or picks the combo box's current entry again.
void press(const QObject& root, const char* objectName);

// A user's pick of the entry reading `text` in the combo box `objectName`.
void choose(const QObject& root, const char* objectName, const QString& text);

// One tick of a window's timer, as if its interval had passed.
void tick(const QObject& root, const char* timerName);

// The rows `list` shows, top to bottom, as a user reads them.
QStringList rows(const QAbstractItemView* list);
// The row of `list` reading `text`; a missing row ends the program with the text.
QModelIndex rowOf(const QAbstractItemView* list, const QString& text);
// A user's click on the row reading `text`: it becomes the current row and the click is delivered.
void clickRow(QAbstractItemView* list, const QString& text);
