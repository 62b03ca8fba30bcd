#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "host/HostPaths.h"
#include "install/Checksum.h"
#include "install/DownloadCodes.h"
#include "install/Extract.h"
#include "install/InstallStrings.h"
#include "install/LibraryDetails.h"
#include "install/LocalInstall.h"
#include "install/PackageDownload.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"
#include "settings/SettingsKeys.h"
#include "ui/Messages.h"
#include "ui/Worker.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

// Library details, package download and extraction, installing, and opening installed libraries.

void MainWindow::onNetworkLibraryClicked() {
    detailsFrame->setTitle(installstr::NetworkInfoCaption);
    selectedLibrary_ = controls::currentText(networkList).value_or(QString());
    showLibraryDetails();
}

void MainWindow::onLocalLibraryClicked() {
    detailsFrame->setTitle(installstr::LocalInfoCaption);
    selectedLibrary_ = controls::currentText(localList).value_or(QString());
    showLibraryDetails();
}

void MainWindow::showLibraryDetails() {
    detailsText->show();
    const install::LibraryRecord catalog =
        catalogIndex_.record(context_.folder.catalogCacheForDetails(), selectedLibrary_);

    // Without a board, or with a host path that does not end the way the derivation expects, the
    // path names no description file: the library counts as not installed.
    const QChar sep = context_.folder.sep;
    const QString hostPath = hostPathEdit->text();
    const QString board = boardCombo->currentText();
    install::LibraryRecord installed;
    // A name that is no file name has no description file to read: it counts as not installed.
    if (!board.isEmpty() && hostPath.contains(sep + host::ExeName) &&
        filenames::isUsableName(selectedLibrary_)) {
        installed = install::readDescriptionFile(host::libraryReadme(hostPath, board, selectedLibrary_, sep),
                                                 selectedLibrary_);
    }

    const install::DetailsView v = install::buildDetails(selectedLibrary_, catalog, installed);
    detailsText->setPlainText(v.text);
    installButton->setVisible(v.installVisible);
    reinstallButton->setVisible(v.reinstallVisible);
    updateButton->setVisible(v.updateVisible);
    for (QPushButton* b :
         {openExamplesButton, openFolderButton, openXmlButton, openBlockButton, openGeneratorButton}) {
        b->setVisible(v.openVisible);
    }
    // Whatever its description file says, a folder in the board's library root can be uninstalled.
    uninstallButton->setVisible(
        !board.isEmpty() && filenames::isUsableName(selectedLibrary_) &&
        QFileInfo(host::libraryFolder(hostPath, board, selectedLibrary_, sep)).isDir());
}

install::Checksum MainWindow::catalogChecksum(const QString& name) {
    return install::parseChecksum(
        catalogIndex_.record(context_.folder.catalogCacheForDetails(), name).checksum);
}

qint32 MainWindow::downloadPackage(const QString& packageName, Platform::Progress* shared,
                                   const install::Checksum& checksum) {
    std::unique_ptr<Platform::Progress> own;
    if (!shared) {
        own = platform().beginProgress(installstr::DownloadProgress);
    }
    Platform::Progress& progress = shared ? *shared : *own;
    net::HttpClient& client = httpClient();
    progress.setCancelHandler([&client] { client.cancel(); });
    net::Options options;
    options.maxBytes = context_.timeouts.packageMaxBytes;
    // The progress indicator holds the window's input back itself and needs its Cancel button.
    options.allowUserInput = true;
    options.onProgress = [&progress](qint64 received, qint64 total) {
        progress.setProgress(received, total);
    };
    const qint32 code =
        install::downloadPackage(client, settings_.read(keys::CatalogServer),
                                 context_.folder.packageCacheFolder(), packageName, checksum, options);
    progress.setCancelHandler({});
    return code;
}

bool MainWindow::unzipPackage(const QString& zipPath, const QString& destination,
                              const QStringList& onlyItems) {
    install::ExtractResult result;
    install::ExtractLimits limits;
    limits.onlyItems = onlyItems;
    worker::runBehindProgress(platform(), installstr::UnzipProgress, [&](const worker::Link& link) {
        result =
            install::extractZip(zipPath, destination, limits, install::Monitor{link.report, link.cancelled});
    });
    if (result.error == install::ExtractError::Cancelled) {
        return false;
    }
    if (!result.ok()) {
        platform().showMessage(msg::exclamation(installstr::UnzipFailed));
        return false;
    }
    return true;
}

bool MainWindow::requireHostInstallation() {
    if (host::isInstalledHostPath(hostPathEdit->text(), context_.folder.sep)) {
        return true;
    }
    showPathPanel();
    return false;
}

