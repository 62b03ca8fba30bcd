#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "install/Bundle.h"
#include "install/Extract.h"
#include "settings/Gbk.h"
#include "settings/Settings.h"

#include <algorithm>

// One library's details and buttons, and the board's libraries as a whole: update all, search,
// uninstall, export a bundle and install one. Installing itself, with its failures and cancels, is
// in the fault table (tests/faults).

namespace {

// Which action buttons are shown: i install, r reinstall, u update, o the five open buttons.
QString shownButtons(const MainWindow& w) {
    QString shown;
    for (const auto& [name, letter] : {std::pair{"Command13", "i"}, {"Command6", "r"}, {"Command19", "u"}}) {
        shown += child<QPushButton>(w, name)->isVisible() ? letter : "";
    }
    const auto opens = std::ranges::count_if(
        std::array{"Command101", "Command102", "Command200", "Command201", "Command202"},
        [&](const char* name) { return child<QPushButton>(w, name)->isVisible(); });
    return shown + (opens == 5 ? "o" : opens == 0 ? "" : "<some open buttons>");
}

QByteArray library(const QString& name, const QByteArray& xml) {
    return ZipBuilder().file((name + '/' + name + ".xml").toUtf8(), xml, true).bytes();
}

// A window on board `board` with libraries A (1.0, catalog 2.0), B (1.0, catalog 2.0, no package on
// the server) and C (current) installed.
struct Libraries : LibraryWindow {
    Libraries(const QString& base, const QString& board = QStringLiteral("Uno"))
        : LibraryWindow(base, board, [](LibraryWindow& s) {
            for (const auto& [name, version] : {std::pair{"A", "1.0"}, {"B", "1.0"}, {"C", "3.0"}}) {
                s.writeReadme(name, version);
                s.app.writeFile(LibraryRoot + '/' + name + '/' + name + ".xml", "old");
            }
            s.platform.trashFolder = s.app.file(QStringLiteral("Trash"));
        }) {}
};

} // namespace

class TestLibraryWindow final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir served_;
    std::unique_ptr<TestServer> server_;

    std::unique_ptr<LibraryWindow> open(const QString& board = QStringLiteral("Uno")) const {
        auto s = std::make_unique<LibraryWindow>(server_->baseUrl(), board);
        server_->clearLog();
        return s;
    }
    // The catalog and packages of the Libraries windows.
    QString manageBase() const { return server_->baseUrl() + "manage/"; }

