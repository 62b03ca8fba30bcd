#pragma once

#include "settings/AppFolder.h"

#include <QtGlobal>

class Platform;

// Time and size limits of the network operations. Tests shorten them.
struct NetTimeouts {
    int connectMs = 15000; // no connection made within this time: give up
    int stallMs = 30000;   // no byte received for this long: give up
    // A catalog transfer that has not ended by then gives up, however steadily bytes trickle in: at
    // start-up the window is not even shown until it ends.
    int catalogDeadlineMs = 120000;
    // A package larger than this is refused while it arrives (the extraction's limit too).
    qint64 packageMaxBytes = qint64(1) << 30;
};

// What a window needs from the outside world; passed in so a test runs a whole window against a
// temporary application folder and a fake desktop.
struct AppContext {
    AppFolder folder;
    Platform* platform = nullptr;
    NetTimeouts timeouts;
};
