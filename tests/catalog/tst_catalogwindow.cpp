#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "app/ClickableLabel.h"
#include "app/Form1.h"
#include "app/Twips.h"
#include "settings/Gbk.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include "app/TextHolder.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString DownloadFailed = QStringLiteral("库文件更新解析失败！请检查网络后重试！");
const QString UpdateFailed = QStringLiteral("库文件更新失败！请检查网络后重试！");
const QString UpToDate = QStringLiteral("库列表已更新为最新版！");
const QString Site = QStringLiteral("https://maker.example.org");

QString prompt(const QString& version) {
    return QStringLiteral("当前版本过低！最新版本为V") + version + QStringLiteral("版，是否前往下载最新版？");
}

// The handbook's sample catalog, GBK with CR LF, with the given version lines and extra libraries.
QByteArray catalogBytes(const QStringList& versions = {QStringLiteral("1.03")},
                        const QStringList& moreLibraries = {}) {
    QStringList lines;
    for (const QString& v : versions) {
        lines << QStringLiteral("版本号：") + v;
    }
    lines << QStringLiteral("软件更新日期：2025年1月5日") << QStringLiteral("公告：欢迎使用")
          << QStringLiteral("库更新：2025年1月4日")
          << QStringLiteral("分享网址：示例网站[https://example.com/]")
          << QStringLiteral("分享示例：流水灯[led]") << QString() << QStringLiteral("[AHT20] ")
          << QStringLiteral("库名=AHT20温湿度传感器") << QStringLiteral("库版本=1.2")
          << QStringLiteral("[OLED] ") << QStringLiteral("库名=OLED显示屏");
    for (const QString& name : moreLibraries) {
        lines << QLatin1Char('[') + name + QStringLiteral("] ") << QStringLiteral("库名=") + name;
    }
    return gbk::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

// One window started against one server folder.
struct Fixture {
    QTemporaryDir serverRoot;
    std::unique_ptr<TestServer> server;
    std::unique_ptr<TempAppFolder> app;
    FakePlatform platform;
    std::unique_ptr<Form1> window;

    explicit Fixture(const QByteArray& catalog = catalogBytes()) {
        writeFile(serverRoot.filePath(QStringLiteral("KU.txt")), catalog);
        server = std::make_unique<TestServer>(serverRoot.path());
        app = std::make_unique<TempAppFolder>();
    }
    QStringList config(const QString& base, const QString& version = QStringLiteral("1.03")) const {
        return {QStringLiteral("banben=") + version,
                QStringLiteral("fuwuqi=") + base,
                QStringLiteral("guanwang=") + Site,
                QStringLiteral("shipin=https://video.example.org/tutorial"),
                QStringLiteral("qunliao=https://chat.example.org/invite"),
                QStringLiteral("qunhao=123456789")};
    }
    // Short time-outs only where a test waits for one: a loaded machine may take a while to answer.
    NetTimeouts timeouts{5000, 5000};
    Form1& start(const QString& base, const QString& version = QStringLiteral("1.03")) {
        app->writeConfig(config(base, version));
        AppContext context = app->context(&platform);
        context.timeouts = timeouts;
        window = std::make_unique<Form1>(context);
        window->startUp();
        window->show();
        return *window;
    }
    QString cachePath() const { return app->file(QStringLiteral("Dravonel/ku/Ku.txt")); }
    void serve(const QByteArray& catalog) {
        writeFile(serverRoot.filePath(QStringLiteral("KU.txt")), catalog);
    }
};

QString refusedBase() {
    return QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort());
}

} // namespace

class TestCatalogWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpDownloadFillsTheWindow() {
        Fixture f;
        QVERIFY2(f.server->isRunning(), qPrintable(f.server->errorText()));
        Form1& w = f.start(f.server->baseUrl());
        QCOMPARE(f.platform.messageTexts(), QStringList());
        QCOMPARE(w.CatalogUrl, f.server->baseUrl() + QStringLiteral("KU.txt"));
        QCOMPARE(rows(w.List2), (QStringList{"AHT20", "OLED"}));
        QCOMPARE(rows(w.List5), QStringList{QStringLiteral("示例网站[https://example.com/]")});
        QCOMPARE(rows(w.List6), QStringList{QStringLiteral("流水灯[led]")});
        QCOMPARE(w.LatestVersion, QStringLiteral("1.03"));
        QCOMPARE(w.Label51->text(), QStringLiteral("最新版本：V1.03版"));
        QCOMPARE(w.Label52->text(), QStringLiteral("更新日期：2025年1月5日"));
        QCOMPARE(w.Label18->text(), QStringLiteral("欢迎使用"));
        QCOMPARE(w.Label18->width(), w.Label18->sizeHint().width());
        QCOMPARE(w.Label20->text(), QStringLiteral("库更新时间:2025年1月4日"));
        QVERIFY(!w.Label2->isVisible());
        QVERIFY(!w.Label1->isVisible());
        QCOMPARE(readFile(f.cachePath()), catalogBytes());
        QCOMPARE(gbk::encode(w.Text12->toPlainText()), catalogBytes());
        QCOMPARE(f.platform.progressLabels.size(), 1);
    }

    void versionPrompt_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("yes opens the program page")
            << int(Platform::Answer::Yes) << QStringList{Site + QStringLiteral("/?p=333")};
        QTest::newRow("no opens nothing") << int(Platform::Answer::No) << QStringList{};
    }
    void versionPrompt() {
        QFETCH(int, answer);
        QFETCH(QStringList, opened);
        Fixture f;
        f.platform.answers = {Platform::Answer(answer)};
        Form1& w = f.start(f.server->baseUrl(), QStringLiteral("1.02"));
        QCOMPARE(f.platform.messages.size(), 1);
        const Platform::Message& m = f.platform.messages.first();
        QCOMPARE(m.text, prompt(QStringLiteral("1.03")));
        QCOMPARE(m.title, QStringLiteral("Quenra小助手"));
        QCOMPARE(m.icon, Platform::Icon::Exclamation);
        QCOMPARE(m.buttons, Platform::Buttons::YesNo);
        QCOMPARE(f.platform.opened, opened);
        QVERIFY(w.Label1->isVisible());
        QCOMPARE(w.Label1->text(), QStringLiteral("最新版本为1.03版,点击下载"));
        QCOMPARE(w.Label1->y(), twips::px(240));
        f.platform.clear();
        QTest::mouseClick(w.Label1, Qt::LeftButton);
        QCOMPARE(f.platform.opened, QStringList{Site + QStringLiteral("/?p=333")});
    }

    void failedUpdateKeepsTheCache_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("downloadMessage");
        QTest::addColumn<bool>("bodyKept");
        QTest::newRow("404 page with the marker") << "status/404" << DownloadFailed << false;
        QTest::newRow("500") << "status/500" << DownloadFailed << false;
        QTest::newRow("connection refused") << "<refused>" << DownloadFailed << false;
        QTest::newRow("stalled server") << "stall" << DownloadFailed << false;
        QTest::newRow("body cut short") << "cut" << DownloadFailed << false;
        QTest::newRow("body without the marker") << "nomarker" << UpdateFailed << true;
    }
    void failedUpdateKeepsTheCache() {
        QFETCH(QString, mode);
        QFETCH(QString, downloadMessage);
        QFETCH(bool, bodyKept);
        Fixture f;
        if (mode == QLatin1String("stall")) {
            f.timeouts = {1500, 1500};
        }
        Form1& w = f.start(f.server->baseUrl());
        const QByteArray cache = readFile(f.cachePath());
        const QString text12 = w.Text12->toPlainText();
        QCOMPARE(cache, catalogBytes());
        const QString bad = mode == QLatin1String("<refused>") ? refusedBase() : f.server->baseUrl(mode);

        // The download, as the retry label runs it, reads the server address anew.
        f.app->writeConfig(f.config(bad));
        f.platform.clear();
        w.Command9_Click();
        QCOMPARE(f.platform.messageTexts(), QStringList{downloadMessage});
        QCOMPARE(f.platform.messages.first().icon, Platform::Icon::Critical);
        QVERIFY(w.Label2->isVisible());
        QCOMPARE(readFile(f.cachePath()), cache);
        QCOMPARE(rows(w.List2), (QStringList{"AHT20", "OLED"}));
        QCOMPARE(w.Text12->toPlainText() == text12, !bodyKept);

        // The refresh reuses the address the download set and names no parsing.
        w.Label2->hide();
        f.platform.clear();
        w.wangluoku->trigger();
        QCOMPARE(f.platform.messageTexts(), QStringList{UpdateFailed});
        QCOMPARE(f.platform.messages.first().icon, Platform::Icon::Critical);
        QVERIFY(w.Label2->isVisible());
        QCOMPARE(readFile(f.cachePath()), cache);
        QCOMPARE(rows(w.List2), (QStringList{"AHT20", "OLED"}));
    }

    void cancelledDownloadFails() {
        Fixture f;
        f.platform.cancelOnFirstProgress = true;
        Form1& w = f.start(f.server->baseUrl());
        QCOMPARE(f.platform.messageTexts(), QStringList{DownloadFailed});
        QVERIFY(w.Label2->isVisible());
        QVERIFY(!QFile::exists(f.cachePath()));
        QCOMPARE(w.List2->count(), 0);
    }

    void missingCacheFolder() {
        Fixture f;
        QVERIFY(QDir(f.app->file(QStringLiteral("Dravonel/ku"))).removeRecursively());
        Form1& w = f.start(f.server->baseUrl());
        QCOMPARE(f.platform.messageTexts(), QStringList{DownloadFailed});
        QVERIFY(w.Label2->isVisible());
        f.platform.clear();
        w.Command10_Click();
        QCOMPARE(f.platform.messageTexts(), QStringList{UpdateFailed});
        QVERIFY(w.Label2->isVisible());
    }

    void retryAfterFailedStart() {
        Fixture f;
        Form1& w = f.start(f.server->baseUrl(QStringLiteral("status/404")));
        QCOMPARE(f.platform.messageTexts(), QStringList{DownloadFailed});
        QVERIFY(w.Label2->isVisible());
        QCOMPARE(w.List2->count(), 0);

        f.app->writeConfig(f.config(f.server->baseUrl()));
        f.platform.clear();
        QTest::mouseClick(w.Label2, Qt::LeftButton);
        QCOMPARE(f.platform.messageTexts(), QStringList());
        QVERIFY(!w.Label2->isVisible());
        QCOMPARE(rows(w.List2), (QStringList{"AHT20", "OLED"}));
        QCOMPARE(readFile(f.cachePath()), catalogBytes());
    }

    void refreshPromptsBeforeReporting() {
        Fixture f;
        Form1& w = f.start(f.server->baseUrl());
        QCOMPARE(f.platform.messageTexts(), QStringList());

        // The server now announces two versions and one more library.
        f.serve(catalogBytes({QStringLiteral("1.04"), QStringLiteral("1.05")}, {QStringLiteral("DHT11")}));
        f.platform.answers = {Platform::Answer::No, Platform::Answer::No};
        w.wangluoku->trigger();
        QCOMPARE(f.platform.messageTexts(),
                 (QStringList{prompt(QStringLiteral("1.04")), prompt(QStringLiteral("1.05")), UpToDate}));
        QCOMPARE(f.platform.messages.last().icon, Platform::Icon::Information);
        QCOMPARE(w.LatestVersion, QStringLiteral("1.05"));
        QCOMPARE(w.Label51->text(), QStringLiteral("最新版本：V1.05版"));
        QCOMPARE(rows(w.List2), (QStringList{"AHT20", "OLED", "DHT11"}));
        QCOMPARE(w.List5->count(), 1);
        QCOMPARE(w.List6->count(), 1);
        QCOMPARE(readFile(f.cachePath()), catalogBytes({"1.04", "1.05"}, {"DHT11"}));
    }

    void links_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("page");
        const QString program = Site + QStringLiteral("/?p=333");
        const QString home = Site + QStringLiteral("/");
        const QString chat = QStringLiteral("https://chat.example.org/invite");
        QTest::newRow("help menu") << "bangzhu" << program;
        QTest::newRow("details link") << "Label14" << program;
        QTest::newRow("notice") << "Label18" << program;
        QTest::newRow("share button") << "Command20" << Site + QStringLiteral("/?p=343");
        QTest::newRow("about: web site") << "Label9" << home;
        QTest::newRow("status strip: web site") << "Label5" << home;
        QTest::newRow("video") << "Label21"
                               << "https://video.example.org/tutorial";
        QTest::newRow("path panel: chat group") << "Label19" << chat;
        QTest::newRow("status strip: chat group") << "Label17" << chat;
        QTest::newRow("about: chat group") << "Label11" << chat;
    }
    void links() {
        QFETCH(QString, control);
        QFETCH(QString, page);
        Fixture f;
        Form1& w = f.start(refusedBase());
        f.platform.clear();
        if (auto* action = w.findChild<QAction*>(control)) {
            action->trigger();
        } else if (auto* button = w.findChild<QPushButton*>(control)) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            auto* label = w.findChild<ClickableLabel*>(control);
            QVERIFY(label);
            QTest::mouseClick(label, Qt::LeftButton);
        }
        QCOMPARE(f.platform.opened, QStringList{page});
    }

    void donationLetter() {
        Fixture f;
        Form1& w = f.start(refusedBase());
        const QStringList paragraphs{
            QStringLiteral("致亲爱的物联网爱好者们："),
            QStringLiteral(
                "大家好！首先非常感谢大家选择使用Quenra小助手，这款软件是完全免费提供给大家使用的。"),
            QStringLiteral(
                "虽然软件发布时间不长，但是热度还是挺高的，大家通过不同平台得知这个软件，下载量也很大。"),
            QStringLiteral("软件在使用过程中会产生流量费用，而这所有的流量费用一直以来都是由我个人在默默承担"
                           "着。随着使用的人数越"
                           "来越多，这笔流量费用也逐渐成了一个不小的负担（后台检测还有一些人恶意刷下载流量，"
                           "导致流量费用溢出）。"),
            QStringLiteral("我特别希望能够持续为大家提供服务，让小助手可以一直陪伴着大家，并不断完善、不断优"
                           "化。但如果长期独自承"
                           "担这流量费用，实在有些力不从心了。如果您觉得这款软件对您有帮助，也认可它给您带来"
                           "的价值，不妨考虑捐赠"
                           "一点流量费用，多少都没关系，重要的是大家的这份心意，这会帮我分担很大一部分压力，"
                           "让我可以继续支付流量"
                           "费用，从而更稳定、更长久地为大家服务下去。"),
            QStringLiteral("再次感谢大家一直以来的支持与厚爱，也期待咱们能一起让这款软件越来越好，继续为大家"
                           "的中文编程增添光彩呀！")};
        QCOMPARE(w.Label24->text(), paragraphs.join(QStringLiteral("\r\n\r\n")));
        QVERIFY(!w.Image1->pixmap().isNull());
    }

    void siteRowDoubleClick() {
        Fixture f;
        Form1& w = f.start(f.server->baseUrl());
        w.List5->addItem(QStringLiteral("本地[file:///etc/passwd]"));
        QTest::mouseClick(w.Command28, Qt::LeftButton);
        QVERIFY(w.Frame13->isVisible());
        f.platform.clear();
        for (int row = 0; row < w.List5->count(); ++row) {
            const QRect r = w.List5->visualItemRect(w.List5->item(row));
            QTest::mouseClick(w.List5->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(w.List5->viewport(), Qt::LeftButton, {}, r.center());
        }
        QCOMPARE(f.platform.opened, QStringList{QStringLiteral("https://example.com/")});
    }
};

QTEST_MAIN(TestCatalogWindow)
#include "tst_catalogwindow.moc"
