#include "AppWindow.h"
#include "TestServer.h"
#include "app/MainWindow.h"
#include "app/RowsModel.h"
#include "settings/Gbk.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

namespace {

const QString DownloadFailed = QStringLiteral("库文件更新解析失败！请检查网络后重试！");
const QString UpdateFailed = QStringLiteral("库文件更新失败！请检查网络后重试！");
const QString Site = QStringLiteral("https://maker.example.org");
const QString ProgramPage = Site + QStringLiteral("/?p=333");

QString prompt(const QString& version) {
    return QStringLiteral("当前版本过低！最新版本为V") + version + QStringLiteral("版，是否前往下载最新版？");
}

// A sample catalog, GBK with CR LF: `versions` as its version lines, `more` after its libraries.
QByteArray catalogBytes(const QString& versions = QStringLiteral("版本号：1.03\r\n"),
                        const QString& more = {}) {
    return gbk::encode(
        versions +
        QStringLiteral("软件更新日期：2025年1月5日\r\n公告：欢迎使用\r\n库更新：2025年1月4日\r\n"
                       "分享网址：示例网站[https://example.com/]\r\n分享示例：流水灯[led]\r\n\r\n"
                       "[AHT20] \r\n库名=AHT20温湿度传感器\r\n库版本=1.2\r\n[OLED] \r\n库名=OLED显示屏\r\n") +
        more);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString refusedBase() {
    return QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort());
}

// One window and, unless told otherwise, a test server whose KU.txt is the sample catalog until
// serve() changes it.
struct Fixture : AppWindow {
    QTemporaryDir serverRoot;
    std::unique_ptr<TestServer> server;
    // Short time-outs only where a test waits for one: a loaded machine may take a while to answer.
    NetTimeouts timeouts{5000, 5000};

    explicit Fixture(bool withServer = true) {
        serve(catalogBytes());
        if (withServer) {
            server = std::make_unique<TestServer>(serverRoot.path());
        }
    }
    void serve(const QByteArray& catalog) const {
        QFile f(serverRoot.filePath(QStringLiteral("KU.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(catalog);
    }
    void configure(const QString& base, const QString& version = QStringLiteral("1.03")) const {
        app.writeConfig({QStringLiteral("banben=") + version, QStringLiteral("fuwuqi=") + base,
                         QStringLiteral("guanwang=") + Site,
                         QStringLiteral("shipin=https://video.example.org/tutorial"),
                         QStringLiteral("qunliao=https://chat.example.org/invite")});
    }
    MainWindow& start(const QString& base, const QString& version = QStringLiteral("1.03")) {
        configure(base, version);
        AppWindow::start(timeouts);
        return w();
    }
    QString cachePath() const { return app.file(QStringLiteral("Dravonel/ku/Ku.txt")); }
};

} // namespace

class TestCatalogWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The start-up download fills the lists and captions; a catalog naming another version than
    // ours asks whether to fetch it and shows the download link.
    void startUpDownload_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("current version") << "1.03" << Platform::Answer::Yes << QStringList{};
        QTest::newRow("older, yes opens the program page")
            << "1.02" << Platform::Answer::Yes << QStringList{ProgramPage};
        QTest::newRow("older, no opens nothing") << "1.02" << Platform::Answer::No << QStringList{};
    }
    void startUpDownload() {
        QFETCH(QString, version);
        QFETCH(Platform::Answer, answer);
        QFETCH(QStringList, opened);
        Fixture f;
        QVERIFY2(f.server->isRunning(), qPrintable(f.server->errorText()));
        f.platform.answers = {answer};
        MainWindow& w = f.start(f.server->baseUrl(), version);
        QCOMPARE(f.platform.progressLabels.size(), 1);
        QCOMPARE(rows(child<QListView>(w, "List2")), (QStringList{"AHT20", "OLED"}));
        QCOMPARE(rows(child<QListView>(w, "List5")),
                 QStringList{QStringLiteral("示例网站[https://example.com/]")});
        QCOMPARE(rows(child<QListView>(w, "List6")), QStringList{QStringLiteral("流水灯[led]")});
        QCOMPARE(child<QLabel>(w, "Label51")->text(), QStringLiteral("最新版本：V1.03版"));
        QCOMPARE(child<QLabel>(w, "Label52")->text(), QStringLiteral("更新日期：2025年1月5日"));
        QCOMPARE(child<QLabel>(w, "Label18")->text(), QStringLiteral("欢迎使用"));
        QCOMPARE(child<QLabel>(w, "Label18")->width(),
                 child<QLabel>(w, "Label18")->sizeHint().width()); // the notice wraps by its real width
        QCOMPARE(child<QLabel>(w, "Label20")->text(), QStringLiteral("库更新时间:2025年1月4日"));
        QVERIFY(!child<QLabel>(w, "Label2")->isVisible());
        QCOMPARE(readFile(f.cachePath()), catalogBytes());
        QCOMPARE(f.platform.opened, opened);
        QCOMPARE(child<QLabel>(w, "Label1")->isVisible(), version != QLatin1String("1.03"));
        if (!child<QLabel>(w, "Label1")->isVisible()) {
            QCOMPARE(f.platform.messageTexts(), QStringList());
            return;
        }
        QCOMPARE(f.platform.messages.size(), 1);
        const Platform::Message& m = f.platform.messages.first();
        QCOMPARE(m.text, prompt(QStringLiteral("1.03")));
        QCOMPARE(m.title, QStringLiteral("Quenra小助手"));
        QCOMPARE(m.icon, Platform::Icon::Exclamation);
        QCOMPARE(m.buttons, Platform::Buttons::YesNo);
        QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("最新版本为1.03版,点击下载"));
        f.platform.clear();
        QTest::mouseClick(child<QLabel>(w, "Label1"), Qt::LeftButton);
        QCOMPARE(f.platform.opened, QStringList{ProgramPage});
    }

