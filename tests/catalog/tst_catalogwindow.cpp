#include "AppWindow.h"
#include "TestServer.h"
#include "settings/Gbk.h"

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

const QString DownloadFailed = QStringLiteral("库文件更新解析失败！请检查网络后重试！");
const QString UpdateFailed = QStringLiteral("库文件更新失败！请检查网络后重试！");
const QString Site = QStringLiteral("https://maker.example.org");
const QString ProgramPage = Site + QStringLiteral("/?p=333");
const QStringList Libraries{QStringLiteral("AHT20"), QStringLiteral("OLED")};

QString prompt(const QString& version) {
    return QStringLiteral("当前版本过低！最新版本为V") + version + QStringLiteral("版，是否前往下载最新版？");
}

// A sample catalog, GBK with CR LF: `versions` as its version lines, `more` after its libraries.
QByteArray catalogBytes(const QString& versions = QStringLiteral("版本号：1.03\r\n"),
                        const QString& more = {}) {
    return gbk::encode(
        versions +
        QStringLiteral("软件更新日期：2025年1月5日\r\n公告：欢迎使用\r\n库更新：2025年1月4日\r\n"
                       "分享网址：示例网站[https://example.com/]\r\n\r\n"
                       "[AHT20] \r\n库名=AHT20温湿度传感器\r\n[OLED] \r\n库名=OLED显示屏\r\n") +
        more);
}

QStringList listed(const MainWindow& w, const char* list) {
    return rows(child<QListView>(w, list));
}

// A window on a test server whose KU.txt is the sample catalog until serve() changes it.
struct Fixture : AppWindow {
    QTemporaryDir serverRoot;
    TestServer server{serverRoot.path()};

