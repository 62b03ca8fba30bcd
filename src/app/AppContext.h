#pragma once

#include "settings/AppFolder.h"

class Platform;

// Time limits of every network operation. Tests shorten them.
struct NetTimeouts {
    int connectMs = 15000; // no connection made within this time: give up
    int stallMs = 30000;   // no byte received for this long: give up
};

// What a window needs from the outside world; passed in so a test runs a whole window against a
// temporary application folder and a fake desktop.
struct AppContext {
    AppFolder folder;
    Platform* platform = nullptr;
    NetTimeouts timeouts;
};
