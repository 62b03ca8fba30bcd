#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "app/AppStrings.h"
#include "host/HostPaths.h"
#include "install/DownloadCodes.h"
#include "install/ExampleEntry.h"
#include "install/InstallStrings.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"
#include "ui/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

// Shared example projects: the examples panel, installing an example into the host IDE's shared
// examples folder and opening it.

QString MainWindow::examplesFolder() const {
    return host::sharedExamplesFolder(hostPathEdit->text(), context_.folder.sep);
}

void MainWindow::onExamplesClicked() {
    if (!toggleOverlay(examplesPanel)) {
        return;
    }
    // Created when nothing of that name exists; only the last level, only in a host installation
    // that is there, and a failure is ignored.
    const QString folder = examplesFolder();
    if (host::isInstalledHostPath(hostPathEdit->text(), context_.folder.sep) && !QFileInfo::exists(folder)) {
        QDir().mkdir(folder);
    }
}

void MainWindow::onExampleDoubleClicked() {
    const std::optional<QString> row = controls::currentText(exampleList);
    if (!row) {
        return;
    }
    const std::optional<ExampleEntry> entry = parseExampleEntry(*row);
    if (!entry) {
        return; // a row that names no package
    }
    if (!requireHostInstallation()) {
        return;
    }
    if (!filenames::isUsableName(entry->title)) {
        platform().showMessage(msg::exclamation(appstr::unsafeExampleTitle(entry->title)));
        return;
    }
    // An unsafe package name is refused here too, before any request.
    const qint32 code = downloadPackage(entry->packageName);
    if (code != 0) {
        platform().showMessage(msg::exclamation(install::downloadFailureMessage(code, entry->packageName)));
        return;
    }
    const QString folder = examplesFolder();
    const QString package =
        install::packageCacheFile(context_.folder.packageCacheFolder(), entry->packageName);
    if (!unzipPackage(package, folder)) {
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    if (platform().showMessage(msg::confirm(appstr::openExampleQuestion(entry->title))) ==
        Platform::Answer::Ok) {
        platform().openWithDesktop(folder + context_.folder.sep + entry->title + appstr::ExampleSuffix);
    }
}
