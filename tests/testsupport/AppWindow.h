#pragma once

#include "FakePlatform.h"
#include "Files.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"

#include <memory>
#include <optional>

// A main window on `context`'s application folder, started up as the program starts it (its catalog
// download included) and shown.
inline std::unique_ptr<MainWindow> startMainWindow(const AppContext& context) {
    auto window = std::make_unique<MainWindow>(context);
    window->startUp();
    window->show();
    return window;
}

// A main window on a fresh application folder and the fake desktop: write into `app` and script
// `platform`, then start().
class AppWindow {
public:
    explicit AppWindow(const QStringList& config = {})
        : app(config) {}
    virtual ~AppWindow() = default;
    Q_DISABLE_COPY_MOVE(AppWindow)

    void start(std::optional<NetTimeouts> timeouts = std::nullopt) {
        AppContext context = app.context(&platform);
        if (timeouts) {
            context.timeouts = *timeouts;
        }
        window.reset();
        window = startMainWindow(context);
    }
    MainWindow& w() const { return *window; }

    TempAppFolder app;
    FakePlatform platform;
    std::unique_ptr<MainWindow> window;
};
