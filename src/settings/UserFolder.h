#pragma once

#include "settings/AppFolder.h"

// Where the running program keeps its working folder. Beside itself, as AppFolder::ofRunningProgram()
// says, unless it is an installed copy: its folder cannot be written, or it has no working folder
// beside it but a template in <prefix>/share/quenra-assistant. An installed copy uses the user's data
// folder (QStandardPaths::AppDataLocation, named after the application name set before the call),
// whose working folder is copied from the template at the first start.
AppFolder workingAppFolder();
