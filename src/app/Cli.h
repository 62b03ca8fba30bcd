#pragma once

#include "app/AppContext.h"

#include <QStringList>

// The command line for setting up many machines: list, install, update and import libraries of a
// board without a window, with the installing code the window's buttons use.
namespace cli {

// Whether the program's arguments (without the program name) ask for the command line: the first
// one is an option of ours ("--..."). Without arguments, or with Qt's own ("-platform"), the window
// starts.
bool wanted(const QStringList& arguments);

// Runs the command `arguments` ask for against the application folder and the stored settings of
// `context`, printing to stdout. 0: everything succeeded; 1: some libraries failed; 2: nothing could
// start (bad arguments, no host path, no catalog).
int run(const QStringList& arguments, const AppContext& context);

} // namespace cli
