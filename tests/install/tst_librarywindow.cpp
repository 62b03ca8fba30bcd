#include "FakePlatform.h"
#include "Support.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/Form1.h"
#include "settings/Gbk.h"

#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kInstalled = QStringLiteral("安装成功");
const QString kOpenHost = QStringLiteral("? 是否打开Quenra？");
const QString kDownloadFailed = QStringLiteral("! 库文件下载失败！请检查网络后重试！错误代码：");
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

// The server's catalog (headers carry one trailing character, as the server writes them) and packages.
struct ServerFolder {
    QTemporaryDir dir;
    ServerFolder() {
        writeFile(path(QStringLiteral("KU.txt")),
                  gbk::encode(QStringLiteral(
                      "公告：测试\r\n[AHT20] \r\n库名=AHT20温湿度传感器\r\n作者=张三\r\n库版本=1.2\r\n"
                      "适用板卡=Arduino Uno\r\n更新日期=2024-03-01\r\n联系方式=QQ 12345\r\n"
                      "网址=https://example.com/aht20\r\n库简介=读取温度和湿度\r\n[NoName] "
                      "\r\n作者=李四\r\n库版本=0.1\r\n"
                      "[Servo Motor] \r\n库名=舵机\r\n[RGB灯带] \r\n库名=RGB灯带\r\n"
                      "[Missing] \r\n库名=没有包\r\n[Bad] \r\n库名=坏包\r\n")));
        writeFile(path(QStringLiteral("AHT20.zip")), library(QStringLiteral("AHT20")));
        writeFile(path(QStringLiteral("Servo Motor.zip")), library(QStringLiteral("Servo Motor")));
        writeFile(path(QStringLiteral("RGB灯带.zip")), library(QStringLiteral("RGB灯带"), true));
    }
    QString path(const QString& name) const { return dir.path() + '/' + name; }
};

// A window on `board` of a host installation below the application folder, with the catalog of
// `base`.
struct Window {
    TempAppFolder app;
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    Window(const QString& base, const QString& board, int stallMs) {
        app.writeConfig({"fuwuqi=" + base, "quenra=" + exe(), "Kuliebiao=" + board});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        AppContext context = app.context(&platform);
        context.timeouts.stallMs = stallMs;
        form = std::make_unique<Form1>(context);
        form->startUp();
        form->show();
        platform.clear();
    }
    Form1& w() const { return *form; }
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
        QString s;
        const QList<std::pair<const QPushButton*, char>> actions{
            {form->Command13, 'i'}, {form->Command6, 'r'}, {form->Command19, 'u'}};
        for (const auto& [button, letter] : actions) {
            if (button->isVisible()) {
                s += QLatin1Char(letter);
            }
        }
        const bool open = form->Command101->isVisible();
        for (const QPushButton* b :
             {form->Command102, form->Command200, form->Command201, form->Command202}) {
            if (b->isVisible() != open) {
                return QStringLiteral("open buttons disagree");
            }
        }
        return open ? s + 'o' : s;
    }
};

} // namespace

class TestLibraryWindow final : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ServerFolder> files_;
    std::unique_ptr<TestServer> server_;

    std::unique_ptr<Window> open(const QString& board = QStringLiteral("Uno"), int stallMs = 3000) const {
        auto s = std::make_unique<Window>(server_->baseUrl(), board, stallMs);
        server_->clearLog();
        return s;
    }

