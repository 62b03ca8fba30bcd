#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "app/Form1.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace {

QStringList hostConfig(const ShotContext& c, const QStringList& extra) {
    QStringList lines{QStringLiteral("banben=1.03"), QStringLiteral("qunhao=123456789"),
                      QStringLiteral("guanwang=https://quenra-helper.example.com"),
                      QStringLiteral("fuwuqi=") +
                          (c.serverUrl.isEmpty() ? QStringLiteral("http://127.0.0.1:1/") : c.serverUrl)};
    return lines + extra;
}

// A copy of the demo host installation below the application folder; returns its Quenra.exe.
QString copyDemoHost(const TempAppFolder& app, const ShotContext& c) {
    const QString from = c.sourceDir + QStringLiteral("/demo/host");
    const QString to = app.file(QStringLiteral("Quenra"));
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(path, target);
        }
    }
    return to + QStringLiteral("/Quenra.exe");
}

// The main window with the stored board's installed libraries listed at start-up.
const SceneRegistrar boardChosen("main-window-board", [](ShotContext& c) {
    TempAppFolder app;
    const QString exe = copyDemoHost(app, c);
    app.writeConfig(
        hostConfig(c, {QStringLiteral("quenra=") + exe, QStringLiteral("quenraBanben=Quenra 3.0 rc0"),
                       QStringLiteral("Kuliebiao=Arduino Uno")}));
    FakePlatform platform;
    Form1 w(app.context(&platform));
    w.startUp();
    w.show();
    saveShot(&w, QStringLiteral("main-window-board"), c);
    // Another board picked by the user.
    const int index = w.Combo2->findText(QStringLiteral("掌控板 v2"));
    w.Combo2->setCurrentIndex(index);
    Q_EMIT w.Combo2->activated(index);
    saveShot(&w, QStringLiteral("main-window-board-chinese"), c);
});

// The path-settings panel after a choice whose installation names no supported version: the path
// shows in the normal text colour and the panel stays.
const SceneRegistrar pathChosen("path-settings-chosen", [](ShotContext& c) {
    TempAppFolder app(hostConfig(c, {}));
    const QString exe = copyDemoHost(app, c);
    QFile::remove(app.file(QStringLiteral("Quenra/resources/app/src/sw-config.json")));
    FakePlatform platform;
    platform.answers << Platform::Answer::Cancel;
    Form1 w(app.context(&platform));
    w.startUp();
    w.show();
    platform.fileAnswers << exe;
    w.Command5->click();
    saveShot(&w, QStringLiteral("path-settings-chosen"), c);
});

} // namespace
