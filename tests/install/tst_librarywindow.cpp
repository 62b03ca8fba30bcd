#include "AppWindow.h"
#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/RowsModel.h"
#include "settings/Gbk.h"
#include "settings/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
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
    Window(const QString& base, const QString& board) {
        app.writeConfig({"fuwuqi=" + base, "quenra=" + exe(), "Kuliebiao=" + board});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        start();
        platform.clear();
    }
    QString exe() const { return app.file(QStringLiteral("host/Quenra.exe")); }
    QString root() const { return app.file(kRoot); }
    QString cached(const QString& name) const { return app.file("Dravonel/ku/Wenjian/" + name + ".zip"); }
    void writeReadme(const QString& library, const QString& version) const {
        app.writeGbk(kRoot + '/' + library + "/readme.txt",
                     '[' + library + "]\r\n库名=" + library + "\r\n库版本=" + version + "\r\n");
    }
    void click(QListView* list, const QString& text) const {
        const int found = int(rows(list).indexOf(text));
        QVERIFY2(found >= 0, qPrintable(text));
        list->setCurrentIndex(list->model()->index(found, 0));
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

    std::unique_ptr<Window> open(const QString& board = QStringLiteral("Uno")) const {
        auto s = std::make_unique<Window>(server_->baseUrl(), board);
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
            s->click(child<QListView>(w, "List3"), library);
        } else {
            if (!rows(child<QListView>(w, "List2")).contains(library)) {
                controls::rowsOf(child<QListView>(w, "List2"))
                    .setRows(rows(child<QListView>(w, "List2")) << library);
            }
            s->click(child<QListView>(w, "List2"), library);
        }
        QCOMPARE(child<QGroupBox>(w, "Frame7")->title(), caption);
        QVERIFY(child<QPlainTextEdit>(w, "Text11")->isVisible());
        QCOMPARE(child<QPlainTextEdit>(w, "Text11")->toPlainText(), lines.replace('|', '\n'));
        QCOMPARE(s->buttons(), buttons);
        QVERIFY(s->platform.messages.isEmpty());
    }

    // A click, also on the row already selected, reads the description file again.
    void detailsReadAnewAtEveryClick() {
        auto s = open();
        MainWindow& w = s->w();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.2"));
        s->click(child<QListView>(w, "List2"), QStringLiteral("AHT20"));
        QCOMPARE(s->buttons(), QStringLiteral("ro"));
        const QPoint at =
            child<QListView>(w, "List2")->visualRect(child<QListView>(w, "List2")->currentIndex()).center();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.4"));
        QTest::mouseClick(child<QListView>(w, "List2")->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(s->buttons(), QStringLiteral("uo"));
    }

    // The library root opens in the file manager; a library's folders and files open for viewing
    // only, never run. A catalog name that is no plain file name opens nothing; without a board no
    // button acts.
    void openButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("want"); // "open " or "view " and a path below the root, or a message
        const std::pair<const char*, const char*> rows[]{{"Command21", "open "},
                                                         {"Command101", "view /AHT20/examples/"},
                                                         {"Command102", "view /AHT20"},
                                                         {"Command200", "view /AHT20/AHT20.xml"},
                                                         {"Command201", "view /AHT20/block/AHT20.js"},
                                                         {"Command202", "view /AHT20/generator/AHT20.js"}};
        for (const auto& [button, want] : rows) {
            QTest::newRow(button) << QString::fromLatin1(button) << "AHT20"
                                  << "Uno" << QString::fromLatin1(want);
        }
        QTest::newRow("Command201, ../../../../tmp/payload")
            << "Command201"
            << "../../../../tmp/payload"
            << "Uno"
            << "! " + kBadName.arg("../../../../tmp/payload");
        for (const char* b : {"Command21", "Command13", "Command19", "Command6"}) {
            QTest::addRow("%s, no board", b) << b << "AHT20"
                                             << ""
                                             << "x 请先选择对应板块后重试！！";
        }
    }
    void openButtons() {
        QFETCH(QString, button);
        QFETCH(QString, library);
        QFETCH(QString, board);
        QFETCH(QString, want);
        auto s = open(board);
        if (!rows(child<QListView>(s->w(), "List2")).contains(library)) {
            controls::rowsOf(child<QListView>(s->w(), "List2"))
                .setRows(rows(child<QListView>(s->w(), "List2")) << library);
        }
        s->click(child<QListView>(s->w(), "List2"), library); // not installed: opened all the same
        s->w().findChild<QPushButton*>(button)->click();
        const auto path = [&](const char* verb) {
            return want.startsWith(verb) ? QStringList{s->root() + want.mid(5)} : QStringList();
        };
        QCOMPARE(s->platform.opened, path("open "));
        QCOMPARE(s->platform.viewed, path("view "));
        QCOMPARE(shown(s->platform),
                 want.startsWith("open ") || want.startsWith("view ") ? QStringList() : QStringList{want});
        QVERIFY(server_->requestLog().isEmpty());
    }

    // After the download: the question, then unpacking into the library root. A cancelled question,
    // a failed download or a refused package changes nothing below the host, and leaves an earlier
    // package in the cache as it was, with no file beside it. A host path that names no installed
    // Quenra.exe shows the path panel and writes nothing.
    void installs_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        // The server's misbehaviour; or <cancel>/<unpack cancel>: Cancel on the download's or the
        // unpacking's progress; <List3>: the name clicked in List3 after AHT20 in List2; <host ...>:
        // the host path names quenra.exe, is relative or names a missing file.
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requested"); // {"*"}: not checked (a cancel may come first)
        const auto row = [](const char* tag, const char* button, const QString& name, const QString& mode,
                            const QStringList& messages, const QStringList& requested) {
            QTest::newRow(tag) << QString::fromLatin1(button) << name << mode << messages << requested;
        };
        const auto done = [](const QString& name) {
            return QStringList{confirmText(name), kInstalled, kOpenHost};
        };
        row("install", "Command13", "AHT20", "", done("AHT20"), {"/AHT20.zip"});
        row("update, name with a space", "Command19", "Servo Motor", "", done("Servo Motor"),
            {"/Servo%20Motor.zip"});
        row("update of the library shown, clicked in List3", "Command19", "Servo Motor", "<List3>",
            done("Servo Motor"), {"/Servo%20Motor.zip"});
        row("reinstall, Chinese name, GBK entries", "Command6", "RGB灯带", "", done("RGB灯带"),
            {"/RGB%E7%81%AF%E5%B8%A6.zip"});
        row("question cancelled", "Command13", "AHT20", "", {confirmText("AHT20")}, {"/AHT20.zip"});
        row("cancelled while unpacking", "Command13", "AHT20", "<unpack cancel>", {confirmText("AHT20")},
            {"/AHT20.zip"});
        row("entries leaving the root", "Command13", "Bad", "", {confirmText("Bad"), "! 解压失败"},
            {"/Bad.zip"});
        // The package an earlier download left is offered, and declined here.
        const auto offer = [](const QString& name) {
            return "<other style> 是否安装已缓存的【" + name + "】（下载于 2025-01-02）？";
        };
        row("missing package", "Command13", "Missing", "",
            {kDownloadFailed + "-2146697211", offer("Missing")}, {"/Missing.zip"});
        row("cut-off body", "Command13", "AHT20", "cut", {kDownloadFailed + "-2146697208", offer("AHT20")},
            {"/cut/AHT20.zip"});
        row("download cancelled", "Command13", "AHT20", "<cancel>",
            {kDownloadFailed + "-2147467260", offer("AHT20")}, {"*"});
        row("device name", "Command13", "Aux.zip", "", {"! " + kBadName.arg("Aux.zip")}, {});
        row("host file name in other case", "Command13", "AHT20", "<host quenra.exe>", {}, {});
        row("relative host path", "Command13", "AHT20", "<host relative>", {}, {});
        row("no Quenra.exe at the host path", "Command6", "AHT20", "<host missing>", {}, {});
    }
    void installs() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, mode);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requested);
        auto s = open();
        s->app.writeFile(kRoot + "/Other/keep.txt", "other");
        s->app.writeFile("Dravonel/ku/Wenjian/" + name + ".zip", "earlier");
        QFile cached(s->cached(name));
        if (cached.open(QIODevice::ReadWrite)) {
            cached.setFileTime(QDateTime(QDate(2025, 1, 2), QTime(3, 4)), QFileDevice::FileModificationTime);
        }
        s->app.writeFile(QStringLiteral("host/quenra.exe"), "program");
        Settings(s->app.folder())
            .write(QStringLiteral("fuwuqi"), server_->baseUrl(mode.startsWith('<') ? "" : mode));
        child<QLineEdit>(s->w(), "Text8")
            ->setText(mode == QLatin1String("<host quenra.exe>") ? s->app.file("host/quenra.exe")
                      : mode == QLatin1String("<host relative>") ? QStringLiteral("host/Quenra.exe")
                      : mode == QLatin1String("<host missing>")  ? s->app.file("gone/Quenra.exe")
                                                                 : s->exe());
        s->platform.cancelOnFirstProgress = mode == QLatin1String("<cancel>");
        if (mode == QLatin1String("<unpack cancel>")) {
            // The question comes after the download: the unpacking's indicator is the one cancelled.
            s->platform.onMessage = [p = &s->platform](const Platform::Message&) {
                p->cancelOnFirstProgress = true;
                return std::optional<Platform::Answer>(Platform::Answer::Ok);
            };
        } else if (messages.size() > 1) {
            s->platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok};
        }
        const QMap<QString, QByteArray> host = snapshot(s->app.file(QStringLiteral("host")));
        if (!rows(child<QListView>(s->w(), "List2")).contains(name)) {
            controls::rowsOf(child<QListView>(s->w(), "List2"))
                .setRows(rows(child<QListView>(s->w(), "List2")) << name);
        }
        const bool fromLocal = mode == QLatin1String("<List3>");
        s->click(child<QListView>(s->w(), "List2"), fromLocal ? QStringLiteral("AHT20") : name);
        if (fromLocal) {
            s->app.writeFile(kRoot + '/' + name + '/' + name + ".xml", "<xml/>");
            s->w().findChild<QAction*>("bendiku")->trigger();
            s->click(child<QListView>(s->w(), "List3"), name);
        }
        s->w().findChild<QPushButton*>(button)->click();
        QCOMPARE(shown(s->platform), messages);
        if (requested != QStringList{"*"}) {
            QCOMPARE(server_->requestLog(), requested);
        }
        QCOMPARE(child<QGroupBox>(s->w(), "Frame9")->isVisible(), mode.startsWith(QLatin1String("<host")));
        const bool unpacked = (messages.size() > 1 && !messages[0].startsWith(kDownloadFailed)) ||
                              mode == QLatin1String("<unpack cancel>");
        const QStringList labels{QStringLiteral("正在下载库文件……"), QStringLiteral("正在解压……")};
        QCOMPARE(s->platform.progressLabels, labels.first(requested.isEmpty() ? 0 : unpacked ? 2 : 1));
        QCOMPARE(readFile(s->cached(name)), messages.value(0) == confirmText(name)
                                                ? readFile(served_.filePath(name + ".zip"))
                                                : QByteArray("earlier"));
        QCOMPARE(
            QDir(s->app.file(QStringLiteral("Dravonel/ku/Wenjian"))).entryList(QDir::Files | QDir::Hidden),
            QStringList{name + ".zip"});
        const bool installed = messages.contains(kInstalled);
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
        QVERIFY(!QFileInfo::exists(QDir::currentPath() + QStringLiteral("/host")));
        QCOMPARE(!rows(child<QListView>(s->w(), "List3")).contains(name), !installed);
        QCOMPARE(s->platform.started, QStringList(installed ? 1 : 0, s->exe()));
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
        QCOMPARE(s->platform.fileDialogs.value(0).first, QStringLiteral("库文件|*.xml;*.zip"));
        QCOMPARE(shown(s->platform), messages);
        QCOMPARE(snapshot(s->root()).keys(), files);
        QCOMPARE(readFile(s->root() + QStringLiteral("/blocked")), QByteArray("in the way"));
        const bool installed = messages.contains(kInstalled);
        QCOMPARE(!rows(child<QListView>(s->w(), "List3")).contains(QStringLiteral("bar")), !installed);
        QCOMPARE(s->platform.started, QStringList(installed && oks == 3 ? 1 : 0, s->exe()));
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
