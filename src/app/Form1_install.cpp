#include "app/Form1.h"

// Filled in by the libraries work: details, package download and extraction, installing, browsing.

void Form1::List2_Click() {}

void Form1::List3_Click() {}

void Form1::ShowLibraryDetails() {}

void Form1::Command13_Click() {}

void Form1::Command19_Click() {}

void Form1::Command6_Click() {}

void Form1::Command14_Click() {}

void Form1::Command21_Click() {}

void Form1::Command101_Click() {}

void Form1::Command102_Click() {}

void Form1::Command200_Click() {}

void Form1::Command201_Click() {}

void Form1::Command202_Click() {}

qint32 Form1::DownloadPackage(const QString& packageName) {
    Q_UNUSED(packageName);
    return -1;
}

bool Form1::UnzipFile(const QString& zipPath, const QString& destination) {
    Q_UNUSED(zipPath);
    Q_UNUSED(destination);
    return false;
}
