#include "app/Form1.h"

// Filled in by the skins work.

void Form1::ApplySkin() {}

void Form1::ListSkins() {}

void Form1::List4_Click() {}