bool MainWindow::requireBoard() {
    if (boardCombo->currentText().isEmpty()) {
        platform().showMessage(msg::critical(installstr::NoBoard));
        return false;
    }
    return true;
}

void MainWindow::offerToStartHost() {
    if (platform().showMessage(msg::confirm(installstr::OpenHost)) == Platform::Answer::Ok) {
        platform().startProgram(hostPathEdit->text());
    }
}

bool MainWindow::offerCachedPackage(const QString& name, const install::Checksum& checksum) {
    // A failed download leaves the cached package as it was, so an earlier download can still serve.
    // It may be older than the catalog's version: Enter alone does not install it.
    const QFileInfo cached(install::packageCacheFile(context_.folder.packageCacheFolder(), name));
    if (!cached.isFile()) {
        return false;
    }
    if (checksum.pinned && !checksum.accepts(install::fileSha256(cached.filePath()))) {
        platform().showMessage(msg::critical(installstr::ChecksumFailed));
        return false;
    }
    const QString date = cached.lastModified().toString(QStringLiteral("yyyy-MM-dd"));
    return platform().showMessage(msg::offer(installstr::offerCachedPackage(name, date))) ==
           Platform::Answer::Yes;
}

void MainWindow::installSelectedLibrary() {
    if (!requireHostInstallation() || !requireBoard()) {
        return;
    }
    const QString name = selectedLibrary_;
    const QString board = boardCombo->currentText();
    // The download comes before the question.
    const install::Checksum checksum = catalogChecksum(name);
    const qint32 result = downloadPackage(name, nullptr, checksum);
    if (result == install::code::BadDigest) {
        // The server sent another package than the catalog pins: nothing is installed, not even the
        // cached one.
        platform().showMessage(msg::critical(installstr::ChecksumFailed));
        return;
    }
    if (result != install::code::Ok) {
        platform().showMessage(msg::exclamation(install::downloadFailureMessage(result, name)));
        if (result == install::code::BadName || !offerCachedPackage(name, checksum)) {
            return;
        }
    } else if (platform().showMessage(msg::confirm(installstr::confirmInstall(name, board))) !=
               Platform::Answer::Ok) {
        return; // the package stays in the cache
    }
    const QString package = install::packageCacheFile(context_.folder.packageCacheFolder(), name);
    if (!unzipPackage(package, currentLibraryRoot())) {
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    onBoardChosen();
    offerToStartHost();
}

void MainWindow::onInstallLocalClicked() {
    if (!requireHostInstallation()) {
        return;
    }
    dialogFilter_ = installstr::XmlOrZipFilter;
    localXmlPath_ = showOpenFileDialog();
    if (localXmlPath_.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
        installLocalBundle(localXmlPath_);
        return;
    }
    const QChar sep = context_.folder.sep;
    const install::XmlChoice choice = install::interpretXmlChoice(localXmlPath_, sep);
    if (!choice.accepted) {
        platform().showMessage(msg::critical(installstr::WrongXml));
        return;
    }
    // Without a board the library root would lie in no board's folder.
    if (!requireBoard()) {
        return;
    }
    const QString board = boardCombo->currentText();
    const QString root = host::libraryRoot(hostPathEdit->text(), board, sep);
    if (platform().showMessage(msg::confirm(installstr::confirmInstall(choice.name, board))) !=
        Platform::Answer::Ok) {
        return;
    }
    install::CopyResult copied;
    worker::runBehindProgress(platform(), installstr::UnzipProgress, [&](const worker::Link& link) {
        copied =
            install::copyFolderInto(choice.sourceFolder, root, install::Monitor{link.report, link.cancelled});
    });
    if (copied.error == install::CopyError::Cancelled) {
        return;
    }
    if (!copied.ok()) {
        platform().showMessage(msg::exclamation(installstr::CopyFailed + copied.detail));
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    onBoardChosen();
    offerToStartHost();
}

void MainWindow::onOpenLibraryRootClicked() {
    if (!requireBoard()) {
        return;
    }
    platform().openWithDesktop(currentLibraryRoot());
}

// The five open buttons use selectedLibrary_ also when it was picked in the network list and is not
// installed; a missing target is the desktop's to ignore. The name comes from the catalog or a folder
// listing: one that is no plain file name (a section "[../../x]") opens nothing.
void MainWindow::openLibraryPath(LibraryPath path) {
    if (!filenames::isUsableName(selectedLibrary_)) {
        platform().showMessage(msg::exclamation(installstr::badNameMessage(selectedLibrary_)));
        return;
    }
    platform().openForViewing(
        path(hostPathEdit->text(), boardCombo->currentText(), selectedLibrary_, context_.folder.sep));
}
