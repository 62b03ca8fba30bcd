#include "AppWindow.h"
#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "install/Extract.h"
#include "settings/Gbk.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The board's libraries as a whole: update all, uninstall, export a bundle and install one.

namespace {

const QString kRoot = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty");

QByteArray library(const QString& name, const QByteArray& xml) {
    return ZipBuilder().file((name + '/' + name + ".xml").toUtf8(), xml, true).bytes();
}

// A window on board `board` with libraries A (1.0, catalog 2.0), B (1.0, catalog 2.0, no package on
// the server) and C (current) installed.
struct Window : AppWindow {
    Window(const QString& base, const QString& board = QStringLiteral("Uno")) {
        app.writeConfig({"fuwuqi=" + base, "quenra=" + app.file("host/Quenra.exe"), "Kuliebiao=" + board});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        for (const auto& [name, version] : {std::pair{"A", "1.0"}, {"B", "1.0"}, {"C", "3.0"}}) {
            app.writeGbk(kRoot + '/' + name + "/readme.txt",
                         QStringLiteral("[%1]\r\n库名=%1\r\n库版本=%2\r\n").arg(name, version));
            app.writeFile(kRoot + '/' + name + '/' + name + ".xml", "old");
        }
        platform.trashFolder = app.file(QStringLiteral("Trash"));
        start();
        platform.clear();
    }
    QString root() const { return app.file(kRoot); }
};

} // namespace

class TestManageWindow final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir served_;
    std::unique_ptr<TestServer> server_;

