#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "catalog/CatalogParser.h"
#include "catalog/CatalogStrings.h"
#include "catalog/Links.h"
#include "settings/Gbk.h"
#include "settings/SafeFile.h"
#include "settings/SettingsKeys.h"
#include "ui/ClickableLabel.h"
#include "ui/Messages.h"
#include "ui/Twips.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>

#include <QPlainTextEdit>

// Catalog download, refresh, parse, notices and links.

namespace {

// A catalog is a few megabytes at most; anything far larger is not one.
constexpr qint64 CatalogSizeLimit = 64LL * 1024 * 1024;

} // namespace

net::HttpClient& MainWindow::httpClient() {
    if (!http_) {
        http_ = std::make_unique<net::HttpClient>();
        http_->setTimeouts(context_.timeouts.connectMs, context_.timeouts.stallMs);
    }
    return *http_;
}

net::Result MainWindow::fetchWithProgress(const QUrl& url, const QString& label, qint64 maxBytes) {
    net::HttpClient& client = httpClient();
    const std::unique_ptr<Platform::Progress> progress = platform().beginProgress(label);
    progress->setCancelHandler([&client] { client.cancel(); });
    net::Options options;
    options.maxBytes = maxBytes;
    options.deadlineMs = context_.timeouts.catalogDeadlineMs;
    // The progress indicator holds the window's input back itself and needs its Cancel button.
    options.allowUserInput = true;
    options.onProgress = [p = progress.get()](qint64 received, qint64 total) {
        p->setProgress(received, total);
    };
    return client.fetch(url, options);
}

void MainWindow::catalogUpdateFailed(const QString& message) {
    platform().showMessage(msg::critical(message));
    retryLink->show();
}

bool MainWindow::updateCatalog(const QString& failureText) {
    net::Result fetched = fetchWithProgress(QUrl(catalogUrl_), catstr::Downloading, CatalogSizeLimit);
    if (!fetched.ok()) {
        catalogUpdateFailed(failureText);
        return false;
    }
    // Decoded once: the marker check and the parse read the same text.
    QString text = gbk::decode(fetched.body);
    if (!text.contains(catstr::NoticeMarker)) {
        catalogUpdateFailed(catstr::UpdateFailed);
        return false;
    }
    // The body's own bytes, so the cache is exactly what the server sent.
    if (!safefile::writeAtomically(context_.folder.catalogCache(), fetched.body)) {
        catalogUpdateFailed(failureText);
        return false;
    }
    fetched.body = QByteArray(); // the cache file has it; the text is all that is kept
    retryLink->hide();
    cachedCatalogLabel->hide();
    // The text is what the cache file now holds, so it is parsed as it is, not read back.
    applyCatalog(std::move(text));
    return true;
}

void MainWindow::downloadCatalog() {
    if (httpClient().isBusy()) {
        return; // one catalog transfer at a time
    }
    catalogUrl_ = settings_.read(keys::CatalogServer) + catstr::CatalogFile;
    // The download names parsing in its failure message. Without a network, the lists of the last
    // download beat empty ones.
    if (!updateCatalog(catstr::DownloadFailed) && !catalogApplied_) {
        showCachedCatalog();
    }
}

bool MainWindow::showCachedCatalog() {
    QFile file(context_.folder.catalogCache());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QString text = gbk::decode(file.readAll());
    if (!text.contains(catstr::NoticeMarker)) {
        return false; // not a catalog the server sent
    }
    applyCatalog(std::move(text));
    cachedCatalogLabel->show();
    return true;
}

void MainWindow::refreshCatalog() {
    if (httpClient().isBusy()) {
        return;
    }
    // The address the download set; the refresh does not read the setting again.
    if (updateCatalog(catstr::UpdateFailed)) {
        platform().showMessage(msg::information(catstr::UpToDate));
    }
}

bool MainWindow::parseCatalogCache() {
    QFile file(context_.folder.catalogCache());
    if (!file.open(QIODevice::ReadOnly)) {
        for (RowsModel* rows : {&controls::rowsOf(networkList), siteRows_, exampleRows_}) {
            rows->clear();
        }
        return false;
    }
    applyCatalog(gbk::decode(file.readAll()));
    return true;
}

void MainWindow::applyCatalog(QString text) {
    catalogApplied_ = true;
    catalog::ParsedCatalog parsed = catalog::parse(text);
    // The whole text is read first and applied afterwards.
    controls::rowsOf(networkList).setRows(std::move(parsed.libraries));
    invalidateSearch();
    siteRows_->setRows(std::move(parsed.sites));
    exampleRows_->setRows(std::move(parsed.examples));
    if (parsed.releaseDate) {
        releaseDateCaption_ = catstr::releaseDateCaption(*parsed.releaseDate);
        if (releaseDateLabel) {
            releaseDateLabel->setText(*releaseDateCaption_);
        }
    }
    if (parsed.notice) {
        setNotice(*parsed.notice);
    }
    if (parsed.libraryUpdate) {
        libraryUpdateLabel->setText(catstr::libraryUpdateCaption(*parsed.libraryUpdate));
    }
    if (!parsed.versions.isEmpty()) {
        latestVersionCaption_ = catstr::latestVersionCaption(parsed.versions.last().toString());
        if (latestVersionLabel) {
            latestVersionLabel->setText(*latestVersionCaption_);
        }
    }
    // The details panel reads the library sections from this text: the file it came from is not
    // read again while it stays as it is.
    catalogIndex_.adopt(context_.folder.catalogCacheForDetails(), std::move(text),
                        std::move(parsed.sections));
    applyLibraryFilter(); // the new rows, filtered as the search box says
    // A catalog with thousands of version lines must not ask thousands of times: one question per
    // parse, about the last version that differs from ours.
    // Versions are compared as text: "1.03" and "1.030" differ, and an older catalog asks too.
    for (qsizetype v = parsed.versions.size() - 1; v >= 0; --v) {
        if (parsed.versions.at(v) != currentVersion_) {
            offerNewVersion(parsed.versions.at(v).toString());
            break;
        }
    }
}

void MainWindow::offerNewVersion(const QString& version) {
    newVersionLink->show();
    newVersionLink->move(newVersionLink->x(), twips::px(240));
    newVersionLink->setText(catstr::newVersionLink(version));
    const Platform::Message ask{catstr::newVersionPrompt(version), msg::Title, Platform::Icon::Exclamation,
                                Platform::Buttons::YesNo, Platform::Answer::Yes};
    if (platform().showMessage(ask) == Platform::Answer::Yes) {
        openSitePage(&links::programPage);
    }
}

void MainWindow::openConfiguredPage(const QString& key) {
    const QString address = settings_.read(key);
    if (!address.isEmpty()) {
        platform().openWithDesktop(address);
    }
}

void MainWindow::openSitePage(QString (*page)(const QString& site)) {
    // Without the site's address a page would be just its path, which names nothing.
    const QString site = settings_.read(keys::MakerSite);
    if (!site.isEmpty()) {
        platform().openWithDesktop(page(site));
    }
}

void MainWindow::onSiteDoubleClicked() {
    const std::optional<QString> row = controls::currentText(siteList);
    if (!row) {
        return;
    }
    // Addresses from the catalog are remote input: only web pages are opened.
    if (const std::optional<QString> address = links::siteAddress(*row)) {
        platform().openWithDesktop(*address);
    }
}
