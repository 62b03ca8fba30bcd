#include "app/Form1.h"

#include "app/Messages.h"
#include "host/HostPaths.h"
#include "install/DownloadCodes.h"
#include "install/ExampleEntry.h"
#include "install/InstallStrings.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

// Shared example projects: the examples panel, installing an example into the host IDE's shared
// examples folder and opening it.

namespace {
QString openExampleQuestion(const QString& title) {
    return QStringLiteral("是否打开【") + title + QStringLiteral("】示例？");
}
// The title becomes a file name in the examples folder; one that is no plain file name is refused.
QString unsafeTitleMessage(const QString& title) {
    return QStringLiteral("示例【") + title + installstr::BadPackageNameSuffix;
}
} // namespace

QString Form1::examplesFolder() const {
    return host::sharedExamplesFolder(Text8->text(), context().folder.sep);
}

void Form1::Command29_Click() {
    if (Frame14->isVisible()) {
        Frame14->hide();
        return;
    }
    HideOverlayPanels();
    Frame14->show();
    Frame14->raise();
    // Created when nothing of that name exists; only the last level, and a failure is ignored.
    const QString folder = examplesFolder();
    if (!QFileInfo::exists(folder)) {
        QDir().mkdir(folder);
    }
}

void Form1::Command30_Click() {
    platform().openWithDesktop(examplesFolder());
}

void Form1::List6_DblClick() {
    const QListWidgetItem* item = List6->currentItem();
    if (!item) {
        return;
    }
    const std::optional<ExampleEntry> entry = parseExampleEntry(item->text());
    if (!entry) {
        return; // a row that names no package
    }
    if (!filenames::isUsableName(entry->title)) {
        platform().showMessage(msg::exclamation(unsafeTitleMessage(entry->title)));
        return;
    }
    // An unsafe package name is refused here too, before any request.
    const qint32 code = DownloadPackage(entry->packageName);
    if (code != 0) {
        platform().showMessage(msg::exclamation(install::downloadFailureMessage(code, entry->packageName)));
        return;
    }
    const QString folder = examplesFolder();
    const QString package =
        install::packageCacheFile(context().folder.packageCacheFolder(), entry->packageName);
    if (!UnzipFile(package, folder)) {
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    if (platform().showMessage(msg::confirm(openExampleQuestion(entry->title))) == Platform::Answer::Ok) {
        platform().openWithDesktop(folder + context().folder.sep + entry->title + QStringLiteral(".qnp"));
    }
}
