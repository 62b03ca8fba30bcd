#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The main window with the stored board's installed libraries listed at start-up.
const SceneRegistrar boardChosen("main-window-board", [](ShotContext& c) {
    DemoHostWindow shown(c, QStringLiteral("Arduino Uno"));
    MainWindow& w = *shown.window;
    saveShot(&w, QStringLiteral("main-window-board"), c);
    // Another board picked by the user.
    choose(w, "Combo2", QStringLiteral("掌控板 v2"));
    saveShot(&w, QStringLiteral("main-window-board-chinese"), c);
});

// The path-settings panel after a choice whose installation names no supported version: the path
// shows in the normal text colour and the panel stays.
const SceneRegistrar pathChosen("path-settings-chosen", [](ShotContext& c) {
    TempAppFolder app(sceneConfig(c, {}));
    const QString exe = copyDemoHost(app.path(), c);
    QFile::remove(app.file(QStringLiteral("Quenra/resources/app/src/sw-config.json")));
    FakePlatform platform;
    platform.answers << Platform::Answer::Cancel;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    platform.fileAnswers << exe;
    child<QPushButton>(w, "Command5")->click();
    saveShot(&w, QStringLiteral("path-settings-chosen"), c);
});

} // namespace
