#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "convert/Form2.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

const SceneRegistrar conversionWindow("conversion-window", [](ShotContext& c) {
    TempAppFolder app;
    FakePlatform platform;
    auto* w = new Form2(app.context(&platform));
    w->show();
    saveShot(w, QStringLiteral("conversion-window"), c);

    // Converted with "copy after converting" ticked: the output and the reminder that says so.
    w->Command4->click();
    saveShot(w, QStringLiteral("conversion-converted"), c);
    w->Check1->click();
    w->Command4->click();
    saveShot(w, QStringLiteral("conversion-copied"), c);
    delete w;
});

} // namespace
