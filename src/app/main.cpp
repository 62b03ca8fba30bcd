#include "app/AppSetup.h"
#include "app/Cli.h"
#include "app/MainWindow.h"
#include "settings/UserFolder.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

namespace {

// Qt aborts without a display; say what is missing instead.
bool displayAvailable() {
#if defined(Q_OS_LINUX)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line needs no display: it runs without a window, as the same program file.
    if (argc > 1 && cli::wanted({QString::fromLocal8Bit(argv[1])})) {
        useStartingConsole();
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Quenra小助手"));
        AppContext context;
        context.folder = workingAppFolder();
        return cli::run(QCoreApplication::arguments().mid(1), context);
    }
    if (!displayAvailable()) {
        std::fputs("Quenra小助手需要图形界面：没有找到显示器（DISPLAY 或 WAYLAND_DISPLAY 未设置）。\n"
                   "The assistant needs a display: set DISPLAY, or run it under xvfb-run.\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    setUpApplication(app);

    QtPlatform platform;
    AppContext context;
    context.folder = workingAppFolder();
    context.platform = &platform;

    MainWindow window(context);
    window.startUp();
    window.show();
    return QApplication::exec();
}
