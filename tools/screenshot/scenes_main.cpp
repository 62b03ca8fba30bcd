#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"

#include <QGroupBox>

namespace {

const SceneRegistrar pathPanel("path-settings", [](ShotContext& c) {
    TempAppFolder app(sceneConfig(c, {}));
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    saveShot(&w, QStringLiteral("path-settings"), c);
});

const SceneRegistrar mainWindow("main-window", [](ShotContext& c) {
    TempAppFolder app(sceneConfig(
        c, {QStringLiteral("quenra=/opt/Quenra/Quenra.exe"), QStringLiteral("quenraBanben=Quenra 3.0 rc0")}));
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    saveShot(&w, QStringLiteral("main-window"), c);
    child<QAction>(w, "guanyu")->trigger();
    saveShot(&w, QStringLiteral("about-panel"), c);
    press(w, "Label7");
    saveShot(&w, QStringLiteral("donation-panel"), c);
});

} // namespace
