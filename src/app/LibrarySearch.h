#pragma once

#include "app/MainWindow.h"
#include "catalog/RowSearch.h"

// The searchable text of the two library lists, for the search box.
struct MainWindow::LibrarySearch {
    catalog::RowSearch network;
    catalog::RowSearch local;
};
