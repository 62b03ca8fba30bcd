#include "app/Form1.h"

#include "app/Messages.h"
#include "host/HostPaths.h"
#include "install/DownloadCodes.h"
#include "install/Extract.h"
#include "install/InstallStrings.h"
#include "install/LibraryDetails.h"
#include "install/LocalInstall.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"
#include "settings/SettingsKeys.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

// Library details, package download and extraction, installing, and opening installed libraries.

void Form1::List2_Click() {
    Frame7->setTitle(installstr::NetworkInfoCaption);
    SelectedLibrary = List2->currentItem() ? List2->currentItem()->text() : QString();
    ShowLibraryDetails();
}

void Form1::List3_Click() {
    Frame7->setTitle(installstr::LocalInfoCaption);
    SelectedLibrary = List3->currentItem() ? List3->currentItem()->text() : QString();
    ShowLibraryDetails();
}

void Form1::ShowLibraryDetails() {
    Text11->show();
    const install::LibraryRecord catalog = install::readRecord(
        catalogIndex_.document(context().folder.catalogCacheForDetails()), SelectedLibrary);

    // Without a board, or with a host path that does not end the way the derivation expects, the
    // path names no description file: the library counts as not installed.
    const QChar sep = context().folder.sep;
    const QString hostPath = Text8->text();
    const QString board = Combo2->currentText();
    install::LibraryRecord installed;
    // A name that is no file name has no description file to read: it counts as not installed.
    if (!board.isEmpty() && hostPath.contains(sep + host::ExeName) &&
        filenames::isUsableName(SelectedLibrary)) {
        installed = install::readDescriptionFile(host::libraryReadme(hostPath, board, SelectedLibrary, sep),
                                                 SelectedLibrary);
    }

    const install::DetailsView v = install::buildDetails(SelectedLibrary, catalog, installed);
    Text2->setText(v.text2);
    Text3->setText(v.text3);
    Text16->setText(v.text16);
    Text19->setText(v.text19);
    Text4->setText(v.text4);
    Text5->setText(v.text5);
    Text6->setText(v.text6);
    Text7->setText(v.text7);
    if (v.text17) {
        Text17->setText(*v.text17);
    }
    Text11->setPlainText(v.text11);
    Command13->setVisible(v.installVisible);
    Command6->setVisible(v.reinstallVisible);
    Command19->setVisible(v.updateVisible);
    for (QPushButton* b : {Command101, Command102, Command200, Command201, Command202}) {
        b->setVisible(v.openVisible);
    }
}

qint32 Form1::DownloadPackage(const QString& packageName) {
    // A name from the catalog that is no plain file name in the package cache asks for nothing.
    if (!filenames::isUsableName(packageName)) {
        return install::code::BadName;
    }
    if (httpClient().isBusy()) {
        return install::code::Failed; // one transfer at a time
    }
    const QUrl address(install::packageAddress(settings_.read(keys::CatalogServer), packageName));
    const QString target = install::packageCacheFile(context().folder.packageCacheFolder(), packageName);
    const net::Result result = downloadWithProgress(address, target, installstr::DownloadProgress);
    return install::downloadCode(install::outcomeOf(result));
}

bool Form1::UnzipFile(const QString& zipPath, const QString& destination) {
    const install::ExtractResult result = install::extractZip(zipPath, destination);
    if (!result.ok()) {
        platform().showMessage(msg::exclamation(installstr::UnzipFailed));
        return false;
    }
    return true;
}

QString Form1::selectedNetworkLibrary() const {
    const QListWidgetItem* item = List2->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

bool Form1::requireBoard() {
    if (Combo2->currentText().isEmpty()) {
        platform().showMessage(msg::critical(installstr::NoBoard));
        return false;
    }
    return true;
}

void Form1::offerToStartHost() {
    if (platform().showMessage(msg::confirm(installstr::OpenHost)) == Platform::Answer::Ok) {
        platform().startProgram(Text8->text());
    }
}

void Form1::installSelectedLibrary() {
    if (!requireBoard()) {
        return;
    }
    const QString name = selectedNetworkLibrary();
    const QString board = Combo2->currentText();
    // The download comes before the question.
    const qint32 result = DownloadPackage(name);
    if (result != install::code::Ok) {
        platform().showMessage(msg::exclamation(install::downloadFailureMessage(result, name)));
        return;
    }
    if (platform().showMessage(msg::confirm(installstr::confirmInstall(name, board))) !=
        Platform::Answer::Ok) {
        return; // the package stays in the cache
    }
    const QChar sep = context().folder.sep;
    const QString root = host::libraryRoot(Text8->text(), board, sep);
    const QString package = install::packageCacheFile(context().folder.packageCacheFolder(), name);
    if (!UnzipFile(package, root)) {
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    Combo2_Click();
    offerToStartHost();
}

void Form1::Command13_Click() {
    installSelectedLibrary();
}

void Form1::Command19_Click() {
    installSelectedLibrary();
}

void Form1::Command6_Click() {
    installSelectedLibrary();
}

void Form1::Command14_Click() {
    dialogFilter_ = installstr::XmlFilter;
    Text18->setText(showOpenFileDialog());
    const QChar sep = context().folder.sep;
    const install::XmlChoice choice = install::interpretXmlChoice(Text18->text(), sep);
    if (!choice.accepted) {
        platform().showMessage(msg::critical(installstr::WrongXml));
        return;
    }
    // Without a board the library root would lie in no board's folder.
    if (!requireBoard()) {
        return;
    }
    const QString board = Combo2->currentText();
    const QString root = host::libraryRoot(Text8->text(), board, sep);
    if (platform().showMessage(msg::confirm(installstr::confirmInstall(choice.name, board))) !=
        Platform::Answer::Ok) {
        return;
    }
    const install::CopyResult copied = install::copyFolderInto(choice.sourceFolder, root);
    if (!copied.ok()) {
        platform().showMessage(msg::exclamation(installstr::CopyFailed + copied.detail));
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    Combo2_Click();
    offerToStartHost();
}

void Form1::Command21_Click() {
    if (!requireBoard()) {
        return;
    }
    platform().openWithDesktop(host::libraryRoot(Text8->text(), Combo2->currentText(), context().folder.sep));
}

// The five open buttons use SelectedLibrary also when it was picked in the network list and is not
// installed; a missing target is the desktop's to ignore. The name comes from the catalog or a folder
// listing: one that is no plain file name (a section "[../../x]") opens nothing.

void Form1::viewSelectedLibraryItem(QString (*path)(const QString&, const QString&, const QString&, QChar)) {
    if (!filenames::isUsableName(SelectedLibrary)) {
        platform().showMessage(msg::exclamation(installstr::badNameMessage(SelectedLibrary)));
        return;
    }
    platform().openForViewing(
        path(Text8->text(), Combo2->currentText(), SelectedLibrary, context().folder.sep));
}

void Form1::Command101_Click() {
    viewSelectedLibraryItem(&host::libraryExamplesFolder);
}

void Form1::Command102_Click() {
    viewSelectedLibraryItem(&host::libraryFolder);
}

void Form1::Command200_Click() {
    viewSelectedLibraryItem(&host::libraryXml);
}

void Form1::Command201_Click() {
    viewSelectedLibraryItem(&host::libraryBlockScript);
}

void Form1::Command202_Click() {
    viewSelectedLibraryItem(&host::libraryGeneratorScript);
}
