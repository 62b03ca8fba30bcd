#include "AppWindow.h"
#include "Support.h"
#include "TestServer.h"
#include "settings/Gbk.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QString kRoot = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty");

// A window on `board` of a host installation below the application folder, with the catalog of
// `base`.
struct Window : AppWindow {
    Window(const QString& base, const QString& board) {
        app.writeConfig({"fuwuqi=" + base, "quenra=" + app.file("host/Quenra.exe"), "Kuliebiao=" + board});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        start();
        platform.clear();
    }
    QString root() const { return app.file(kRoot); }
    void writeReadme(const QString& library, const QString& version) const {
        app.writeGbk(kRoot + '/' + library + "/readme.txt",
                     '[' + library + "]\r\n库名=" + library + "\r\n库版本=" + version + "\r\n");
    }
    // Which action buttons are shown: i install, r reinstall, u update, o the five open buttons.
    QString buttons() const {
        QString shown;
        for (const auto& [name, letter] :
             {std::pair{"Command13", "i"}, {"Command6", "r"}, {"Command19", "u"}}) {
            shown += child<QPushButton>(*window, name)->isVisible() ? letter : "";
        }
        const auto opens = std::ranges::count_if(
            std::array{"Command101", "Command102", "Command200", "Command201", "Command202"},
            [&](const char* name) { return child<QPushButton>(*window, name)->isVisible(); });
        return shown + (opens == 5 ? "o" : opens == 0 ? "" : "<some open buttons>");
    }
};

} // namespace

// Installing itself, with its failures and cancels, is in the fault table (tests/faults).
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
        // Library headers carry one trailing character, as the server writes them. Two sections name
        // no plain file name.
        writeFile(served_.filePath(QStringLiteral("KU.txt")),
                  gbk::encode(QStringLiteral(
                      "公告：测试\r\n[AHT20] \r\n库名=AHT20温湿度传感器\r\n作者=张三\r\n库版本=1.2\r\n"
                      "适用板卡=Arduino Uno\r\n更新日期=2024-03-01\r\n联系方式=QQ 12345\r\n"
                      "网址=https://example.com/aht20\r\n库简介=读取温度和湿度\r\n"
                      "[NoName] \r\n作者=李四\r\n库版本=0.1\r\n[../ThirdParty/AHT20] "
                      "\r\n[../../../../tmp/payload] \r\n")));
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
        const bool local = caption == QStringLiteral("本地库信息");
        if (local) {
            press(w, "Combo2"); // lists the installed folders
        }
        clickRow(child<QListView>(w, local ? "List3" : "List2"), library);
        QCOMPARE(child<QGroupBox>(w, "Frame7")->title(), caption);
        QVERIFY(child<QPlainTextEdit>(w, "Text11")->isVisible());
        QCOMPARE(child<QPlainTextEdit>(w, "Text11")->toPlainText(), lines.replace('|', '\n'));
        QCOMPARE(s->buttons(), buttons);
        QVERIFY(s->platform.messages.isEmpty());
    }

    // A click, also on the row already selected, reads the description file again.
    void detailsReadAnewAtEveryClick() {
        auto s = open();
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.2"));
        clickRow(child<QListView>(s->w(), "List2"), QStringLiteral("AHT20"));
        QCOMPARE(s->buttons(), QStringLiteral("ro"));
        s->writeReadme(QStringLiteral("AHT20"), QStringLiteral("1.4"));
        clickRow(child<QListView>(s->w(), "List2"), QStringLiteral("AHT20"));
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
            << "! 库名【../../../../tmp/payload】含有不能用作文件名的字符（/ \\ : * ? \" < > | "
               "或控制字符），或以点或空格结尾，或是系统保留的设备名（CON、PRN、AUX、NUL、COM1-COM9、LPT1-"
               "LPT9），无法使用！";
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
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
