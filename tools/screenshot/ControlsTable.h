#pragma once

#include <QString>

// docs/controls.md as the live windows give it: every named control of the main window and of the
// conversion window with its class, its caption as built (before start-up fills in settings and
// catalog) and its purpose (the accessible description, or a menu command's "What's This").
// quenra_screenshot --controls FILE writes it; tst_mainwindow runs that and compares the output with
// the committed file.
QString controlsDocument();