private Q_SLOTS:
    void initTestCase() {
        // Library headers carry one trailing character, as the server writes them. Two sections name
        // no plain file name.
        writeFile(served_.filePath(QStringLiteral("KU.txt")),
                  gbk::encode(QStringLiteral(
                      "公告：测试\r\n[AHT20] \r\n库名=AHT20温湿度传感器\r\n作者=张三\r\n库版本=1.2\r\n"
                      "适用板卡=Arduino Uno\r\n更新日期=2024-03-01\r\n联系方式=QQ 12345\r\n"
                      "网址=https://example.com/aht20\r\n库简介=读取温度和湿度\r\n"
                      "[NoName] \r\n作者=李四\r\n库版本=0.1\r\n[../ThirdParty/AHT20] "
                      "\r\n[../../../../tmp/payload] \r\n")));
        writeFile(
            served_.filePath(QStringLiteral("manage/KU.txt")),
            gbk::encode(QStringLiteral("公告：测试\r\n[A] \r\n库名=A\r\n作者=张三\r\n库版本=2.0\r\n[B] \r\n"
                                       "库名=B\r\n库版本=2.0\r\n[C] \r\n库名=彩灯c\r\n库版本=3.0\r\n")));
        writeFile(served_.filePath(QStringLiteral("manage/A.zip")), library(QStringLiteral("A"), "new"));
        server_ = std::make_unique<TestServer>(served_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
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
        const auto row = [](const char* tag, const QString& library, const QString& readme,
                            const QString& lines, const QString& buttons,
                            const QString& caption = "网络库信息", const QString& board = "Uno") {
            QTest::newRow(tag) << library << readme << lines << buttons << caption << board;
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
        row("installed, not in the catalog", "MyLocalLib", "9",
            "库名：MyLocalLib|作者：|网络库版本：|更新日期：|联系方式：|网址：||库简介：", "o", "本地库信息");
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
        auto s = open(board);
        MainWindow& w = s->w();
        if (!readme.isEmpty()) {
            s->writeReadme(library, readme);
        }
        const bool local = caption == QStringLiteral("本地库信息");
        if (local) {
            press(w, "Combo2"); // lists the installed folders
        }
        clickRow(child<QListView>(w, local ? "List3" : "List2"), library);
        QCOMPARE(child<QGroupBox>(w, "Frame7")->title(), caption);
        QVERIFY(child<QPlainTextEdit>(w, "Text11")->isVisible());
        QCOMPARE(child<QPlainTextEdit>(w, "Text11")->toPlainText(), lines.replace('|', '\n'));
        QCOMPARE(shownButtons(s->w()), buttons);
        QVERIFY(s->platform.messages.isEmpty());
    }

    // A click, also on the row already selected, reads the description file again.
    void detailsReadAnewAtEveryClick() {
        auto s = open();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.2"));
        clickRow(child<QListView>(s->w(), "List2"), QStringLiteral("AHT20"));
        QCOMPARE(shownButtons(s->w()), QStringLiteral("ro"));
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.4"));
        clickRow(child<QListView>(s->w(), "List2"), QStringLiteral("AHT20"));
        QCOMPARE(shownButtons(s->w()), QStringLiteral("uo"));
    }

    // The library root opens in the file manager; a library's folders and files open for viewing
    // only, never run. A catalog name that is no plain file name opens nothing; without a board no
    // button acts.
    void openButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("want"); // "open " or "view " and a path below the root, or a message
        const auto row = [](const QString& button, const QString& want, const QString& library = "AHT20",
                            const QString& board = "Uno") {
            QTest::addRow("%s %s %s", qPrintable(button), qPrintable(library), qPrintable(board))
                << button << library << board << want;
        };
        row("Command21", "open ");
        row("Command101", "view /AHT20/examples/");
        row("Command102", "view /AHT20");
        row("Command200", "view /AHT20/AHT20.xml");
        row("Command201", "view /AHT20/block/AHT20.js");
        row("Command202", "view /AHT20/generator/AHT20.js");
        row("Command201", "! " + unusableName("../../../../tmp/payload"), "../../../../tmp/payload");
        for (const char* button : {"Command21", "Command13", "Command19", "Command6"}) {
            row(button, "x 请先选择对应板块后重试！！", "AHT20", "");
        }
    }
    void openButtons() {
        QFETCH(QString, button);
        QFETCH(QString, library);
        QFETCH(QString, board);
        QFETCH(QString, want);
        auto s = open(board);
        clickRow(child<QListView>(s->w(), "List2"), library); // not installed: opened all the same
        press(s->w(), qPrintable(button));
        const auto path = [&](const char* verb) {
            return want.startsWith(verb) ? QStringList{s->root() + want.mid(5)} : QStringList();
        };
        QCOMPARE(s->platform.opened, path("open "));
        QCOMPARE(s->platform.viewed, path("view "));
        QCOMPARE(shown(s->platform),
                 want.startsWith("open ") || want.startsWith("view ") ? QStringList() : QStringList{want});
        QVERIFY(server_->requestLog().isEmpty());
    }

    // The board check before it is in openButtons.
    void updateAll_data() {
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("a"); // A.xml afterwards
        const QString ask = QStringLiteral("以下库有新版本，是否全部更新？\r\nA\r\nB");
        QTest::newRow("one updated, one failed")
            << Platform::Answer::Ok
            << QStringList{ask, QStringLiteral("已更新 1 个库。\r\n更新失败：\r\n"
                                               "B：库文件下载失败！请检查网络后重试！错误代码：-2146697211")}
            << QByteArray("new");
        QTest::newRow("declined") << Platform::Answer::Cancel << QStringList{ask} << QByteArray("old");
    }
    void updateAll() {
        QFETCH(Platform::Answer, answer);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, a);
        Libraries s(manageBase());
        s.platform.answers = {answer};
        press(s.w(), "quanbugengxin");
        QCOMPARE(s.platform.messageTexts(), messages);
        QCOMPARE(readFile(s.root() + "/A/A.xml"), a);
        QCOMPARE(readFile(s.root() + "/B/B.xml"), QByteArray("old"));
        if (a == "new") {
            QCOMPARE(
                s.platform.progressLabels,
                (QStringList{"正在更新【A】（1/2）……", "正在更新【A】（1/2）……", "正在更新【B】（2/2）……"}));
            // Updated once: nothing is left to update.
            s.platform.clear();
            s.writeReadme("A", "2.0");
            s.writeReadme("B", "2.0");
            press(s.w(), "quanbugengxin");
            QCOMPARE(s.platform.messageTexts(), QStringList{"所有库均已是最新版本！"});
        }
    }

    // Both lists show what contains the typed text in the name, 库名 or 作者; the check box keeps the
    // installed libraries with an update; an empty box shows everything in catalog order again.
    void search_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("updatesOnly");
        QTest::addColumn<QStringList>("shown"); // in both lists
        QTest::newRow("name, any case") << "b" << false << QStringList{"B"};
        QTest::newRow("author") << "张三" << false << QStringList{"A"};
        QTest::newRow("catalog name, other case") << "彩灯C" << false << QStringList{"C"};
        QTest::newRow("updates only") << "" << true << QStringList{"A", "B"};
        QTest::newRow("both") << "C" << true << QStringList{};
        QTest::newRow("nothing typed") << "" << false << QStringList{"A", "B", "C"};
    }
    void search() {
        QFETCH(QString, text);
        QFETCH(bool, updatesOnly);
        QFETCH(QStringList, shown);
        Libraries s(manageBase());
        child<QLineEdit>(s.w(), "Text20")->setText(QStringLiteral("x")); // narrows, then widens again
        child<QLineEdit>(s.w(), "Text20")->setText(text);
        child<QCheckBox>(s.w(), "Check1")->setChecked(updatesOnly);
        QCOMPARE(rows(child<QListView>(s.w(), "List2")), shown);
        QStringList local = rows(child<QListView>(s.w(), "List3"));
        local.sort();
        QCOMPARE(local, shown);
    }

    // Uninstall moves the folder to the trash; a trash that takes nothing deletes nothing.
    // Without a network the lists of the last download show, marked so, until a download succeeds; a
    // cache that holds no catalog is not shown.
    void offlineCatalog() {
        const QString unreachable =
            "fuwuqi=http://127.0.0.1:" + QString::number(TestServer::unusedPort()) + '/';
        AppWindow s({unreachable});
        s.app.writeFile(QStringLiteral("Dravonel/ku/Ku.txt"),
                        readFile(served_.filePath(QStringLiteral("manage/KU.txt"))));
        s.start();
        QCOMPARE(rows(child<QListView>(s.w(), "List2")), (QStringList{"A", "B", "C"}));
        QVERIFY(child<QLabel>(s.w(), "Label2")->isVisible());
        QVERIFY(child<QLabel>(s.w(), "Label60")->isVisible());
        Settings(s.app.folder()).write(QStringLiteral("fuwuqi"), manageBase());
        press(s.w(), "Label2");
        QVERIFY(!child<QLabel>(s.w(), "Label60")->isVisible());
        AppWindow t({unreachable});
        t.app.writeFile(QStringLiteral("Dravonel/ku/Ku.txt"), "[A] \r\n");
        t.start();
        QCOMPARE(rows(child<QListView>(t.w(), "List2")), QStringList());
        QVERIFY(!child<QLabel>(t.w(), "Label60")->isVisible());
    }

    void uninstall_data() {
        QTest::addColumn<bool>("trashWorks");
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QString>("result"); // the message after the question, empty: none
        QTest::newRow("uninstalled") << true << Platform::Answer::Ok << "已卸载【C】，可在回收站中恢复。";
        QTest::newRow("declined") << true << Platform::Answer::Cancel << "";
        QTest::newRow("no trash") << false << Platform::Answer::Ok << "卸载失败：无法移到回收站，库未删除。";
    }
    void uninstall() {
        QFETCH(bool, trashWorks);
        QFETCH(Platform::Answer, answer);
        QFETCH(QString, result);
        Libraries s(manageBase());
        if (!trashWorks) {
            s.platform.trashFolder.clear();
        }
        auto* installed = child<QListView>(s.w(), "List3");
        clickRow(installed, QStringLiteral("C"));
        QVERIFY(child<QPushButton>(s.w(), "Command32")->isVisible());
        s.platform.answers = {answer};
        press(s.w(), "Command32");
        QStringList expected{QStringLiteral("是否确定将【C】从【Uno】库中删除？")};
        if (!result.isEmpty()) {
            expected << result;
        }
        QCOMPARE(s.platform.messageTexts(), expected);
        const bool gone = trashWorks && answer == Platform::Answer::Ok;
        QCOMPARE(QFileInfo::exists(s.root() + "/C/C.xml"), !gone);
        QCOMPARE(QFileInfo::exists(s.app.file("Trash/C/C.xml")), gone);
        QCOMPARE(rows(installed).contains(QStringLiteral("C")), !gone);
    }

    // A failed download offers the package an earlier download left in the cache (declined in the
    // fault table).
    void cachedPackageOffered() {
        Libraries s(manageBase());
        const QString cached = s.app.file(QStringLiteral("Dravonel/ku/Wenjian/B.zip"));
        writeFile(cached, library(QStringLiteral("B"), "cached"));
        backdate(cached);
        clickRow(child<QListView>(s.w(), "List2"), QStringLiteral("B"));
        s.platform.answers = {Platform::Answer::Ok, Platform::Answer::Yes, Platform::Answer::Ok,
                              Platform::Answer::Cancel};
        press(s.w(), "Command19");
        QCOMPARE(
            s.platform.messageTexts(),
            (QStringList{"库文件下载失败！请检查网络后重试！错误代码：-2146697211",
                         "是否安装已缓存的【B】（下载于 2025-01-02）？", "安装成功", "是否打开Quenra？"}));
        QCOMPARE(readFile(s.root() + "/B/B.xml"), QByteArray("cached"));
    }

    // What "导出库包" writes (names in UTF-8 with the mark), "安装本地库" installs on another machine
    // whole; an archive without a library installs nothing.
    void exportAndInstallBundle() {
        Libraries s(manageBase());
        s.app.writeFile(LibraryRoot + QStringLiteral("/A/examples/示例.qnp"), QByteArray(200000, 'q'));
        QDir().mkpath(s.root() + "/C/empty");
        const QString bundle = s.app.file(QStringLiteral("out/库包.zip"));
        QDir().mkpath(s.app.file(QStringLiteral("out")));
        s.platform.fileAnswers = {bundle};
        press(s.w(), "daochukubao");
        QCOMPARE(s.platform.messageTexts(), QStringList{"已导出到：\r\n" + bundle});
        QVERIFY(s.platform.fileDialogs.first().second.startsWith(QStringLiteral("Uno-库包-")));
        QCOMPARE(install::findLibraries(bundle).names, (QStringList{"A", "B", "C"}));
        QCOMPARE(install::bundleFileName("Uno", QDate(2026, 3, 9)), QStringLiteral("Uno-库包-20260309.zip"));
        const QByteArray bytes = readFile(bundle);
        for (qsizetype at = bytes.indexOf("PK\3\4"); at >= 0; at = bytes.indexOf("PK\3\4", at + 4)) {
            const QByteArray name = bytes.mid(at + 30, quint8(bytes[at + 26]) | quint8(bytes[at + 27]) << 8);
            const bool ascii = std::ranges::all_of(name, [](char c) { return quint8(c) < 0x80; });
            QVERIFY2(ascii || (quint8(bytes[at + 7]) & 0x08), name.constData()); // the UTF-8 mark
        }

        const auto before = snapshot(s.root());
        QVERIFY(QDir(s.root()).removeRecursively());
        writeFile(s.app.file(QStringLiteral("out/empty.zip")), ZipBuilder().file("notes.txt", "x").bytes());
        s.platform.clear();
        s.platform.fileAnswers = {s.app.file(QStringLiteral("out/empty.zip")), bundle};
        s.platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Cancel};
        press(s.w(), "Command14");
        press(s.w(), "Command14");
        QCOMPARE(s.platform.messageTexts(),
                 (QStringList{"压缩包中没有找到库（应为 库名/库名.xml）！",
                              "是否确定将【A、B、C】加入到【Uno】库中？", "安装成功", "是否打开Quenra？"}));
        QCOMPARE(snapshot(s.root()), before);
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