private Q_SLOTS:
    void initTestCase() {
        writeFile(
            served_.filePath(QStringLiteral("KU.txt")),
            gbk::encode(QStringLiteral("公告：测试\r\n[A] \r\n库名=A\r\n作者=张三\r\n库版本=2.0\r\n[B] \r\n"
                                       "库名=B\r\n库版本=2.0\r\n[C] \r\n库名=彩灯c\r\n库版本=3.0\r\n")));
        writeFile(served_.filePath(QStringLiteral("A.zip")), library(QStringLiteral("A"), "new"));
        server_ = std::make_unique<TestServer>(served_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }

    void updateAll_data() {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QList<Platform::Answer>>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("a"); // A.xml afterwards
        const QString ask = QStringLiteral("以下库有新版本，是否全部更新？\r\nA\r\nB");
        QTest::newRow("one updated, one failed")
            << "Uno" << QList<Platform::Answer>{}
            << QStringList{ask, QStringLiteral("已更新 1 个库。\r\n更新失败：\r\n"
                                               "B：库文件下载失败！请检查网络后重试！错误代码：-2146697211")}
            << QByteArray("new");
        QTest::newRow("declined") << "Uno" << QList<Platform::Answer>{Platform::Answer::Cancel}
                                  << QStringList{ask} << QByteArray("old");
        QTest::newRow("no board") << "" << QList<Platform::Answer>{}
                                  << QStringList{QStringLiteral("请先选择对应板块后重试！！")}
                                  << QByteArray("old");
    }
    void updateAll() {
        QFETCH(QString, board);
        QFETCH(QList<Platform::Answer>, answers);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, a);
        Window s(server_->baseUrl(), board);
        s.platform.answers = answers.isEmpty() ? QList<Platform::Answer>{Platform::Answer::Ok} : answers;
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
            QFile::remove(s.root() + "/B");
            s.app.writeGbk(kRoot + "/B/readme.txt", QStringLiteral("[B]\r\n库名=B\r\n库版本=2.0\r\n"));
            s.app.writeGbk(kRoot + "/A/readme.txt", QStringLiteral("[A]\r\n库名=A\r\n库版本=2.0\r\n"));
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
        Window s(server_->baseUrl());
        child<QLineEdit>(s.w(), "Text20")->setText(QStringLiteral("x")); // narrows, then widens again
        child<QLineEdit>(s.w(), "Text20")->setText(text);
        child<QCheckBox>(s.w(), "Check1")->setChecked(updatesOnly);
        QCOMPARE(rows(child<QListView>(s.w(), "List2")), shown);
        QStringList local = rows(child<QListView>(s.w(), "List3"));
        local.sort();
        QCOMPARE(local, shown);
    }

    // Without a network the lists of the last download show, marked so, until a download succeeds.
    void offlineCatalog() {
        AppWindow s({"fuwuqi=http://127.0.0.1:" + QString::number(TestServer::unusedPort()) + '/'});
        s.app.writeFile(QStringLiteral("Dravonel/ku/Ku.txt"),
                        readFile(served_.filePath(QStringLiteral("KU.txt"))));
        s.start();
        QCOMPARE(rows(child<QListView>(s.w(), "List2")), (QStringList{"A", "B", "C"}));
        QVERIFY(child<QLabel>(s.w(), "Label2")->isVisible());
        QVERIFY(child<QLabel>(s.w(), "Label60")->isVisible());
        Settings(s.app.folder()).write(QStringLiteral("fuwuqi"), server_->baseUrl());
        press(s.w(), "Label2");
        QVERIFY(!child<QLabel>(s.w(), "Label60")->isVisible());
        // A cache that holds no catalog is not shown.
        AppWindow t({"fuwuqi=http://127.0.0.1:" + QString::number(TestServer::unusedPort()) + '/'});
        t.app.writeFile(QStringLiteral("Dravonel/ku/Ku.txt"), "[A] \r\n");
        t.start();
        QCOMPARE(rows(child<QListView>(t.w(), "List2")), QStringList());
        QVERIFY(!child<QLabel>(t.w(), "Label60")->isVisible());
    }

    // Uninstall moves the folder to the trash; a trash that takes nothing deletes nothing.
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
        Window s(server_->baseUrl());
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

    // A failed download offers the package an earlier download left in the cache.
    void cachedPackageOffered_data() {
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QByteArray>("b"); // B.xml afterwards
        QTest::newRow("yes") << Platform::Answer::Yes << QByteArray("cached");
        QTest::newRow("no") << Platform::Answer::No << QByteArray("old");
    }
    void cachedPackageOffered() {
        QFETCH(Platform::Answer, answer);
        QFETCH(QByteArray, b);
        Window s(server_->baseUrl());
        const QString cached = s.app.file(QStringLiteral("Dravonel/ku/Wenjian/B.zip"));
        writeFile(cached, library(QStringLiteral("B"), "cached"));
        QFile file(cached);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime(QDate(2025, 1, 2), QTime(3, 4)), QFileDevice::FileModificationTime));
        clickRow(child<QListView>(s.w(), "List2"), QStringLiteral("B"));
        s.platform.answers = {Platform::Answer::Ok, answer, Platform::Answer::Ok, Platform::Answer::Cancel};
        press(s.w(), "Command19");
        QStringList expected{QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：-2146697211"),
                             QStringLiteral("是否安装已缓存的【B】（下载于 2025-01-02）？")};
        if (answer == Platform::Answer::Yes) {
            expected << QStringLiteral("安装成功") << QStringLiteral("是否打开Quenra？");
        }
        QCOMPARE(s.platform.messageTexts(), expected);
        QCOMPARE(readFile(s.root() + "/B/B.xml"), b);
    }

    // What "导出库包" writes, "安装本地库" installs on another machine; an archive without a library
    // installs nothing.
    void exportAndInstallBundle() {
        Window s(server_->baseUrl());
        const QString bundle = s.app.file(QStringLiteral("out/库包.zip"));
        QDir().mkpath(s.app.file(QStringLiteral("out")));
        s.platform.fileAnswers = {bundle};
        press(s.w(), "daochukubao");
        QCOMPARE(s.platform.messageTexts(), QStringList{"已导出到：\r\n" + bundle});
        QVERIFY(s.platform.fileDialogs.first().second.startsWith(QStringLiteral("Uno-库包-")));
        QCOMPARE(install::findLibraries(bundle).names, (QStringList{"A", "B", "C"}));

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

QTEST_MAIN(TestManageWindow)
#include "tst_managewindow.moc"
