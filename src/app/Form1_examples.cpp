#include "app/Form1.h"

#include "app/Messages.h"
#include "host/HostPaths.h"
#include "install/ExampleEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

// Shared example projects: the examples panel, installing an example into the host IDE's shared
// examples folder and opening it.

namespace {
const QString kInstalled = QStringLiteral("安装成功");
const QString kUnsafeExample = QStringLiteral("示例名称含有不允许的字符（/ \\ : .. 或控制字符），已拒绝安装！");
QString openExampleQuestion(const QString& title) {
    return QStringLiteral("是否打开【") + title + QStringLiteral("】示例？");
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
    if (!isSafeExampleName(entry->packageName) || !isSafeExampleName(entry->title)) {
        platform().showMessage(msg::critical(kUnsafeExample));
        return;
    }
    const qint32 code = DownloadPackage(entry->packageName);
    if (code != 0) {
        showDownloadFailure(code);
        return;
    }
    const QString folder = examplesFolder();
    const QString package = context().folder.packageCacheFolder() + entry->packageName + QStringLiteral(".zip");
    if (!UnzipFile(package, folder)) {
        return;
    }
    platform().showMessage(msg::plain(kInstalled));
    if (platform().showMessage(msg::confirm(openExampleQuestion(entry->title))) == Platform::Answer::Ok) {
        platform().openWithDesktop(folder + context().folder.sep + entry->title + QStringLiteral(".qnp"));
    }
}
