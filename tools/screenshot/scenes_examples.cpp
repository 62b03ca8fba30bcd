#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"

#include <QDir>
#include <QGroupBox>
#include <QListView>

namespace {

// The examples panel over a window that fetched the demo catalog (needs the demo server, which
// scripts/screenshot starts).
const SceneRegistrar examplesPanel("examples-panel", [](ShotContext& c) {
    if (c.serverUrl.isEmpty()) {
        return;
    }
    TempAppFolder app;
    QDir().mkpath(app.file(QStringLiteral("host/resources/app/src/boards/default")));
    app.writeConfig({QStringLiteral("banben=1.03"),
                     QStringLiteral("quenra=") + app.file(QStringLiteral("host/Quenra.exe")),
                     QStringLiteral("fuwuqi=") + c.serverUrl});
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    press(w, "Command29");
    child<QListView>(w, "List6")->setCurrentIndex(child<QListView>(w, "List6")->model()->index(1, 0));
    saveShot(&w, QStringLiteral("examples-panel"), c);
});

} // namespace
