#pragma once

#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "app/MainWindow.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

// A scene sets up a window in a given state and saves pictures of it. Scenes register themselves
// from the file of the area they show, so each area adds its pictures without touching the others.
struct ShotContext {
    QString outDir;
    QString sourceDir; // the repository, for demo/ and data/
    QString serverUrl; // the demo catalog server, when the caller started one (ends with "/")
};

using Scene = std::function<void(ShotContext&)>;

struct SceneRegistrar {
    SceneRegistrar(const char* name, Scene scene);
};

// config.ini lines of a scene: the program's version, the links, the catalog server (the demo
// server when one runs, else an address where nothing listens), then `extra`.
QStringList sceneConfig(const ShotContext& context, const QStringList& extra);
// A copy of the demo host installation below `appFolder`; returns the copy's Quenra.exe.
QString copyDemoHost(const QString& appFolder, const ShotContext& context);
// The main window started and shown over a copy of the demo host with `board` stored.
struct DemoHostWindow {
    DemoHostWindow(const ShotContext& context, const QString& board);
    TempAppFolder app;
    FakePlatform platform;
    std::optional<MainWindow> window;
};

// Renders `widget` (offscreen) to outDir/name.png and prints the path.
void saveShot(QWidget* widget, const QString& name, const ShotContext& context);
// Lets pending layout and paint events run.
void settle();
