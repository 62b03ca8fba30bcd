#include "app/Form1.h"

// Filled in by the host IDE work: choosing Quenra.exe, version check, boards.

void Form1::Command5_Click() {}

void Form1::Command7_Click() {}

void Form1::Command16_Click() {}

void Form1::Command17_Click() {}

void Form1::CheckHostVersion() {}

void Form1::ListBoards() {}

void Form1::Combo2_Click() {}

void Form1::bendiku_Click() {}

void Form1::Command18_Click() {}
