#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "app/Form1.h"

#include <QGroupBox>

namespace {

const SceneRegistrar pathPanel("path-settings", [](ShotContext& c) {
    TempAppFolder app(sceneConfig(c, {}));
    FakePlatform platform;
    Form1 w(app.context(&platform));
    w.startUp();
    w.show();
    saveShot(&w, QStringLiteral("path-settings"), c);
});

const SceneRegistrar mainWindow("main-window", [](ShotContext& c) {
    TempAppFolder app(sceneConfig(
        c, {QStringLiteral("quenra=/opt/Quenra/Quenra.exe"), QStringLiteral("quenraBanben=Quenra 3.0 rc0")}));
    FakePlatform platform;
    Form1 w(app.context(&platform));
    w.startUp();
    w.show();
    saveShot(&w, QStringLiteral("main-window"), c);
    w.guanyu->trigger();
    saveShot(&w, QStringLiteral("about-panel"), c);
    w.Label7_Click();
    saveShot(&w, QStringLiteral("donation-panel"), c);
});

} // namespace
