#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "catalog/CatalogParser.h"
#include "catalog/CatalogStrings.h"
#include "catalog/Links.h"
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
// The catalog is read as it arrives: at most this much of it is held at a time.
constexpr qint64 CatalogBufferBytes = 64 * 1024;

} // namespace

net::HttpClient& MainWindow::httpClient() {
    if (!http_) {
        http_ = std::make_unique<net::HttpClient>();
        http_->setTimeouts(context_.timeouts.connectMs, context_.timeouts.stallMs);
    }
    return *http_;
}

void MainWindow::sendCatalogRequest() {
    net::Options options;
    options.bufferBytes = CatalogBufferBytes;
    httpClient().prepare(QUrl(settings_.read(keys::CatalogServer) + catstr::CatalogFile), options);
}

net::Result MainWindow::fetchCatalog(const QString& target, catalog::ParsedCatalog& parsed) {
    net::HttpClient& client = httpClient();
    const std::unique_ptr<Platform::Progress> progress = platform().beginProgress(catstr::Downloading);
    progress->setCancelHandler([&client] { client.cancel(); });
    catalog::Reader reader;
    net::Options options;
    options.maxBytes = CatalogSizeLimit;
    options.deadlineMs = context_.timeouts.catalogDeadlineMs;
    // The progress indicator holds the window's input back itself and needs its Cancel button.
    options.allowUserInput = true;
    options.onProgress = [p = progress.get()](qint64 received, qint64 total) {
        p->setProgress(received, total);
    };
    // Read as it arrives: the catalog is never held whole, neither as bytes nor as text.
    options.bufferBytes = CatalogBufferBytes;
    // A cache: fetched again should a power cut lose it, so start-up does not wait for the disk.
    options.flushToDisk = false;
    options.onData = [&reader](QByteArrayView piece) { reader.feed(piece); };
    options.acceptBody = [&] {
        parsed = reader.finish();
        return parsed.hasNoticeMarker;
    };
    return target.isEmpty() ? client.fetch(QUrl(catalogUrl_), options)
                            : client.downloadToFile(QUrl(catalogUrl_), target, options);
}

void MainWindow::catalogUpdateFailed(const QString& message) {
    platform().showMessage(msg::critical(message));
    retryLink->show();
}

bool MainWindow::updateCatalog(const QString& failureText) {
    // The body goes straight into the cache file, which it replaces (the server's own bytes) only
    // when it has arrived whole and holds the notice marker.
    const QString cache = context_.folder.catalogCache();
    const bool replaceable = safefile::mayReplace(cache);
    catalog::ParsedCatalog parsed;
    net::Result fetched = fetchCatalog(replaceable ? cache : QString(), parsed);
    // A cache that cannot be replaced (read-only, or its file not even begun): the body is still read,
    // so an answer that is no catalog is told as such.
    const bool stored =
        replaceable && !(fetched.outcome == net::Outcome::WriteFailed && fetched.bytesReceived == 0);
    if (replaceable && !stored) {
        fetched = fetchCatalog(QString(), parsed);
    }
    if (fetched.outcome == net::Outcome::Refused) { // a whole body without the notice marker
        catalogUpdateFailed(catstr::UpdateFailed);
        return false;
    }
    if (!fetched.ok() || !stored) {
        catalogUpdateFailed(failureText);
        return false;
    }
    retryLink->hide();
    cachedCatalogLabel->hide();
    applyCatalog(std::move(parsed));
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
    std::optional<catalog::ParsedCatalog> parsed = catalog::parseFile(context_.folder.catalogCache());
    if (!parsed || !parsed->hasNoticeMarker) {
        return false; // no cache, or not a catalog the server sent
    }
    applyCatalog(std::move(*parsed));
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
    std::optional<catalog::ParsedCatalog> parsed = catalog::parseFile(context_.folder.catalogCache());
    if (!parsed) {
        for (RowsModel* rows : {&controls::rowsOf(networkList), siteRows_, exampleRows_}) {
            rows->clear();
        }
        return false;
    }
    applyCatalog(std::move(*parsed));
    return true;
}

void MainWindow::applyCatalog(catalog::ParsedCatalog parsed) {
    catalogApplied_ = true;
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
    // The details panel reads the library sections from the cache file through this index: the file
    // is not read again as a whole while it stays as it is.
    catalogIndex_.adopt(context_.folder.catalogCacheForDetails(), std::move(parsed.sections));
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
