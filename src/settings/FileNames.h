#pragma once

#include <QString>

namespace filenames {

// True when `name` may stand as one file or folder name inside a folder the program owns (the
// package cache, a library root, the examples folder), on every system the program runs on. Names
// from the catalog and from packages are strangers' text, so each one passes here before it becomes
// part of a path. Refused: the empty name; "/" and "\" (another folder); "." and ".." (they end in a
// dot); ":" (drive letters, alternate data streams); control characters; the characters < > " | ? *;
// a name ending in a dot or a blank (Windows drops those, so the name would be another's); and the
// device names Windows reserves (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), alone or with an
// extension, in any letter case.
bool isUsableName(const QString& name);

// `text` with every control character but line feed and tab shown as "?": strangers' text on its way
// to a terminal, where an escape sequence would drive the terminal instead of showing.
QString forTerminal(QString text);

} // namespace filenames
