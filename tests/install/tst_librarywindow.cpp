#include "AppWindow.h"
#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "settings/Gbk.h"
#include "settings/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

const QString kInstalled = QStringLiteral("安装成功");
const QString kOpenHost = QStringLiteral("? 是否打开Quenra？");
const QString kDownloadFailed = QStringLiteral("! 库文件下载失败！请检查网络后重试！错误代码：");
const QString kBadName =
    QStringLiteral("库名【%1】含有不能用作文件名的字符（/ \\ : * ? \" < > | 或控制字符），或以点或空格结尾，"
                   "或是系统保留的设备名（CON、PRN、AUX、NUL、COM1-COM9、LPT1-LPT9），无法使用！");
const QString kRoot = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty");

QString confirmText(const QString& name) {
    return "? 是否确定将【" + name + QStringLiteral("】加入到【Uno】库中？");
}

// The package of library `name` as it is installed; entry names in GBK, or UTF-8 with the mark.
QByteArray library(const QString& name, bool gbkNames = false) {
    const auto entry = [&](const QString& n) {
        return gbkNames ? gbk::encode(name + '/' + n) : (name + '/' + n).toUtf8();
    };
    return ZipBuilder()
        .folder(entry(QString()))
        .file(entry(name + ".xml"), "<xml/>", !gbkNames)
        .file(entry(QStringLiteral("examples/示例.qnp")), "<xml/>", !gbkNames)
        .bytes();
}

// A window on `board` of a host installation below the application folder, with the catalog of
// `base`.
struct Window : AppWindow {
    Window(const QString& base, const QString& board, int stallMs) {
        app.writeConfig({"fuwuqi=" + base, "quenra=" + exe(), "Kuliebiao=" + board});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        NetTimeouts timeouts = app.context(&platform).timeouts;
        timeouts.stallMs = stallMs;
        start(timeouts);
        platform.clear();
    }
    QString exe() const { return app.file(QStringLiteral("host/Quenra.exe")); }
    QString root() const { return app.file(kRoot); }
    QString cached(const QString& name) const { return app.file("Dravonel/ku/Wenjian/" + name + ".zip"); }
    void writeReadme(const QString& library, const QString& version) const {
        app.writeGbk(kRoot + '/' + library + "/readme.txt",
                     '[' + library + "]\r\n库名=" + library + "\r\n库版本=" + version + "\r\n");
    }
    void click(QListWidget* list, const QString& text) const {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        list->setCurrentItem(found.first());
    }
    // Which action buttons are shown: i install, r reinstall, u update, o the five open buttons.
    QString buttons() const {
        const auto letter = [](const QPushButton* b, const char* l) {
            return QString(b->isVisible() ? l : "");
        };
        const QList<const QPushButton*> open{
            child<QPushButton>(*window, "Command101"), child<QPushButton>(*window, "Command102"),
            child<QPushButton>(*window, "Command200"), child<QPushButton>(*window, "Command201"),
            child<QPushButton>(*window, "Command202")};
        const auto opens = std::ranges::count_if(open, &QWidget::isVisible);
        return letter(child<QPushButton>(*window, "Command13"), "i") +
               letter(child<QPushButton>(*window, "Command6"), "r") +
               letter(child<QPushButton>(*window, "Command19"), "u") +
               (opens == 5   ? "o"
                : opens == 0 ? ""
                             : "<some open buttons>");
    }
};

} // namespace

class TestLibraryWindow final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir served_;
    std::unique_ptr<TestServer> server_;

    std::unique_ptr<Window> open(const QString& board = QStringLiteral("Uno"), int stallMs = 3000) const {
        auto s = std::make_unique<Window>(server_->baseUrl(), board, stallMs);
        server_->clearLog();
        return s;
    }

