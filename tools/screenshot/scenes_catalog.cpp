#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "Widgets.h"
#include "app/MainWindow.h"
#include "settings/Gbk.h"
#include "ui/ClickableLabel.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

// The demo catalog as the server publishes it: GBK with CR LF line ends.
QByteArray demoCatalog(const ShotContext& c) {
    QFile source(c.sourceDir + QStringLiteral("/demo/server/KU.utf8.txt"));
    if (!source.open(QIODevice::ReadOnly)) {
        return {};
    }
    return gbk::encode(
        QString::fromUtf8(source.readAll()).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

// The demo catalog server when the caller started one; otherwise a local server over the demo
// catalog, converted the way the demo server converts it.
struct CatalogServer {
    QString url;
    QTemporaryDir root;
    std::unique_ptr<TestServer> server;

    explicit CatalogServer(const ShotContext& c) {
        if (!c.serverUrl.isEmpty()) {
            url = c.serverUrl;
            return;
        }
        QFile target(root.filePath(QStringLiteral("KU.txt")));
        if (target.open(QIODevice::WriteOnly)) {
            target.write(demoCatalog(c));
        }
        target.close();
        server = std::make_unique<TestServer>(root.path());
        url = server->baseUrl();
    }
};

// The notice enters from the right edge; let it scroll in as it would after a few seconds.
void scrollNoticeIntoView(MainWindow& w) {
    child<QTimer>(w, "Timer1")->stop();
    for (int i = 0;
         i < 100000 && child<QLabel>(w, "Label18")->x() > child<QGroupBox>(w, "Frame12")->width() / 20; ++i) {
        tick(w, "Timer1");
    }
}

QStringList config(const QString& serverUrl, const QString& version) {
    return {QStringLiteral("banben=") + version,
            QStringLiteral("qunhao=123456789"),
            QStringLiteral("guanwang=https://quenra-helper.example.com"),
            QStringLiteral("quenra=/opt/Quenra/Quenra.exe"),
            QStringLiteral("quenraBanben=Quenra 3.0 rc0"),
            QStringLiteral("fuwuqi=") + serverUrl};
}

const SceneRegistrar catalogScenes("catalog", [](ShotContext& c) {
    CatalogServer server(c);
    TempAppFolder app(config(server.url, QStringLiteral("1.03")));
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    scrollNoticeIntoView(w);
    saveShot(&w, QStringLiteral("catalog-main-window"), c);
    child<QAction>(w, "guanyu")->trigger();
    saveShot(&w, QStringLiteral("catalog-about-panel"), c);
    press(w, "Command28");
    saveShot(&w, QStringLiteral("catalog-sites-panel"), c);
    press(w, "Label7");
    saveShot(&w, QStringLiteral("catalog-donation-panel"), c);
});

const SceneRegistrar newVersionScene("catalog-new-version", [](ShotContext& c) {
    CatalogServer server(c);
    TempAppFolder app(config(server.url, QStringLiteral("1.02")));
    FakePlatform platform;
    platform.answers = {Platform::Answer::No};
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    scrollNoticeIntoView(w);
    saveShot(&w, QStringLiteral("catalog-new-version"), c);
});

const SceneRegistrar failedScene("catalog-failed", [](ShotContext& c) {
    TempAppFolder app(
        config(QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort()), QStringLiteral("1.03")));
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    saveShot(&w, QStringLiteral("catalog-failed"), c);
});

// No network, but an earlier download left the catalog in the cache: its lists show, marked so.
const SceneRegistrar offlineScene("catalog-offline", [](ShotContext& c) {
    TempAppFolder app(
        config(QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort()), QStringLiteral("1.03")));
    app.writeFile(QStringLiteral("Dravonel/ku/Ku.txt"), demoCatalog(c));
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    scrollNoticeIntoView(w);
    saveShot(&w, QStringLiteral("catalog-offline"), c);
});

// The real progress dialog over a transfer that stalls; its picture is taken while it waits, and
// the failure message that follows is closed.
const SceneRegistrar progressScene("catalog-progress", [](ShotContext& c) {
    CatalogServer server(c);
    TempAppFolder app(config(server.url + QStringLiteral("stall/"), QStringLiteral("1.03")));
    QtPlatform platform;
    AppContext context = app.context(&platform);
    context.timeouts = {2000, 2000};
    MainWindow w(context);
    w.show();
    QTimer shoot;
    shoot.setSingleShot(true);
    QObject::connect(&shoot, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QProgressDialog*>(top); dialog && dialog->isVisible()) {
                saveShot(dialog, QStringLiteral("catalog-progress"), c);
            }
        }
    });
    shoot.start(1200);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->accept();
        }
    });
    closer.start(100);
    w.startUp();
});

} // namespace
