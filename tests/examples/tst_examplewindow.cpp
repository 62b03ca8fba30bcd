#include "FakePlatform.h"
#include "Support.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/Form1.h"
#include "install/ExampleEntry.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kExamples = QStringLiteral("host/resources/app/src/boards/Dravonel_examples");
const QString kNotFound = QStringLiteral("! 库文件下载失败！请检查网络后重试！错误代码：-2146697211");

// A window whose host installation lies in the application folder, with the examples of `base`.
struct Window {
    TempAppFolder app;
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    explicit Window(const QString& base) {
        app.writeConfig({"quenra=" + app.file(QStringLiteral("host/Quenra.exe")), "fuwuqi=" + base});
        QDir().mkpath(app.file(QStringLiteral("host/resources/app/src/boards")));
        form = std::make_unique<Form1>(app.context(&platform));
        form->startUp();
        form->show();
        form->List6->clear();
        form->List6->addItems({QStringLiteral("流水灯[led]"), QStringLiteral("呼吸灯 演示[breath]"),
                               QStringLiteral("丢失[missing]"), QStringLiteral("空[]"),
                               QStringLiteral("坏包[bad]"), QStringLiteral("a]b[c]"),
                               QStringLiteral("无右括号[led"), QStringLiteral("越界[../led]"),
                               QStringLiteral("../越界[led]")});
        platform.clear();
    }
    // Double-clicks `row` with the mouse; the empty row calls the handler with nothing selected.
    void doubleClick(const QString& row) {
        QListWidgetItem* item = form->List6->findItems(row, Qt::MatchExactly).value(0);
        form->List6->setCurrentItem(item);
        if (!item) {
            form->List6_DblClick();
            return;
        }
        const QPoint at = form->List6->visualItemRect(item).center();
        QTest::mouseClick(form->List6->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form->List6->viewport(), Qt::LeftButton, {}, at);
    }
    QString examples() const { return app.file(kExamples); }
};

} // namespace

class TestExampleWindow final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir packages_;
    std::unique_ptr<TestServer> server_;

