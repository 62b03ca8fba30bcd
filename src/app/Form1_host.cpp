#include "app/Form1.h"

#include "app/AppStrings.h"
#include "app/Messages.h"
#include "host/HostPaths.h"
#include "host/HostStrings.h"
#include "host/HostVersion.h"
#include "host/Subfolders.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStrings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>

// Choosing Quenra.exe, checking the host version, the board list and the installed libraries.

void Form1::saveSetting(const QString& key, const QString& value) {
    if (!settings_.write(key, value)) {
        platform().showMessage(msg::critical(settingsstr::SaveFailed));
    }
}

void Form1::Command5_Click() {
    // The filter is left as the last use of the dialog set it.
    const QString chosen = showOpenFileDialog();
    Text8->setText(chosen);
    // Dropping the grey gives the normal text colour: the system's button-text colour without a
    // skin, the skin's text colour with one (a colour named here would beat every skin).
    Text1->setStyleSheet(QString());
    Text1->setText(chosen);
    takePathPanelChoice(false);
}

void Form1::Command7_Click() {
    takePathPanelChoice(true);
}

void Form1::takePathPanelChoice(bool closePanel) {
    if (!host::isValidHostPath(Text8->text(), context().folder.sep)) {
        Command21->setEnabled(false);
        Command17->setEnabled(false);
        platform().showMessage(msg::critical(hoststr::InvalidPath));
        return;
    }
    Command17->setEnabled(true);
    saveSetting(keys::HostPath, Text8->text());
    if (closePanel) {
        Frame9->hide();
    }
    Command21->setEnabled(true);
    ListBoards();
    CheckHostVersion();
}

void Form1::Command16_Click() {
    dialogFilter_ = hoststr::ExeFilter;
    Text8->setText(showOpenFileDialog());
    const bool valid = host::isValidHostPath(Text8->text(), context().folder.sep);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Command17, Command21, Command14, Combo2, List2, List3}) {
        w->setEnabled(valid);
    }
    if (valid) {
        saveSetting(keys::HostPath, Text8->text());
        CheckHostVersion();
        ListBoards();
        Combo2_Click();
    } else {
        platform().showMessage(msg::critical(hoststr::InvalidPath));
    }
}

void Form1::Command17_Click() {
    // Whether the host started is not reported.
    platform().startProgram(Text8->text());
}

void Form1::CheckHostVersion() {
    const QString file = host::versionFile(Text8->text(), context().folder.sep);
    // A version file that cannot be opened names no version either.
    const QString version = host::detectVersion(host::readVersionFile(file).value_or(QString()));
    if (version.isEmpty()) {
        offerHostDownload();
        return;
    }
    Frame9->hide();
    Frame4->setTitle(version);
    saveSetting(keys::HostVersion, version);
}

void Form1::offerHostDownload() {
    const Platform::Message prompt{hoststr::VersionTooOld, appstr::Title, Platform::Icon::Critical,
                                   Platform::Buttons::OkCancel, Platform::Answer::Ok};
    if (platform().showMessage(prompt) != Platform::Answer::Ok) {
        return;
    }
    // The address comes from the settings file; only a web page is opened from there.
    const QString page = settings_.read(keys::HostDownloadPage);
    const QString scheme = QUrl(page, QUrl::StrictMode).scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        platform().openWithDesktop(page);
    }
}

void Form1::ListBoards() {
    if (!Command17->isEnabled()) {
        return; // the host path was not found valid
    }
    Combo2->clear();
    const QString boards = host::boardsFolder(Text8->text(), context().folder.sep);
    const QString stored = settings_.read(keys::Board);
    // The stored board comes first, also when empty, and again among the folders when it is one.
    Combo2->addItem(stored);
    Combo2->setCurrentIndex(0);
    Combo2->addItems(host::listSubfolders(boards));
    // Making the stored board current shows its libraries at once; an empty one asks for nothing.
    if (!stored.isEmpty()) {
        listInstalledLibraries();
    }
}

void Form1::Combo2_Click() {
    if (Combo2->currentText().isEmpty()) {
        platform().showMessage(msg::critical(hoststr::BoardRequired));
        return;
    }
    saveSetting(keys::Board, Combo2->currentText());
    listInstalledLibraries();
}

void Form1::listInstalledLibraries() {
    List3->clear();
    const QString root = host::libraryRoot(Text8->text(), Combo2->currentText(), context().folder.sep);
    const QStringList libraries = host::listSubfolders(root);
    List3->clear();
    List3->addItems(libraries);
}

void Form1::bendiku_Click() {
    Combo2_Click();
}

void Form1::Command18_Click() {
    Combo2_Click();
}
