#include "app/Form1.h"

#include "convert/Form2.h"

Form1::ConversionWindow::~ConversionWindow() {
    delete open.data();
}

void Form1::Command25_Click() {
    Form2* window = conversionWindow_.open;
    // A window closed a moment ago is only waiting to be deleted; it is not the open one.
    if (!window || !window->isVisible()) {
        window = new Form2(context_); // top-level: no owner, does not block the main window
        conversionWindow_.open = window;
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
