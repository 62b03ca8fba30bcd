#pragma once

#include <QString>

// The skin engine: every window of the program, including windows opened later, is drawn with the
// application style sheet, which is the base look followed by the chosen skin. The engine keeps no
// state of its own; the application object holds the sheet in force.
//
// Both calls return whether they changed the look; the program ignores the result.

// Gets ready: the base look, no skin.
bool SkinH_Attach();

// From now on every window is drawn with the skin in `skinFile` (a style sheet, UTF-8). A later call
// replaces the skin at once. A folder, a missing file or a file that is not a usable style sheet
// leaves the look as it is. `password` is accepted for the callers' sake and not used: skin files
// are plain text.
bool SkinH_AttachEx(const QString& skinFile, const QString& password);

// The base look every skin builds on: classic frames with the caption set into the top border line,
// and the colours of the main window's warning and link labels.
QString baseStyleSheet();

// The program's lists are list views (QListView) over a model of rows, not list widgets. A skin
// written for list widgets names them by the class QListWidget; this gives the sheet with every
// such type selector naming QListView instead (comments and quoted text stay as they are), so
// those rules style the lists as before, with the same weight. Every list widget is a list view
// too, so a rule still reaches whatever it reached; it now also reaches the other list views, the
// drop-down list of a combo box among them.
QString forListViews(const QString& sheet);
