#include "app/Form1.h"

// Filled in by the conversion-window work.

void Form1::Command25_Click() {}
