#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/ConversionWindow.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

const SceneRegistrar conversionWindow("conversion-window", [](ShotContext& c) {
    TempAppFolder app;
    FakePlatform platform;
    auto* w = new ConversionWindow(app.context(&platform));
    w->show();
    saveShot(w, QStringLiteral("conversion-window"), c);

    // Converted with "copy after converting" ticked: the output and the reminder that says so.
    child<QPushButton>(*w, "Command4")->click();
    saveShot(w, QStringLiteral("conversion-converted"), c);
    child<QCheckBox>(*w, "Check1")->click();
    child<QPushButton>(*w, "Command4")->click();
    saveShot(w, QStringLiteral("conversion-copied"), c);
    delete w;
});

} // namespace