    // A failed download or refresh says so, shows the retry label and leaves the cache byte for byte
    // and the lists as they were; the retry label then works once the server is back.
    void failedUpdateKeepsTheCache_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("downloadMessage");
        QTest::newRow("404 page with the marker") << "status/404" << DownloadFailed;
        QTest::newRow("body cut short") << "cut" << DownloadFailed;
        QTest::newRow("cancelled") << "<cancel>" << DownloadFailed;
        QTest::newRow("body without the marker") << "nomarker" << UpdateFailed;
    }
    void failedUpdateKeepsTheCache() {
        QFETCH(QString, mode);
        QFETCH(QString, downloadMessage);
        Fixture f;
        MainWindow& w = f.start(f.server->baseUrl());
        QCOMPARE(readFile(f.cachePath()), catalogBytes());
        const QByteArray cache = readFile(f.cachePath());
        const auto failed = [&](const QString& message) {
            QCOMPARE(f.platform.messageTexts(), QStringList{message});
            QCOMPARE(f.platform.messages.first().icon, Platform::Icon::Critical);
            QVERIFY(child<QLabel>(w, "Label2")->isVisible());
            QCOMPARE(readFile(f.cachePath()), cache);
            QCOMPARE(rows(child<QListView>(w, "List2")), (QStringList{"AHT20", "OLED"}));
        };

        // The download, as the retry label runs it, reads the server address anew.
        f.configure(mode.startsWith(QLatin1Char('<')) ? f.server->baseUrl() : f.server->baseUrl(mode));
        f.platform.cancelOnFirstProgress = mode == QLatin1String("<cancel>");
        f.platform.clear();
        press(w, "Label2");
        failed(downloadMessage);

        // The refresh reuses the address the download set and names no parsing.
        child<QLabel>(w, "Label2")->hide();
        f.platform.clear();
        child<QAction>(w, "wangluoku")->trigger();
        failed(UpdateFailed);

        f.platform.cancelOnFirstProgress = false;
        f.configure(f.server->baseUrl());
        f.serve(
            catalogBytes(QStringLiteral("版本号：1.03\r\n"), QStringLiteral("[DHT11] \r\n库名=温湿度\r\n")));
        f.platform.clear();
        QTest::mouseClick(child<QLabel>(w, "Label2"), Qt::LeftButton);
        QCOMPARE(f.platform.messageTexts(), QStringList());
        QVERIFY(!child<QLabel>(w, "Label2")->isVisible());
        QCOMPARE(rows(child<QListView>(w, "List2")), (QStringList{"AHT20", "OLED", "DHT11"}));
    }

    void refreshPromptsBeforeReporting() {
        Fixture f;
        MainWindow& w = f.start(f.server->baseUrl());
        QCOMPARE(f.platform.messageTexts(), QStringList());

        // The server now announces three versions and one more library: one question, about the
        // last version that is not ours; the caption shows the last line.
        const QByteArray newer =
            catalogBytes(QStringLiteral("版本号：1.04\r\n版本号：1.05\r\n版本号：1.03\r\n"),
                         QStringLiteral("[DHT11] \r\n库名=温湿度\r\n"));
        f.serve(newer);
        f.platform.answers = {Platform::Answer::No};
        child<QAction>(w, "wangluoku")->trigger();
        QCOMPARE(f.platform.messageTexts(),
                 (QStringList{prompt(QStringLiteral("1.05")), QStringLiteral("库列表已更新为最新版！")}));
        QCOMPARE(f.platform.messages.last().icon, Platform::Icon::Information);
        QCOMPARE(child<QLabel>(w, "Label51")->text(), QStringLiteral("最新版本：V1.03版"));
        QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("最新版本为1.05版,点击下载"));
        QCOMPARE(rows(child<QListView>(w, "List2")), (QStringList{"AHT20", "OLED", "DHT11"}));
        QCOMPARE(child<QListView>(w, "List5")->model()->rowCount(), 1);
        QCOMPARE(child<QListView>(w, "List6")->model()->rowCount(), 1);
        QCOMPARE(readFile(f.cachePath()), newer);
    }

    // Catalog text is shown as it stands: no markup, no picture read from a path the catalog names
    // (a FIFO would block the start-up for good), whatever its length.
    void hostileText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("tags") << QStringLiteral("<b>粗</b><a href='https://evil.example/'>链接</a>");
        QTest::newRow("picture from a FIFO") << QStringLiteral("<img src='file://%1'>");
        QTest::newRow("entity") << QStringLiteral("&amp;&lt;");
        QTest::newRow("1 MB line") << QStringLiteral("<i>").repeated(350000);
    }
    void hostileText() {
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        text.replace(QStringLiteral("%1"), fifo);
        Fixture f;
        f.serve(gbk::encode(QStringLiteral("版本号：") + text + QStringLiteral("\r\n软件更新日期：") + text +
                            QStringLiteral("\r\n公告：") + text + QStringLiteral("\r\n库更新：") + text +
                            QStringLiteral("\r\n[") + text + QStringLiteral("] \r\n")));
        f.platform.answers = {Platform::Answer::No};
        MainWindow& w = f.start(f.server->baseUrl());
        QCOMPARE(f.platform.messageTexts(), QStringList{prompt(text)});
        const QList<std::pair<QLabel*, QString>> shown{
            {child<QLabel>(w, "Label18"), text},
            {child<QLabel>(w, "Label20"), QStringLiteral("库更新时间:") + text},
            {child<QLabel>(w, "Label51"), QStringLiteral("最新版本：V") + text + "版"},
            {child<QLabel>(w, "Label52"), QStringLiteral("更新日期：") + text},
            {child<QLabel>(w, "Label1"), QStringLiteral("最新版本为") + text + "版,点击下载"}};
        for (const auto& [label, caption] : shown) {
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        QCOMPARE(rows(child<QListView>(w, "List2")), QStringList{text});
        w.grab(); // paints every label, as the first showing of the window does
    }

    void links_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("page");
        const QString home = Site + QStringLiteral("/");
        const QString chat = QStringLiteral("https://chat.example.org/invite");
        QTest::newRow("help menu") << "bangzhu" << ProgramPage;
        QTest::newRow("details link") << "Label14" << ProgramPage;
        QTest::newRow("notice") << "Label18" << ProgramPage;
        QTest::newRow("share button") << "Command20" << Site + QStringLiteral("/?p=343");
        QTest::newRow("about: web site") << "Label9" << home;
        QTest::newRow("status strip: web site") << "Label5" << home;
        QTest::newRow("video") << "Label21" << QStringLiteral("https://video.example.org/tutorial");
        QTest::newRow("path panel: chat group") << "Label19" << chat;
        QTest::newRow("status strip: chat group") << "Label17" << chat;
        QTest::newRow("about: chat group") << "Label11" << chat;
    }
    void links() {
        QFETCH(QString, control);
        QFETCH(QString, page);
        Fixture f(false);
        MainWindow& w = f.start(refusedBase());
        f.platform.clear();
        press(w, qPrintable(control));
        QCOMPARE(f.platform.opened, QStringList{page});
    }

    void siteRowDoubleClick() {
        Fixture f;
        MainWindow& w = f.start(f.server->baseUrl());
        auto* sites = child<QListView>(w, "List5");
        controls::rowsOf(sites).setRows(rows(sites) << QStringLiteral("本地[file:///etc/passwd]"));
        QTest::mouseClick(child<QPushButton>(w, "Command28"), Qt::LeftButton);
        f.platform.clear();
        for (int row = 0; row < sites->model()->rowCount(); ++row) {
            const QRect r = sites->visualRect(sites->model()->index(row, 0));
            QTest::mouseClick(sites->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(sites->viewport(), Qt::LeftButton, {}, r.center());
        }
        // Enter on the current row does what a double click does.
        sites->setCurrentIndex(sites->model()->index(0, 0));
        QTest::keyClick(sites, Qt::Key_Return);
        QCOMPARE(f.platform.opened, QStringList(2, QStringLiteral("https://example.com/")));
    }
};

QTEST_MAIN(TestCatalogWindow)
#include "tst_catalogwindow.moc"
