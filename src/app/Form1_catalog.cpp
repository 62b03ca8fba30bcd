#include "app/Form1.h"

// Filled in by the catalog work: download, refresh, parse, notices and links.

void Form1::Command9_Click() {}

void Form1::Command10_Click() {}

void Form1::wangluoku_Click() {}

void Form1::Label2_Click() {}

void Form1::Command3_Click() {}

void Form1::Label1_Click() {}

void Form1::bangzhu_Click() {}

void Form1::Label14_Click() {}

void Form1::Label18_Click() {}

void Form1::Command20_Click() {}

void Form1::Label9_Click() {}

void Form1::Label5_Click() {}

void Form1::Label21_Click() {}

void Form1::Label19_Click() {}

void Form1::Label17_Click() {}

void Form1::Label11_Click() {}

void Form1::List5_DblClick() {}