    void serve(const QByteArray& catalog) const {
        QFile f(serverRoot.filePath(QStringLiteral("KU.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(catalog) == catalog.size());
    }
    void configure(const QString& base) const {
        app.writeConfig({QStringLiteral("banben=1.03"), QStringLiteral("fuwuqi=") + base,
                         QStringLiteral("guanwang=") + Site,
                         QStringLiteral("shipin=https://video.example.org/tutorial"),
                         QStringLiteral("qunliao=https://chat.example.org/invite")});
    }
    MainWindow& start(const QByteArray& catalog = catalogBytes()) {
        serve(catalog);
        configure(server.baseUrl());
        AppWindow::start(NetTimeouts{5000, 5000});
        return w();
    }
    QByteArray cache() const { return readFile(app.file(QStringLiteral("Dravonel/ku/Ku.txt"))); }
};

} // namespace

class TestCatalogWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The start-up download fills the lists and captions and is cached; our version asks nothing.
    void startUpDownloadAndLinks() {
        Fixture f;
        MainWindow& w = f.start();
        QCOMPARE(f.platform.progressLabels.size(), 1);
        QCOMPARE(f.platform.messageTexts(), QStringList());
        QCOMPARE(listed(w, "List2"), Libraries);
        QCOMPARE(child<QLabel>(w, "Label51")->text(), QStringLiteral("最新版本：V1.03版"));
        QCOMPARE(child<QLabel>(w, "Label52")->text(), QStringLiteral("更新日期：2025年1月5日"));
        QCOMPARE(child<QLabel>(w, "Label18")->text(), QStringLiteral("欢迎使用"));
        // The notice scrolls by its real width.
        QCOMPARE(child<QLabel>(w, "Label18")->width(), child<QLabel>(w, "Label18")->sizeHint().width());
        QCOMPARE(child<QLabel>(w, "Label20")->text(), QStringLiteral("库更新时间:2025年1月4日"));
        QVERIFY(!child<QLabel>(w, "Label1")->isVisible());
        QVERIFY(!child<QLabel>(w, "Label2")->isVisible());
        QCOMPARE(f.cache(), catalogBytes());

        const QList<std::pair<const char*, QString>> links{
            {"Label18", ProgramPage},
            {"Command20", Site + QStringLiteral("/?p=343")},
            {"Label5", Site + QStringLiteral("/")},
            {"Label21", QStringLiteral("https://video.example.org/tutorial")},
            {"Label11", QStringLiteral("https://chat.example.org/invite")}};
        for (const auto& [control, page] : links) {
            f.platform.clear();
            press(w, control);
            QCOMPARE(f.platform.opened, QStringList{page});
        }
        // A site row opens its checked address (tst_catalog refuses others), by a double click or Enter.
        f.platform.clear();
        auto* sites = child<QListView>(w, "List5");
        press(w, "Command28");
        const QString site = QStringLiteral("示例网站[https://example.com/]");
        clickRow(sites, site);
        QTest::mouseDClick(sites->viewport(), Qt::LeftButton, {},
                           sites->visualRect(rowOf(sites, site)).center());
        QTest::keyClick(sites, Qt::Key_Return);
        QCOMPARE(f.platform.opened, QStringList(2, QStringLiteral("https://example.com/")));
    }

    // A failed download or refresh leaves the cache and the lists; both work again once the server is back.
    void failedUpdateKeepsTheCache() {
        Fixture f;
        MainWindow& w = f.start();
        const QByteArray cache = f.cache();
        const auto failed = [&](const QString& message) {
            QCOMPARE(f.platform.messageTexts(), QStringList{message});
            QCOMPARE(f.platform.messages.first().icon, Platform::Icon::Critical);
            QVERIFY(child<QLabel>(w, "Label2")->isVisible());
            QCOMPARE(f.cache(), cache);
            QCOMPARE(listed(w, "List2"), Libraries);
        };
        // The download, as the retry label runs it, reads the server address anew: a 404 page.
        f.configure(f.server.baseUrl(QStringLiteral("status/404")));
        f.platform.clear();
        press(w, "Label2");
        failed(DownloadFailed);
        // The refresh reuses the address the download set and names no parsing.
        child<QLabel>(w, "Label2")->hide();
        f.platform.clear();
        press(w, "wangluoku");
        failed(UpdateFailed);

        // Back, three versions: one question, about the last one that is not ours.
        const QByteArray newer =
            catalogBytes(QStringLiteral("版本号：1.04\r\n版本号：1.05\r\n版本号：1.03\r\n"),
                         QStringLiteral("[DHT11] \r\n库名=温湿度\r\n"));
        f.serve(newer);
        f.configure(f.server.baseUrl());
        f.platform.clear();
        f.platform.answers = {Platform::Answer::Yes, Platform::Answer::No};
        press(w, "Label2");
        QVERIFY(!child<QLabel>(w, "Label2")->isVisible());
        press(w, "wangluoku");
        QCOMPARE(f.platform.messageTexts(),
                 (QStringList{prompt(QStringLiteral("1.05")), prompt(QStringLiteral("1.05")),
                              QStringLiteral("库列表已更新为最新版！")}));
        QCOMPARE(f.platform.messages.first().icon, Platform::Icon::Exclamation);
        QCOMPARE(f.platform.messages.first().buttons, Platform::Buttons::YesNo);
        QCOMPARE(f.platform.messages.last().icon, Platform::Icon::Information);
        QCOMPARE(f.platform.opened, QStringList{ProgramPage});
        QCOMPARE(child<QLabel>(w, "Label51")->text(), QStringLiteral("最新版本：V1.03版"));
        QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("最新版本为1.05版,点击下载"));
        QCOMPARE(listed(w, "List2"), Libraries + QStringList{QStringLiteral("DHT11")});
        QCOMPARE(listed(w, "List5").size(), 1);
        QCOMPARE(f.cache(), newer);
        press(w, "Label1");
        QCOMPARE(f.platform.opened, QStringList(2, ProgramPage));
    }

    // Catalog text is plain text, even a 1 MB line: no picture is read from a path it names (a FIFO
    // would block).
    void hostileText() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
#ifndef Q_OS_WIN // Windows has no FIFO: there the path names nothing
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
        const QString text =
            QStringLiteral("<img src='file://") + fifo + "'>" + QStringLiteral("<i>").repeated(350000);
        Fixture f;
        f.platform.answers = {Platform::Answer::No};
        MainWindow& w = f.start(gbk::encode(
            QStringLiteral("版本号：%1\r\n软件更新日期：%1\r\n公告：%1\r\n库更新：%1\r\n[%1] \r\n")
                .replace(QStringLiteral("%1"), text)));
        QCOMPARE(f.platform.messageTexts(), QStringList{prompt(text)});
        const QList<std::pair<const char*, QString>> shown{
            {"Label18", text},
            {"Label20", QStringLiteral("库更新时间:") + text},
            {"Label51", QStringLiteral("最新版本：V") + text + "版"},
            {"Label52", QStringLiteral("更新日期：") + text},
            {"Label1", QStringLiteral("最新版本为") + text + "版,点击下载"}};
        for (const auto& [label, caption] : shown) {
            QCOMPARE(child<QLabel>(w, label)->text(), caption);
            QCOMPARE(child<QLabel>(w, label)->textFormat(), Qt::PlainText);
        }
        QCOMPARE(listed(w, "List2"), QStringList{text});
        w.grab(); // paints every label, as the first showing of the window does
    }
};

QTEST_MAIN(TestCatalogWindow)
#include "tst_catalogwindow.moc"
