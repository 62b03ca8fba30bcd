#include "app/MainWindow.h"

#include "app/LibrarySearch.h"
#include "app/RowsModel.h"
#include "host/HostPaths.h"
#include "host/Subfolders.h"
#include "install/Bundle.h"
#include "install/DownloadCodes.h"
#include "install/Extract.h"
#include "install/InstallStrings.h"
#include "install/LibraryDetails.h"
#include "install/PackageDownload.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"
#include "ui/Messages.h"
#include "ui/Worker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QSet>

#include <algorithm>

// The installed libraries of a board as a whole: update all, uninstall, export as one bundle.

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

QString MainWindow::currentLibraryRoot() const {
    return host::libraryRoot(hostPathEdit->text(), boardCombo->currentText(), context_.folder.sep);
}

QStringList MainWindow::librariesWithUpdates() {
    return install::librariesWithUpdates(catalogIndex_, context_.folder.catalogCacheForDetails(),
                                         hostPathEdit->text(), boardCombo->currentText(),
                                         context_.folder.sep);
}

void MainWindow::onUpdateAllClicked() {
    if (!requireHostInstallation() || !requireBoard()) {
        return;
    }
    const QStringList stale = librariesWithUpdates();
    if (stale.isEmpty()) {
        platform().showMessage(msg::information(installstr::AllCurrent));
        return;
    }
    if (platform().showMessage(msg::confirm(installstr::ConfirmUpdateAll + LineBreak +
                                            stale.join(LineBreak))) != Platform::Answer::Ok) {
        return;
    }
    const QString root = currentLibraryRoot();
    std::unique_ptr<Platform::Progress> progress =
        platform().beginProgress(installstr::updatingProgress(stale.first(), 1, int(stale.size())));
    int updated = 0;
    QStringList failures;
    for (qsizetype i = 0; i < stale.size(); ++i) {
        const QString& name = stale[i];
        progress->setLabel(installstr::updatingProgress(name, int(i + 1), int(stale.size())));
        const qint32 code = downloadPackage(name, progress.get(), catalogChecksum(name));
        if (code == install::code::Cancelled) {
            break;
        }
        if (code != install::code::Ok) {
            failures << name + QStringLiteral("：") + install::downloadFailureMessage(code, name);
            continue;
        }
        install::ExtractResult extracted;
        const QString package = install::packageCacheFile(context_.folder.packageCacheFolder(), name);
        worker::runBehindProgress(*progress, [&](const worker::Link& link) {
            extracted = install::extractZip(package, root, {}, install::Monitor{link.report, link.cancelled});
        });
        // A cancel during the extraction leaves that library as it was.
        if (extracted.error == install::ExtractError::Cancelled) {
            break;
        }
        if (!extracted.ok()) {
            failures << name + QStringLiteral("：") + installstr::UnzipFailed;
            continue;
        }
        ++updated;
    }
    progress.reset();

    QString summary = installstr::updatedCount(updated);
    if (!failures.isEmpty()) {
        summary += LineBreak + installstr::UpdateFailedHeading + LineBreak + failures.join(LineBreak);
    }
    platform().showMessage(failures.isEmpty() ? msg::information(summary) : msg::exclamation(summary));
    listInstalledLibraries();
    if (!selectedLibrary_.isEmpty()) {
        showLibraryDetails();
    }
}

void MainWindow::onUninstallClicked() {
    if (!requireHostInstallation() || !requireBoard()) {
        return;
    }
    const QString name = selectedLibrary_;
    if (!filenames::isUsableName(name)) {
        platform().showMessage(msg::exclamation(installstr::badNameMessage(name)));
        return;
    }
    const QString board = boardCombo->currentText();
    if (platform().showMessage(msg::confirm(installstr::confirmUninstall(name, board))) !=
        Platform::Answer::Ok) {
        return;
    }
    // Into the trash, not deleted: the user's own changes to a library can be restored.
    if (!platform().moveToTrash(
            host::libraryFolder(hostPathEdit->text(), board, name, context_.folder.sep))) {
        platform().showMessage(msg::exclamation(installstr::UninstallFailed));
        return;
    }
    platform().showMessage(msg::information(installstr::uninstalled(name)));
    listInstalledLibraries();
    showLibraryDetails();
}

void MainWindow::onExportClicked() {
    if (!requireHostInstallation() || !requireBoard()) {
        return;
    }
    const QString board = boardCombo->currentText();
    const QString root = currentLibraryRoot();
    QStringList names = host::listSubfolders(root);
    names.sort(); // the same libraries give the same archive
    const std::optional<QString> target = platform().saveFileDialog(
        installstr::BundleFilter, install::bundleFileName(board, QDate::currentDate()));
    if (!target) {
        return;
    }
    install::CopyResult written;
    worker::runBehindProgress(platform(), installstr::ExportProgress, [&](const worker::Link& link) {
        written =
            install::writeLibraryBundle(root, names, *target, install::Monitor{link.report, link.cancelled});
    });
    if (written.error == install::CopyError::Cancelled) {
        return;
    }
    if (!written.ok()) {
        platform().showMessage(msg::exclamation(installstr::ExportFailed + written.detail));
        return;
    }
    platform().showMessage(msg::information(installstr::Exported + *target));
}

void MainWindow::installLocalBundle(const QString& zipPath) {
    const install::ArchiveLibraries found = install::findLibraries(zipPath);
    if (found.names.isEmpty()) {
        platform().showMessage(msg::critical(installstr::NoLibraryInArchive));
        return;
    }
    if (!requireBoard()) {
        return;
    }
    const QString board = boardCombo->currentText();
    if (platform().showMessage(msg::confirm(installstr::confirmInstall(
            found.names.join(installstr::NameListSeparator), board))) != Platform::Answer::Ok) {
        return;
    }
    if (!unzipPackage(zipPath, currentLibraryRoot(), found.names)) {
        return;
    }
    platform().showMessage(msg::plain(installstr::Installed));
    onBoardChosen();
    offerToStartHost();
}

void MainWindow::applyLibraryFilter() {
    const QString text = searchEdit->text().trimmed();
    const bool updatesOnly = updatesOnlyCheck->isChecked();
    const QString catalogFile = context_.folder.catalogCacheForDetails();
    // What a search finds besides the name: the catalog's 库名 and 作者 of the library.
    const auto catalogText = [&](const RowsModel& model) {
        return [&](qsizetype row) {
            const install::LibraryRecord r =
                catalogIndex_.record(catalogFile, model.rows().at(row).toString());
            return r.name + QLatin1Char('\n') + r.author;
        };
    };
    const QStringList stale = updatesOnly ? librariesWithUpdates() : QStringList();
    const QSet<QString> withUpdates(stale.cbegin(), stale.cend());
    if (!search_) {
        search_ = std::make_unique<LibrarySearch>();
    }
    for (auto [list, search] :
         {std::pair{networkList, &search_->network}, std::pair{localList, &search_->local}}) {
        RowsModel& model = controls::rowsOf(list);
        if (text.isEmpty() && !updatesOnly) {
            model.showOnly(std::nullopt); // every row, in catalog order
            continue;
        }
        if (!search->isBuilt()) {
            search->build(model.rows(), catalogText(model));
        }
        QList<qsizetype> shown = search->rowsContaining(text);
        if (updatesOnly) {
            shown.removeIf(
                [&](qsizetype row) { return !withUpdates.contains(model.rows().at(row).toString()); });
        }
        model.showOnly(std::move(shown));
    }
}

void MainWindow::invalidateSearch() {
    search_.reset();
}
