#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "app/AppStrings.h"
#include "host/HostPaths.h"
#include "host/HostStrings.h"
#include "host/HostVersion.h"
#include "host/Subfolders.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStrings.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QUrl>

// Choosing Quenra.exe, checking the host version, the board list and the installed libraries.

void MainWindow::saveSetting(const QString& key, const QString& value) {
    if (!settings_.write(key, value)) {
        platform().showMessage(msg::critical(settingsstr::SaveFailed));
    }
}

void MainWindow::onPathPanelChooseClicked() {
    // The filter is left as the last use of the dialog set it.
    const QString chosen = showOpenFileDialog();
    hostPathEdit->setText(chosen);
    // Dropping the grey gives the normal text colour: the system's button-text colour without a
    // skin, the skin's text colour with one (a colour named here would beat every skin).
    pathPanelEdit->setStyleSheet(QString());
    pathPanelEdit->setText(chosen);
    takePathPanelChoice(false);
}

void MainWindow::takePathPanelChoice(bool closePanel) {
    if (!host::isValidHostPath(hostPathEdit->text(), context_.folder.sep)) {
        openLibraryRootButton->setEnabled(false);
        runHostButton->setEnabled(false);
        platform().showMessage(msg::critical(hoststr::InvalidPath));
        return;
    }
    runHostButton->setEnabled(true);
    saveSetting(keys::HostPath, hostPathEdit->text());
    if (closePanel) {
        pathPanel->hide();
    }
    openLibraryRootButton->setEnabled(true);
    listBoards();
    checkHostVersion();
}

void MainWindow::onChooseHostClicked() {
    dialogFilter_ = hoststr::ExeFilter;
    hostPathEdit->setText(showOpenFileDialog());
    const bool valid = host::isValidHostPath(hostPathEdit->text(), context_.folder.sep);
    for (QWidget* w : std::initializer_list<QWidget*>{
             runHostButton, openLibraryRootButton, installLocalButton, boardCombo, networkList, localList}) {
        w->setEnabled(valid);
    }
    if (valid) {
        saveSetting(keys::HostPath, hostPathEdit->text());
        checkHostVersion();
        listBoards();
        onBoardChosen();
    } else {
        platform().showMessage(msg::critical(hoststr::InvalidPath));
    }
}

void MainWindow::onRunHostClicked() {
    // Whether the host started is not reported.
    platform().startProgram(hostPathEdit->text());
}

void MainWindow::checkHostVersion() {
    const QString file = host::versionFile(hostPathEdit->text(), context_.folder.sep);
    // A version file that cannot be opened names no version either.
    const QString version = host::detectVersion(host::readVersionFile(file).value_or(QString()));
    if (version.isEmpty()) {
        offerHostDownload();
        return;
    }
    pathPanel->hide();
    toolsPanel->setTitle(version);
    saveSetting(keys::HostVersion, version);
}

void MainWindow::offerHostDownload() {
    const Platform::Message prompt{hoststr::VersionTooOld, msg::Title, Platform::Icon::Critical,
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

void MainWindow::listBoards() {
    if (!runHostButton->isEnabled()) {
        return; // the host path was not found valid
    }
    boardCombo->clear();
    const QString boards = host::boardsFolder(hostPathEdit->text(), context_.folder.sep);
    const QString stored = settings_.read(keys::Board);
    // The stored board comes first, also when empty, and again among the folders when it is one.
    boardCombo->addItem(stored);
    boardCombo->setCurrentIndex(0);
    boardCombo->addItems(host::listSubfolders(boards));
    // Making the stored board current shows its libraries at once; an empty one asks for nothing.
    if (!stored.isEmpty()) {
        listInstalledLibraries();
    }
}

void MainWindow::onBoardChosen() {
    if (boardCombo->currentText().isEmpty()) {
        platform().showMessage(msg::critical(hoststr::BoardRequired));
        return;
    }
    saveSetting(keys::Board, boardCombo->currentText());
    listInstalledLibraries();
}

void MainWindow::listInstalledLibraries() {
    controls::rowsOf(localList).setRows(host::listSubfolders(currentLibraryRoot()));
    invalidateSearch();
    applyLibraryFilter();
}