private Q_SLOTS:
    void initTestCase() {
        // Library headers carry one trailing character, as the server writes them.
        writeFile(served_.filePath(QStringLiteral("KU.txt")),
                  gbk::encode(QStringLiteral(
                      "公告：测试\r\n[AHT20] \r\n库名=AHT20温湿度传感器\r\n作者=张三\r\n库版本=1.2\r\n"
                      "适用板卡=Arduino Uno\r\n更新日期=2024-03-01\r\n联系方式=QQ 12345\r\n"
                      "网址=https://example.com/aht20\r\n库简介=读取温度和湿度\r\n"
                      "[NoName] \r\n作者=李四\r\n库版本=0.1\r\n[Servo Motor] \r\n库名=舵机\r\n"
                      "[RGB灯带] \r\n库名=RGB灯带\r\n[Missing] \r\n库名=没有包\r\n[Bad] \r\n")));
        for (const QString name : {"AHT20", "Servo Motor"}) {
            writeFile(served_.filePath(name + ".zip"), library(name));
        }
        writeFile(served_.filePath(QStringLiteral("RGB灯带.zip")), library(QStringLiteral("RGB灯带"), true));
        writeFile(served_.filePath(QStringLiteral("Bad.zip")),
                  ZipBuilder().file("Bad/Bad.xml", "<xml/>").file("../../../../evil.txt", "x").bytes());
        server_ = std::make_unique<TestServer>(served_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }
    void cleanupTestCase() { server_.reset(); }

    // Text11 and the buttons for each case, read through the files: the catalog cache and the
    // installed description file.
    void details_data() {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("readme"); // the installed version; empty: no description file
        QTest::addColumn<QString>("lines");  // joined by "|"
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("caption"); // the local caption: a List3 row
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("hostFile");
        const auto row = [](const char* tag, const QString& library, const QString& readme,
                            const QString& lines, const QString& buttons,
                            const QString& caption = "网络库信息", const QString& board = "Uno",
                            const QString& hostFile = "Quenra.exe") {
            QTest::newRow(tag) << library << readme << lines << buttons << caption << board << hostFile;
        };
        const QString both = QString("库名：AHT20温湿度传感器|作者：张三|本地版本：1.2|网络库版本：1.2|"
                                     "适用板卡：Arduino Uno|更新日期：2024-03-01|联系方式：QQ 12345|"
                                     "网址：https://example.com/aht20||库简介：读取温度和湿度");
        const QString catalogOnly = QString(both).remove("本地版本：1.2|");
        row("installed and current", "AHT20", "1.2", both, "ro");
        row("1.2 against 1.20 is an update", "AHT20", "1.20",
            QString(both).replace("本地版本：1.2", "本地版本：1.20"), "uo");
        row("in the catalog only", "AHT20", "", catalogOnly, "i");
        row("installed, no board", "AHT20", "1.2", catalogOnly, "i", "网络库信息", "");
        row("installed, host file name in other case", "AHT20", "1.2", catalogOnly, "i", "网络库信息", "Uno",
            "quenra.exe");
        row("installed, not in the catalog", "MyLocalLib", "9",
            "库名：MyLocalLib|作者：|网络库版本：|更新日期：|联系方式：|网址：||库简介：", "o", "本地库信息");
        row("neither", "Ghost", "",
            "库名：Ghost|作者：|网络库版本：|适用板卡：|更新日期：|联系方式：|网址：||库简介：", "o");
        // A name that is no file name reads no description file, not even one that is there.
        row("name leading out of its folder", "../ThirdParty/AHT20", "1.2",
            "库名：../ThirdParty/AHT20|作者：|网络库版本：|适用板卡：|更新日期：|联系方式：|网址：||库简介：",
            "o");
        // A section with every key but 库名 counts as absent, yet its values are shown.
        row("catalog section without 库名", "NoName", "",
            "库名：NoName|作者：李四|网络库版本：0.1|适用板卡：|更新日期：|联系方式：|网址：||库简介：", "o");
    }
    void details() {
        QFETCH(QString, library);
        QFETCH(QString, readme);
        QFETCH(QString, lines);
        QFETCH(QString, buttons);
        QFETCH(QString, caption);
        QFETCH(QString, board);
        QFETCH(QString, hostFile);
        auto s = open(board);
        MainWindow& w = s->w();
        if (!readme.isEmpty()) {
            s->writeReadme(library, readme);
        }
        child<QLineEdit>(w, "Text8")->setText(s->app.file("host/" + hostFile));
        if (caption == QStringLiteral("本地库信息")) {
            press(w, "Combo2"); // lists the installed folders
            s->click(child<QListWidget>(w, "List3"), library);
        } else {
            if (child<QListWidget>(w, "List2")->findItems(library, Qt::MatchExactly).isEmpty()) {
                child<QListWidget>(w, "List2")->addItem(library);
            }
            s->click(child<QListWidget>(w, "List2"), library);
        }
        QCOMPARE(child<QGroupBox>(w, "Frame7")->title(), caption);
        QVERIFY(child<QPlainTextEdit>(w, "Text11")->isVisible());
        QCOMPARE(child<QPlainTextEdit>(w, "Text11")->toPlainText(), lines.replace('|', '\n'));
        QCOMPARE(s->buttons(), buttons);
        QVERIFY(s->platform.messages.isEmpty());
    }

    // A click, also on the row already selected, reads the description file and the catalog again,
    // even a catalog edited to the same size.
    void detailsReadAnewAtEveryClick() {
        auto s = open();
        MainWindow& w = s->w();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.2"));
        s->click(child<QListWidget>(w, "List2"), QStringLiteral("AHT20"));
        QCOMPARE(s->buttons(), QStringLiteral("ro"));
        const QPoint at = child<QListWidget>(w, "List2")
                              ->visualItemRect(child<QListWidget>(w, "List2")->currentItem())
                              .center();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.4"));
        QTest::mouseClick(child<QListWidget>(w, "List2")->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(s->buttons(), QStringLiteral("uo"));
        const QString catalog = s->app.file(QStringLiteral("Dravonel/ku/Ku.txt"));
        writeFile(catalog, readFile(catalog).replace("=1.2", "=1.4"));
        QFile file(catalog);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        file.close();
        QTest::mouseClick(child<QListWidget>(w, "List2")->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(s->buttons(), QStringLiteral("ro"));
    }

    // The library root opens in the file manager; a library's folders and files open for viewing
    // only, never run. A catalog name that is no plain file name opens nothing.
    void openButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("suffix"); // empty: the name is refused
        const std::pair<const char*, const char*> rows[]{{"Command21", ""},
                                                         {"Command101", "/AHT20/examples/"},
                                                         {"Command102", "/AHT20"},
                                                         {"Command200", "/AHT20/AHT20.xml"},
                                                         {"Command201", "/AHT20/block/AHT20.js"},
                                                         {"Command202", "/AHT20/generator/AHT20.js"}};
        for (const auto& [button, suffix] : rows) {
            QTest::newRow(button) << QString::fromLatin1(button) << "AHT20" << QString::fromLatin1(suffix);
        }
        for (const char* b : {"Command101", "Command102", "Command200", "Command201", "Command202"}) {
            QTest::addRow("%s, ../../../../tmp/payload", b) << b << "../../../../tmp/payload"
                                                            << "";
        }
        QTest::newRow("Command201, CON") << "Command201"
                                         << "con"
                                         << "";
    }
    void openButtons() {
        QFETCH(QString, button);
        QFETCH(QString, library);
        QFETCH(QString, suffix);
        auto s = open();
        child<QListWidget>(s->w(), "List2")->addItem(library);
        s->click(child<QListWidget>(s->w(), "List2"),
                 library); // not installed: the paths are opened all the same
        s->w().findChild<QPushButton*>(button)->click();
        const bool folder = button == QLatin1String("Command21");
        QCOMPARE(s->platform.opened, QStringList(folder ? 1 : 0, s->root()));
        if (suffix.isEmpty() && !folder) {
            QVERIFY(s->platform.viewed.isEmpty());
            QCOMPARE(shown(s->platform), QStringList{"! " + kBadName.arg(library)});
            return;
        }
        QCOMPARE(s->platform.viewed, QStringList(folder ? 0 : 1, s->root() + suffix));
        QVERIFY(s->platform.messages.isEmpty());
    }

    void buttonsNeedABoard_data() {
        QTest::addColumn<QString>("button");
        for (const char* b : {"Command21", "Command13", "Command19", "Command6"}) {
            QTest::newRow(b) << QString::fromLatin1(b);
        }
    }
    void buttonsNeedABoard() {
        QFETCH(QString, button);
        auto s = open(QString());
        s->click(child<QListWidget>(s->w(), "List2"), QStringLiteral("AHT20"));
        s->w().findChild<QPushButton*>(button)->click();
        QCOMPARE(shown(s->platform), QStringList{QStringLiteral("x 请先选择对应板块后重试！！")});
        QVERIFY(s->platform.opened.isEmpty());
        QVERIFY(server_->requestLog().isEmpty());
    }

    // After the download: the question, then unpacking into the library root. A cancelled question
    // or a refused package changes nothing below the host but the package cache.
    void installs_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("outcome");  // installed, cancelled, refused, unpack cancelled or panel
        QTest::addColumn<QString>("hostFile"); // the host path's file name; <relative>, <missing>
        QTest::addColumn<bool>("fromLocal");   // name clicked in List3, after AHT20 in List2
        const auto row = [](const char* tag, const char* button, const QString& name,
                            const QString& requested, const QString& outcome,
                            const QString& hostFile = "Quenra.exe", bool fromLocal = false) {
            QTest::newRow(tag) << QString::fromLatin1(button) << name << requested << outcome << hostFile
                               << fromLocal;
        };
        row("install", "Command13", "AHT20", "/AHT20.zip", "installed");
        row("update, name with a space", "Command19", "Servo Motor", "/Servo%20Motor.zip", "installed");
        row("update of the library shown, clicked in List3", "Command19", "Servo Motor", "/Servo%20Motor.zip",
            "installed", "Quenra.exe", true);
        row("reinstall, Chinese name, GBK entries", "Command6", "RGB灯带", "/RGB%E7%81%AF%E5%B8%A6.zip",
            "installed");
        row("cancelled", "Command13", "AHT20", "/AHT20.zip", "cancelled");
        row("cancelled while unpacking", "Command13", "AHT20", "/AHT20.zip", "unpack cancelled");
        row("entries leaving the root", "Command13", "Bad", "/Bad.zip", "refused");
        row("host file name in other case", "Command13", "AHT20", "", "panel", "quenra.exe");
        row("relative host path", "Command13", "AHT20", "", "panel", "<relative>");
        row("no Quenra.exe at the host path", "Command6", "AHT20", "", "panel", "<missing>");
    }
    void installs() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, requested);
        QFETCH(QString, outcome);
        QFETCH(QString, hostFile);
        QFETCH(bool, fromLocal);
        auto s = open();
        s->app.writeFile(kRoot + "/Other/keep.txt", "other");
        s->app.writeFile("host/" + hostFile, "program");
        QString hostPath = s->app.file("host/" + hostFile);
        if (hostFile == QLatin1String("<relative>")) {
            hostPath = QStringLiteral("host/Quenra.exe");
        } else if (hostFile == QLatin1String("<missing>")) {
            hostPath = s->app.file(QStringLiteral("gone/Quenra.exe"));
        }
        child<QLineEdit>(s->w(), "Text8")->setText(hostPath);
        s->app.writeFile("Dravonel/ku/Wenjian/" + name + ".zip", "stale"); // replaced by the download
        const QMap<QString, QByteArray> host = snapshot(s->app.file(QStringLiteral("host")));
        const bool panel = outcome == QLatin1String("panel");
        QStringList messages;
        if (!panel) {
            messages << confirmText(name);
        }
        if (outcome == QLatin1String("unpack cancelled")) {
            // The question comes after the download: the unpacking's indicator is the one cancelled.
            s->platform.onMessage = [p = &s->platform](const Platform::Message&) {
                p->cancelOnFirstProgress = true;
                return std::optional<Platform::Answer>(Platform::Answer::Ok);
            };
        } else if (outcome != QLatin1String("cancelled") && !panel) {
            s->platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok};
            messages << (outcome == QLatin1String("installed") ? QStringList{kInstalled, kOpenHost}
                                                               : QStringList{QStringLiteral("! 解压失败")});
        }
        s->click(child<QListWidget>(s->w(), "List2"), fromLocal ? QStringLiteral("AHT20") : name);
        if (fromLocal) {
            s->app.writeFile(kRoot + '/' + name + '/' + name + ".xml", "<xml/>");
            s->w().findChild<QAction*>("bendiku")->trigger();
            s->click(child<QListWidget>(s->w(), "List3"), name);
        }
        s->w().findChild<QPushButton*>(button)->click();
        QCOMPARE(shown(s->platform), messages);
        QCOMPARE(server_->requestLog(), requested.isEmpty() ? QStringList{} : QStringList{requested});
        QCOMPARE(child<QGroupBox>(s->w(), "Frame9")->isVisible(), panel);
        const bool unpacked = outcome != QLatin1String("cancelled") && !panel;
        const QStringList labels{QStringLiteral("正在下载库文件……"), QStringLiteral("正在解压……")};
        QCOMPARE(s->platform.progressLabels, labels.first(panel ? 0 : unpacked ? 2 : 1));
        QCOMPARE(readFile(s->cached(name)),
                 panel ? QByteArray("stale") : readFile(served_.filePath(name + ".zip")));
        QCOMPARE(
            QDir(s->app.file(QStringLiteral("Dravonel/ku/Wenjian"))).entryList(QDir::Files | QDir::Hidden),
            QStringList{name + ".zip"}); // nothing left beside the package
        const bool installed = outcome == QLatin1String("installed");
        if (installed) {
            QCOMPARE(snapshot(s->root()), (QMap<QString, QByteArray>{{name, "<dir>"},
                                                                     {name + '/' + name + ".xml", "<xml/>"},
                                                                     {name + "/examples", "<dir>"},
                                                                     {name + "/examples/示例.qnp", "<xml/>"},
                                                                     {"Other", "<dir>"},
                                                                     {"Other/keep.txt", "other"}}));
        } else {
            QCOMPARE(snapshot(s->app.file(QStringLiteral("host"))), host);
        }
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/evil.txt")));
        QVERIFY(!QFileInfo::exists(QDir::currentPath() + QStringLiteral("/host")));
        QCOMPARE(child<QListWidget>(s->w(), "List3")->findItems(name, Qt::MatchExactly).isEmpty(),
                 !installed);
        QCOMPARE(s->platform.started, QStringList(installed ? 1 : 0, s->exe()));
    }

    // A download that fails shows one message, asks nothing and leaves the package cache, like
    // everything else, as it was: an earlier package stays, no file appears.
    void downloadFailures_data() {
        QTest::addColumn<QString>("mode"); // the server's misbehaviour, or a special case in <>
        QTest::addColumn<QString>("name"); // empty: nothing selected
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("requested"); // {"*"}: not checked
        const auto row = [](const char* tag, const QString& mode, const QString& name, const QString& message,
                            const QStringList& requested = {"*"}) {
            QTest::newRow(tag) << mode << name << message << requested;
        };
        const QString notFound = kDownloadFailed + "-2146697211";
        row("missing package", "", "Missing", notFound, {"/Missing.zip"});
        row("nothing selected asks for nothing", "", "", "! " + kBadName.arg(""), {});
        row("500", "status/500", "AHT20", kDownloadFailed + "-2146697208");
        row("cut-off body", "cut", "AHT20", kDownloadFailed + "-2146697208");
        row("stalled", "stall", "AHT20", kDownloadFailed + "-2146697205");
        row("refused", "<refused>", "AHT20", kDownloadFailed + "-2146697212");
        row("cancelled", "<cancel>", "AHT20", kDownloadFailed + "-2147467260");
        row("no cache folder", "<no cache>", "AHT20", kDownloadFailed + "-2147024893");
        row("unsafe name", "", "../../evil", "! " + kBadName.arg("../../evil"), {});
        row("device name", "", "Aux.zip", "! " + kBadName.arg("Aux.zip"), {});
    }
    void downloadFailures() {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QStringList, requested);
        auto s = open(QStringLiteral("Uno"), 800);
        QString base = server_->baseUrl(mode.startsWith('<') ? QString() : mode);
        if (mode == QLatin1String("<refused>")) {
            base = QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort());
        }
        Settings(s->app.folder()).write(QStringLiteral("fuwuqi"), base);
        s->platform.cancelOnFirstProgress = mode == QLatin1String("<cancel>");
        if (name.isEmpty()) {
            child<QListWidget>(s->w(), "List2")->setCurrentRow(-1);
            child<QListWidget>(s->w(), "List2")->clearSelection();
        } else {
            child<QListWidget>(s->w(), "List2")->addItem(name); // a second row of the same name does no harm
            s->click(child<QListWidget>(s->w(), "List2"), name);
        }
        const bool noCache = mode == QLatin1String("<no cache>");
        if (noCache) {
            QVERIFY(QDir(s->app.file(QStringLiteral("Dravonel/ku/Wenjian"))).removeRecursively());
        }
        // With an earlier package in the cache, and without one.
        for (const bool earlier : noCache ? QList<bool>{false} : QList<bool>{true, false}) {
            if (earlier) {
                s->app.writeFile("Dravonel/ku/Wenjian/" + name + ".zip", "earlier");
            } else {
                QFile::remove(s->cached(name));
            }
            const QMap<QString, QByteArray> before = snapshot(s->app.path());
            s->platform.clear();
            server_->clearLog();
            s->platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok};
            child<QPushButton>(s->w(), "Command13")->click();
            QCOMPARE(shown(s->platform), QStringList{message});
            if (requested != QStringList{QStringLiteral("*")}) {
                QCOMPARE(server_->requestLog(), requested);
            }
            QCOMPARE(snapshot(s->app.path()), before);
        }
    }

    // The library root holds bar (bar.xml, readme.txt) and a file named blocked; the chosen .xml names
    // its folder, copied into the root under its own name.
    void localInstall_data() {
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<int>("oks");        // answers before the default Cancel
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("files"); // below the library root afterwards
        const QString wrongXml = "x 库文件选择错误，请选择库文件夹下的.xml文件！";
        const QStringList before{"bar", "bar/bar.xml", "bar/readme.txt", "blocked"};
        const QStringList installed{confirmText("foo"), kInstalled, kOpenHost};
        const auto row = [](const char* tag, const QString& chosen, int oks, const QStringList& messages,
                            const QStringList& files) {
            QTest::newRow(tag) << chosen << oks << messages << files;
        };
        row("upper-case suffix", "lib/bar/foo.XML", 3, {wrongXml}, before);
        row("dialog cancelled", "", 3, {wrongXml}, before);
        row("foo.xml in folder bar", "lib/bar/foo.xml", 3, installed,
            {"bar", "bar/bar.xml", "bar/block", "bar/block/bar.js", "bar/foo.xml", "bar/readme.txt",
             "blocked"});
        row("question cancelled", "lib/bar/foo.xml", 0, {confirmText("foo")}, before);
        row("library already in the root", kRoot + "/bar/bar.xml", 2,
            {confirmText("bar"), kInstalled, kOpenHost}, before);
        const QString copyFailed = "! 库文件夹复制失败，库未安装！请检查文件夹权限后重试！";
        row("copy fails", "lib/blocked/foo.xml", 2, {confirmText("foo"), copyFailed}, before);
        row("folder reached through a link keeps the chosen name", "lib/alias/foo.xml", 3, installed,
            QStringList{"alias", "alias/block", "alias/block/bar.js", "alias/foo.xml"} + before);
        row("link inside to inside copied as its target", "lib/linked/foo.xml", 3, installed,
            before + QStringList{"linked", "linked/foo.xml", "linked/real.txt", "linked/same.txt"});
        row("link leading out stops the copy", "lib/outward/foo.xml", 2, {confirmText("foo"), copyFailed},
            before);
    }
    void localInstall() {
        QFETCH(QString, chosen);
        QFETCH(int, oks);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, files);
        auto s = open();
        s->app.writeFile(QStringLiteral("lib/bar/foo.xml"), "<xml/>");
        s->app.writeFile(QStringLiteral("lib/bar/block/bar.js"), "js");
        s->app.writeFile(QStringLiteral("lib/blocked/foo.xml"), "<xml/>");
        s->writeReadme(QStringLiteral("bar"), QStringLiteral("1"));
        s->app.writeFile(kRoot + QStringLiteral("/bar/bar.xml"), "<xml/>");
        s->app.writeFile(kRoot + QStringLiteral("/blocked"), "in the way");
        s->app.writeFile(QStringLiteral("lib/linked/foo.xml"), "<xml/>");
        s->app.writeFile(QStringLiteral("lib/linked/real.txt"), "real");
        QVERIFY(QFile::link(QStringLiteral("real.txt"), s->app.file(QStringLiteral("lib/linked/same.txt"))));
        s->app.writeFile(QStringLiteral("lib/outward/foo.xml"), "<xml/>");
        QVERIFY(QFile::link(QStringLiteral("../bar/foo.xml"),
                            s->app.file(QStringLiteral("lib/outward/out.xml"))));
        QVERIFY(QFile::link(QStringLiteral("bar"), s->app.file(QStringLiteral("lib/alias"))));
        if (!chosen.isEmpty()) {
            s->platform.fileAnswers << s->app.file(chosen);
        }
        s->platform.answers = QList<Platform::Answer>(oks, Platform::Answer::Ok);
        child<QPushButton>(s->w(), "Command14")->click();
        QCOMPARE(s->platform.fileDialogs.value(0).first, QStringLiteral("(*.xml)|*.xml"));
        QCOMPARE(shown(s->platform), messages);
        QCOMPARE(snapshot(s->root()).keys(), files);
        QCOMPARE(readFile(s->root() + QStringLiteral("/blocked")), QByteArray("in the way"));
        const bool installed = messages.contains(kInstalled);
        QCOMPARE(
            child<QListWidget>(s->w(), "List3")->findItems(QStringLiteral("bar"), Qt::MatchExactly).isEmpty(),
            !installed);
        QCOMPARE(s->platform.started, QStringList(installed && oks == 3 ? 1 : 0, s->exe()));
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