private Q_SLOTS:
    void initTestCase() {
        writeFile(
            packages_.filePath(QStringLiteral("led.zip")),
            ZipBuilder().file(QStringLiteral("流水灯.qnp").toUtf8(), "{\"title\":\"流水灯\"}", true).bytes());
        writeFile(packages_.filePath(QStringLiteral("breath.zip")),
                  ZipBuilder().file(QStringLiteral("呼吸灯 演示.qnp").toUtf8(), "{}", true).bytes());
        writeFile(packages_.filePath(QStringLiteral("bad.zip")), "this is no archive");
        server_ = std::make_unique<TestServer>(packages_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }
    void cleanupTestCase() { server_.reset(); }

    void installsAndOpens_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("open");
        QTest::newRow("plain") << QStringLiteral("流水灯[led]") << QStringLiteral("流水灯") << true;
        QTest::newRow("space and Chinese")
            << QStringLiteral("呼吸灯 演示[breath]") << QStringLiteral("呼吸灯 演示") << true;
        QTest::newRow("Cancel opens nothing")
            << QStringLiteral("流水灯[led]") << QStringLiteral("流水灯") << false;
    }
    void installsAndOpens() {
        QFETCH(QString, row);
        QFETCH(QString, title);
        QFETCH(bool, open);
        Window w(server_->baseUrl());
        w.platform.answers = {Platform::Answer::Ok, open ? Platform::Answer::Ok : Platform::Answer::Cancel};
        w.doubleClick(row);
        const QString file = w.examples() + '/' + title + ".qnp";
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(shown(w.platform),
                 (QStringList{QStringLiteral("安装成功"), "? 是否打开【" + title + "】示例？"}));
        QCOMPARE(w.platform.opened, open ? QStringList{file} : QStringList{});
    }

    // Rows that name no example, or one that cannot be had, stop with at most one message and leave
    // the host's folders as they were.
    void stopsBeforeTheQuestion_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requested");
        const QString badName =
            QStringLiteral("含有不能用作文件名的字符（如 / \\ .. : 或控制字符），无法下载！");
        const auto row = [](const char* tag, const QString& row, const QStringList& messages,
                            const QStringList& requested) {
            QTest::newRow(tag) << row << messages << requested;
        };
        row("404", QStringLiteral("丢失[missing]"), {kNotFound}, {"/missing.zip"});
        row("empty package name asks for .zip", QStringLiteral("空[]"), {kNotFound}, {"/.zip"});
        row("not a zip", QStringLiteral("坏包[bad]"), {QStringLiteral("! 解压失败")}, {"/bad.zip"});
        row("package name leaving the cache", QStringLiteral("越界[../led]"), {"! 库名【../led】" + badName},
            {});
        row("title leaving the examples", QStringLiteral("../越界[led]"), {"! 示例【../越界】" + badName},
            {});
        row("] before [", "a]b[c]", {}, {});
        row("no ]", QStringLiteral("无右括号[led"), {}, {});
        row("nothing selected", "", {}, {});
    }
    void stopsBeforeTheQuestion() {
        QFETCH(QString, row);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requested);
        Window w(server_->baseUrl());
        const QMap<QString, QByteArray> before = snapshot(w.app.file(QStringLiteral("host")));
        server_->clearLog();
        w.doubleClick(row);
        QCOMPARE(shown(w.platform), messages);
        QCOMPARE(server_->requestLog(), requested);
        QVERIFY(w.platform.opened.isEmpty());
        QCOMPARE(snapshot(w.app.file(QStringLiteral("host"))), before);
    }

    // The panel creates a missing examples folder and leaves whatever stands there alone.
    void panel() {
        Window w(server_->baseUrl());
        writeFile(w.examples(), "a file");
        w.form->toggleOverlay(w.form->Frame8); // another overlay panel is open
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QVERIFY(w.form->Frame14->isVisible());
        QVERIFY(!w.form->Frame8->isVisible());
        QCOMPARE(readFile(w.examples()), QByteArray("a file"));
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QVERIFY(!w.form->Frame14->isVisible());
        QVERIFY(QFile::remove(w.examples()));
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QVERIFY(QFileInfo(w.examples()).isDir());
        writeFile(w.examples() + QStringLiteral("/mine.qnp"), "kept");
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QCOMPARE(readFile(w.examples() + QStringLiteral("/mine.qnp")), QByteArray("kept"));
        QTest::mouseClick(w.form->Command30, Qt::LeftButton);
        QCOMPARE(w.platform.opened, QStringList{w.examples()});
    }

    void parse_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("package"); // "<none>": the row names no example
        QTest::addColumn<QString>("title");
        const auto row = [](const char* tag, const QString& row, const QString& package,
                            const QString& title) { QTest::newRow(tag) << row << package << title; };
        row("title and package", QStringLiteral("流水灯[led]"), "led", QStringLiteral("流水灯"));
        row("spaces and Chinese kept", QStringLiteral("呼吸灯 演示 [breath]"), "breath",
            QStringLiteral("呼吸灯 演示 "));
        row("no [ but ]", "led]x", "led", "led]x");
        row("empty brackets", QStringLiteral("空[]"), "", QStringLiteral("空"));
        row("first brackets only", "a[b]c[d]", "b", "ac[d]");
        row("every occurrence removed from title", "x[p]y[p]", "p", "xy");
        row("no ]", QStringLiteral("流水灯[led"), "<none>", "");
        row("] before [", "a]b[c]", "<none>", "");
        row("empty row", "", "<none>", "");
    }
    void parse() {
        QFETCH(QString, row);
        QFETCH(QString, package);
        QFETCH(QString, title);
        const ExampleEntry e = parseExampleEntry(row).value_or(ExampleEntry{QStringLiteral("<none>"), {}});
        QCOMPARE(e.packageName, package);
        QCOMPARE(e.title, title);
    }
};

QTEST_MAIN(TestExampleWindow)
#include "tst_examplewindow.moc"
