#include "app/MainWindow.h"

#include "app/ConversionWindow.h"

MainWindow::ConversionWindowSlot::~ConversionWindowSlot() {
    delete open.data();
}

void MainWindow::openConversionWindow() {
    ConversionWindow* window = conversionWindow_.open;
    // A window closed a moment ago is only waiting to be deleted; it is not the open one.
    if (!window || !window->isVisible()) {
        window = new ConversionWindow(context_); // top-level: no owner, does not block the main window
        conversionWindow_.open = window;
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