private Q_SLOTS:
    void initTestCase() {
        files_ = std::make_unique<ServerFolder>();
        server_ = std::make_unique<TestServer>(files_->dir.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }
    void cleanupTestCase() {
        server_.reset();
        files_.reset();
    }

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
                            const QString& caption = QStringLiteral("网络库信息"),
                            const QString& board = "Uno", const QString& hostFile = "Quenra.exe") {
            QTest::newRow(tag) << library << readme << lines << buttons << caption << board << hostFile;
        };
        const QString both =
            QStringLiteral("库名：AHT20温湿度传感器|作者：张三|本地版本：1.2|网络库版本：1.2|"
                           "适用板卡：Arduino Uno|更新日期：2024-03-01|联系方式：QQ 12345|"
                           "网址：https://example.com/aht20||库简介：读取温度和湿度");
        const QString catalogOnly = QString(both).remove(QStringLiteral("本地版本：1.2|"));
        row("installed and current", "AHT20", "1.2", both, "ro");
        row("installed, other version", "AHT20", "1.3",
            QString(both).replace("本地版本：1.2", "本地版本：1.3"), "uo");
        row("1.2 against 1.20 is an update", "AHT20", "1.20",
            QString(both).replace("本地版本：1.2", "本地版本：1.20"), "uo");
        row("in the catalog only", "AHT20", "", catalogOnly, "i");
        row("installed, no board", "AHT20", "1.2", catalogOnly, "i", QStringLiteral("网络库信息"), "");
        row("installed, host file name in other case", "AHT20", "1.2", catalogOnly, "i",
            QStringLiteral("网络库信息"), "Uno", "quenra.exe");
        row("installed, not in the catalog", "MyLocalLib", "9",
            QStringLiteral("库名：MyLocalLib|作者：|网络库版本：|更新日期：|联系方式：|网址：||库简介："),
            "o", QStringLiteral("本地库信息"));
        row("neither", "Ghost", "",
            QStringLiteral(
                "库名：Ghost|作者：|网络库版本：|适用板卡：|更新日期：|联系方式：|网址：||库简介："),
            "o");
        // A section with every key but 库名 counts as absent, yet its values are shown.
        row("catalog section without 库名", "NoName", "",
            QStringLiteral(
                "库名：NoName|作者：李四|网络库版本：0.1|适用板卡：|更新日期：|联系方式：|网址：||库简介："),
            "o");
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
        Form1& w = s->w();
        if (!readme.isEmpty()) {
            s->writeReadme(library, readme);
        }
        w.Text8->setText(s->app.file("host/" + hostFile));
        if (caption == QStringLiteral("本地库信息")) {
            w.Combo2_Click(); // lists the installed folders
            s->click(w.List3, library);
        } else {
            if (w.List2->findItems(library, Qt::MatchExactly).isEmpty()) {
                w.List2->addItem(library);
            }
            s->click(w.List2, library);
        }
        QCOMPARE(w.SelectedLibrary, library);
        QCOMPARE(w.Frame7->title(), caption);
        QVERIFY(w.Text11->isVisible());
        QCOMPARE(w.Text11->toPlainText(), lines.replace('|', '\n'));
        QCOMPARE(s->buttons(), buttons);
        QVERIFY(s->platform.messages.isEmpty());
    }

    void detailsReadAnewAtEveryClick() {
        auto s = open();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.2"));
        Form1& w = s->w();
        s->click(w.List2, QStringLiteral("AHT20"));
        QCOMPARE(s->buttons(), QStringLiteral("ro"));

        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.1"));
        s->click(w.List2, QStringLiteral("NoName"));
        s->click(w.List2, QStringLiteral("AHT20"));
        QCOMPARE(s->buttons(), QStringLiteral("uo"));

        // A mouse click on the row already selected reads again, and sees a catalog edited to the
        // same size.
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.4"));
        const QString catalog = s->app.file(QStringLiteral("Dravonel/ku/Ku.txt"));
        writeFile(catalog, readFile(catalog).replace("=1.2", "=1.4"));
        QFile file(catalog);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        file.close();
        const QPoint at = w.List2->visualItemRect(w.List2->currentItem()).center();
        QTest::mouseClick(w.List2->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(s->buttons(), QStringLiteral("ro"));
    }

    void openButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("library root") << "Command21" << QString();
        QTest::newRow("examples") << "Command101" << QStringLiteral("/AHT20/examples/");
        QTest::newRow("folder") << "Command102" << QStringLiteral("/AHT20");
        QTest::newRow("xml") << "Command200" << QStringLiteral("/AHT20/AHT20.xml");
        QTest::newRow("block") << "Command201" << QStringLiteral("/AHT20/block/AHT20.js");
        QTest::newRow("generator") << "Command202" << QStringLiteral("/AHT20/generator/AHT20.js");
    }
    void openButtons() {
        QFETCH(QString, button);
        QFETCH(QString, suffix);
        auto s = open();
        s->click(s->w().List2, QStringLiteral("AHT20")); // not installed: the paths are opened all the same
        s->w().findChild<QPushButton*>(button)->click();
        QCOMPARE(s->platform.opened, QStringList{s->root() + suffix});
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
        s->click(s->w().List2, QStringLiteral("AHT20"));
        s->w().findChild<QPushButton*>(button)->click();
        QCOMPARE(shown(s->platform), QStringList{QStringLiteral("x 请先选择对应板块后重试！！")});
        QVERIFY(s->platform.opened.isEmpty());
        QVERIFY(server_->requestLog().isEmpty());
    }

    void installs_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("install") << "Command13" << QStringLiteral("AHT20") << QStringLiteral("/AHT20.zip")
                                 << true;
        QTest::newRow("update, name with a space")
            << "Command19" << QStringLiteral("Servo Motor") << QStringLiteral("/Servo%20Motor.zip") << true;
        QTest::newRow("reinstall, Chinese name, GBK entries")
            << "Command6" << QStringLiteral("RGB灯带") << QStringLiteral("/RGB%E7%81%AF%E5%B8%A6.zip")
            << true;
        QTest::newRow("cancelled: the package stays in the cache")
            << "Command13" << QStringLiteral("AHT20") << QStringLiteral("/AHT20.zip") << false;
    }
    void installs() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, requested);
        QFETCH(bool, confirmed);
        auto s = open();
        s->app.writeFile(kRoot + "/Other/keep.txt", "other");
        s->app.writeFile("Dravonel/ku/Wenjian/" + name + ".zip", "stale"); // replaced by the download
        QMap<QString, QByteArray> installed{{"Other", "<dir>"}, {"Other/keep.txt", "other"}};
        if (confirmed) {
            installed.insert(QMap<QString, QByteArray>{{name, "<dir>"},
                                                       {name + '/' + name + ".xml", "<xml/>"},
                                                       {name + "/examples", "<dir>"},
                                                       {name + "/examples/示例.qnp", "<xml/>"}});
            s->platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok};
        }
        s->click(s->w().List2, name);
        s->w().findChild<QPushButton*>(button)->click();
        const QStringList messages{confirmText(name), kInstalled, kOpenHost};
        QCOMPARE(shown(s->platform), confirmed ? messages : messages.mid(0, 1));
        QCOMPARE(server_->requestLog(), QStringList{requested});
        QCOMPARE(s->platform.progressLabels.size(), 1);
        QCOMPARE(readFile(s->cached(name)), readFile(files_->path(name + ".zip")));
        QCOMPARE(snapshot(s->root()), installed);
        QCOMPARE(s->w().List3->findItems(name, Qt::MatchExactly).isEmpty(), !confirmed);
        QCOMPARE(s->platform.started, QStringList(confirmed ? 1 : 0, s->exe()));
    }

    // A download that fails shows one message, asks nothing and leaves the package already in the
    // cache, like everything else, as it was.
    void downloadFailures_data() {
        QTest::addColumn<QString>("mode"); // the server's misbehaviour, or a special case in <>
        QTest::addColumn<QString>("name"); // empty: nothing selected
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("requested"); // {"*"}: not checked
        const auto row = [](const char* tag, const QString& mode, const QString& name, const QString& message,
                            const QStringList& requested = {QStringLiteral("*")}) {
            QTest::newRow(tag) << mode << name << message << requested;
        };
        const QString notFound = kDownloadFailed + QStringLiteral("-2146697211");
        row("missing package", "", "Missing", notFound, {QStringLiteral("/Missing.zip")});
        row("nothing selected asks for .zip", "", "", notFound, {QStringLiteral("/.zip")});
        row("404", "status/404", "AHT20", notFound);
        row("500", "status/500", "AHT20", kDownloadFailed + "-2146697208");
        row("cut-off body", "cut", "AHT20", kDownloadFailed + "-2146697208");
        row("stalled", "stall", "AHT20", kDownloadFailed + "-2146697205");
        row("refused", "<refused>", "AHT20", kDownloadFailed + "-2146697212");
        row("cancelled", "<cancel>", "AHT20", kDownloadFailed + "-2147467260");
        row("no cache folder", "<no cache>", "AHT20", kDownloadFailed + "-2147024893");
        row("unsafe name", "", "../../evil",
            QStringLiteral(
                "! 库名【../../evil】含有不能用作文件名的字符（如 / \\ .. : 或控制字符），无法下载！"),
            {});
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
        s->w().settings().write(QStringLiteral("fuwuqi"), base);
        s->platform.cancelOnFirstProgress = mode == QLatin1String("<cancel>");
        if (mode == QLatin1String("<no cache>")) {
            QVERIFY(QDir(s->app.file(QStringLiteral("Dravonel/ku/Wenjian"))).removeRecursively());
        } else {
            s->app.writeFile("Dravonel/ku/Wenjian/" + name + ".zip", "earlier");
        }
        if (name.isEmpty()) {
            s->w().List2->setCurrentRow(-1);
            s->w().List2->clearSelection();
        } else {
            s->w().List2->addItem(name); // a second row of the same name does no harm
            s->click(s->w().List2, name);
        }
        const QMap<QString, QByteArray> before = snapshot(s->app.path());
        s->platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok};
        s->w().Command13->click();
        QCOMPARE(shown(s->platform), QStringList{message});
        if (requested != QStringList{QStringLiteral("*")}) {
            QCOMPARE(server_->requestLog(), requested);
        }
        QCOMPARE(snapshot(s->app.path()), before);
    }

    // An archive that cannot be unpacked safely, or a destination that is no folder, installs
    // nothing and stops before "安装成功".
    void refusedPackagesInstallNothing_data() {
        QTest::addColumn<QByteArray>("package"); // served as Bad.zip; empty: AHT20 is installed
        QTest::addColumn<QString>("hostFile");
        QTest::newRow("parent elements") << ZipBuilder()
                                                .folder("Bad/")
                                                .file("Bad/Bad.xml", "<xml/>")
                                                .file("../../../../evil.txt", "x")
                                                .bytes()
                                         << "Quenra.exe";
        // Such a host path is used as it is, so the destination is the program file itself.
        QTest::newRow("host file name in other case") << QByteArray() << "quenra.exe";
    }
    void refusedPackagesInstallNothing() {
        QFETCH(QByteArray, package);
        QFETCH(QString, hostFile);
        const QString name = package.isEmpty() ? QStringLiteral("AHT20") : QStringLiteral("Bad");
        if (!package.isEmpty()) {
            writeFile(files_->path(QStringLiteral("Bad.zip")), package);
        }
        auto s = open();
        s->app.writeFile("host/" + hostFile, "program");
        s->w().Text8->setText(s->app.file("host/" + hostFile));
        const QMap<QString, QByteArray> host = snapshot(s->app.file(QStringLiteral("host")));
        s->click(s->w().List2, name);
        s->platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok};
        s->w().Command13->click();
        QCOMPARE(shown(s->platform), (QStringList{confirmText(name), QStringLiteral("! 解压失败")}));
        QCOMPARE(snapshot(s->app.file(QStringLiteral("host"))), host);
        QVERIFY(!QFileInfo::exists(s->app.file(QStringLiteral("evil.txt"))));
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/evil.txt")));
        QVERIFY(s->platform.started.isEmpty());
    }

    void localInstall_data() {
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("setup"); // "installed": bar is in the root; "blocked": a file named bar is
        QTest::addColumn<int>("oks");       // answers before the default Cancel
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("files"); // below the library root afterwards
        const QString wrongXml = QStringLiteral("x 库文件选择错误，请选择库文件夹下的.xml文件！");
        const QString chosen = QStringLiteral("lib/bar/foo.xml");
        QTest::newRow("upper-case suffix")
            << QStringLiteral("lib/bar/foo.XML") << "" << 3 << QStringList{wrongXml} << QStringList{};
        QTest::newRow("dialog cancelled") << QString() << "" << 3 << QStringList{wrongXml} << QStringList{};
        QTest::newRow("foo.xml in folder bar")
            << chosen << "" << 3 << QStringList{confirmText("foo"), kInstalled, kOpenHost}
            << QStringList{"bar", "bar/block", "bar/block/bar.js", "bar/foo.xml"};
        QTest::newRow("question cancelled")
            << chosen << "" << 0 << QStringList{confirmText("foo")} << QStringList{};
        QTest::newRow("library already in the root")
            << kRoot + "/bar/bar.xml"
            << "installed" << 2 << QStringList{confirmText("bar"), kInstalled, kOpenHost}
            << QStringList{"bar", "bar/bar.xml", "bar/readme.txt"};
        QTest::newRow("copy fails")
            << chosen << "blocked" << 2
            << QStringList{confirmText("foo"),
                           QStringLiteral("! 库文件夹复制失败，库未安装！请检查文件夹权限后重试！")}
            << QStringList{"bar"};
    }
    void localInstall() {
        QFETCH(QString, chosen);
        QFETCH(QString, setup);
        QFETCH(int, oks);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, files);
        auto s = open();
        s->app.writeFile(QStringLiteral("lib/bar/foo.xml"), "<xml/>");
        s->app.writeFile(QStringLiteral("lib/bar/block/bar.js"), "js");
        if (setup == QLatin1String("installed")) {
            s->writeReadme(QStringLiteral("bar"), QStringLiteral("1"));
            s->app.writeFile(kRoot + QStringLiteral("/bar/bar.xml"), "<xml/>");
        } else if (setup == QLatin1String("blocked")) {
            s->app.writeFile(kRoot + QStringLiteral("/bar"), "in the way");
        }
        if (!chosen.isEmpty()) {
            s->platform.fileAnswers << s->app.file(chosen);
        }
        s->platform.answers = QList<Platform::Answer>(oks, Platform::Answer::Ok);
        s->w().Command14->click();
        QCOMPARE(s->platform.fileDialogs.value(0).first, QStringLiteral("(*.xml)|*.xml"));
        QCOMPARE(s->w().Text18->text(), chosen.isEmpty() ? QString() : s->app.file(chosen));
        QCOMPARE(shown(s->platform), messages);
        QCOMPARE(snapshot(s->root()).keys(), files);
        const bool installed = messages.contains(kInstalled);
        QCOMPARE(!s->w().List3->findItems(QStringLiteral("bar"), Qt::MatchExactly).isEmpty(), installed);
        QCOMPARE(s->platform.started, installed && oks == 3 ? QStringList{s->exe()} : QStringList{});
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
