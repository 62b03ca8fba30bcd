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
