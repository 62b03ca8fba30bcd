#include "app/Form1.h"

// Filled in by the example-sharing work.

void Form1::Command29_Click() {}

void Form1::Command30_Click() {}

void Form1::List6_DblClick() {}
