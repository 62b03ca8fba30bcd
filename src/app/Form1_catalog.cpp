#include "app/Form1.h"

#include "app/ClickableLabel.h"
#include "app/Messages.h"
#include "app/Twips.h"
#include "catalog/CatalogParser.h"
#include "catalog/CatalogStrings.h"
#include "catalog/Links.h"
#include "settings/Gbk.h"
#include "settings/SafeFile.h"
#include "settings/SettingsKeys.h"

#include "app/TextHolder.h"
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

#include <QPlainTextEdit>

// Catalog download, refresh, parse, notices and links.

namespace {

// A catalog is a few megabytes at most; anything far larger is not one.
constexpr qint64 CatalogSizeLimit = 64LL * 1024 * 1024;

} // namespace

net::HttpClient& Form1::httpClient() {
    if (!http_) {
        http_ = std::make_unique<net::HttpClient>();
        http_->setTimeouts(context_.timeouts.connectMs, context_.timeouts.stallMs);
    }
    return *http_;
}

net::Result Form1::fetchWithProgress(const QUrl& url, const QString& label, qint64 maxBytes) {
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

net::Result Form1::downloadWithProgress(const QUrl& url, const QString& targetPath, const QString& label) {
    net::HttpClient& client = httpClient();
    const std::unique_ptr<Platform::Progress> progress = platform().beginProgress(label);
    progress->setCancelHandler([&client] { client.cancel(); });
    net::Options options;
    options.maxBytes = context_.timeouts.packageMaxBytes;
    options.allowUserInput = true;
    options.onProgress = [p = progress.get()](qint64 received, qint64 total) {
        p->setProgress(received, total);
    };
    return client.downloadToFile(url, targetPath, options);
}

void Form1::catalogUpdateFailed(const QString& message) {
    platform().showMessage(msg::critical(message));
    Label2->show();
}

bool Form1::updateCatalog(const QString& failureText) {
    const net::Result fetched = fetchWithProgress(QUrl(CatalogUrl), catstr::Downloading, CatalogSizeLimit);
    if (!fetched.ok()) {
        catalogUpdateFailed(failureText);
        return false;
    }
    Text12->setGbkBytes(fetched.body);
    if (!gbk::decode(fetched.body).contains(catstr::NoticeMarker)) {
        catalogUpdateFailed(catstr::UpdateFailed);
        return false;
    }
    // The body's own bytes, so the cache is exactly what the server sent.
    if (!safefile::writeAtomically(context_.folder.catalogCache(), fetched.body)) {
        catalogUpdateFailed(failureText);
        return false;
    }
    Label2->hide();
    if (!parseCatalogCache()) {
        catalogUpdateFailed(failureText);
        return false;
    }
    return true;
}

void Form1::Command9_Click() {
    if (httpClient().isBusy()) {
        return; // one catalog transfer at a time
    }
    CatalogUrl = settings_.read(keys::CatalogServer) + catstr::CatalogFile;
    // The download names parsing in its failure message.
    updateCatalog(catstr::DownloadFailed);
}

void Form1::Command10_Click() {
    if (httpClient().isBusy()) {
        return;
    }
    // The address the download set; the refresh does not read the setting again.
    if (updateCatalog(catstr::UpdateFailed)) {
        platform().showMessage(msg::information(catstr::UpToDate));
    }
}

void Form1::wangluoku_Click() {
    Command10_Click();
}

void Form1::Label2_Click() {
    Command9_Click();
}

void Form1::Command3_Click() {
    parseCatalogCache();
}

bool Form1::parseCatalogCache() {
    List2->clear();
    List5->clear();
    List6->clear();
    const std::optional<catalog::ParsedCatalog> parsed = catalog::parseFile(context_.folder.catalogCache());
    if (!parsed) {
        return false;
    }
    // The whole file is read first and applied afterwards.
    List2->addItems(parsed->libraries);
    List5->addItems(parsed->sites);
    List6->addItems(parsed->examples);
    if (parsed->releaseDate) {
        Label52->setText(catstr::releaseDateCaption(*parsed->releaseDate));
    }
    if (parsed->notice) {
        Label18->setText(*parsed->notice);
        Label18->adjustSize(); // the scrolling wraps by the label's real width
    }
    if (parsed->libraryUpdate) {
        Label20->setText(catstr::libraryUpdateCaption(*parsed->libraryUpdate));
    }
    if (!parsed->versions.isEmpty()) {
        LatestVersion = parsed->versions.last();
        Label51->setText(catstr::latestVersionCaption(LatestVersion));
    }
    // A catalog with thousands of version lines must not ask thousands of times: one question per
    // parse, about the last version that differs from ours.
    // Versions are compared as text: "1.03" and "1.030" differ, and an older catalog asks too.
    for (auto v = parsed->versions.crbegin(); v != parsed->versions.crend(); ++v) {
        if (*v != CurrentVersion) {
            offerNewVersion(*v);
            break;
        }
    }
    return true;
}

void Form1::offerNewVersion(const QString& version) {
    Label1->show();
    Label1->move(Label1->x(), twips::px(240));
    Label1->setText(catstr::newVersionLink(version));
    const Platform::Message ask{catstr::newVersionPrompt(version), appstr::Title, Platform::Icon::Exclamation,
                                Platform::Buttons::YesNo, Platform::Answer::Yes};
    if (platform().showMessage(ask) == Platform::Answer::Yes) {
        openSitePage(&links::programPage);
    }
}

void Form1::openConfiguredPage(const QString& address) {
    if (!address.isEmpty()) {
        platform().openWithDesktop(address);
    }
}

void Form1::openSitePage(QString (*page)(const QString& site)) {
    // Without the site's address a page would be just its path, which names nothing.
    const QString site = settings_.read(keys::MakerSite);
    if (!site.isEmpty()) {
        platform().openWithDesktop(page(site));
    }
}

void Form1::Label1_Click() {
    openSitePage(&links::programPage);
}

void Form1::bangzhu_Click() {
    openSitePage(&links::programPage);
}

void Form1::Label14_Click() {
    openSitePage(&links::programPage);
}

void Form1::Label18_Click() {
    openSitePage(&links::programPage);
}

void Form1::Command20_Click() {
    openSitePage(&links::sharingPage);
}

void Form1::Label9_Click() {
    openSitePage(&links::homePage);
}

void Form1::Label5_Click() {
    openSitePage(&links::homePage);
}

void Form1::Label21_Click() {
    openConfiguredPage(settings_.read(keys::VideoPage));
}

void Form1::Label19_Click() {
    openConfiguredPage(settings_.read(keys::ChatGroupPage));
}

void Form1::Label17_Click() {
    openConfiguredPage(settings_.read(keys::ChatGroupPage));
}

void Form1::Label11_Click() {
    openConfiguredPage(settings_.read(keys::ChatGroupPage));
}

void Form1::List5_DblClick() {
    const QListWidgetItem* row = List5->currentItem();
    if (!row) {
        return;
    }
    // Addresses from the catalog are remote input: only web pages are opened.
    if (const std::optional<QString> address = links::siteAddress(row->text())) {
        platform().openWithDesktop(*address);
    }
}
