#include "AppWindow.h"
#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/RowsModel.h"

#include <QAction>
#include <QGroupBox>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kExamples = QStringLiteral("host/resources/app/src/boards/Dravonel_examples");
const QString kNotFound = QStringLiteral("! 库文件下载失败！请检查网络后重试！错误代码：-2146697211");

// A window whose host installation lies in the application folder, with the examples of `base`.
struct Window : AppWindow {

    explicit Window(const QString& base) {
        app.writeConfig({"quenra=" + app.file(QStringLiteral("host/Quenra.exe")), "fuwuqi=" + base});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "program");
        QDir().mkpath(app.file(QStringLiteral("host/resources/app/src/boards")));
        start();
        controls::rowsOf(child<QListView>(*window, "List6")).clear();
        platform.clear();
    }
    // Adds `row` to the list and double-clicks it with the mouse; the empty row double-clicks the
    // empty list.
    void doubleClick(const QString& row) {
        if (row.isEmpty()) {
            QTest::mouseDClick(child<QListView>(*window, "List6")->viewport(), Qt::LeftButton);
            return;
        }
        auto* list = child<QListView>(*window, "List6");
        controls::rowsOf(list).setRows(rows(list) << row);
        const QPoint at = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(child<QListView>(*window, "List6")->viewport(), Qt::LeftButton, {}, at);
        if (QByteArray(QTest::currentDataTag()).contains("Enter")) {
            QTest::keyClick(child<QListView>(*window, "List6"), Qt::Key_Return);
            return;
        }
        QTest::mouseDClick(child<QListView>(*window, "List6")->viewport(), Qt::LeftButton, {}, at);
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

    // A row names a package and a title: the package is unpacked into the examples folder and the
    // title's .qnp opened on OK. A row that names nothing, or a failure, stops without the question
    // and leaves the host's folders as they were.
    void doubleClick_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<QString>("file"); // in the examples folder afterwards
        QTest::addColumn<bool>("open");    // the answer to the open question
        const auto row = [](const char* tag, const QString& row, const QStringList& messages,
                            const QStringList& requested, const QString& file = {}, bool open = false) {
            QTest::newRow(tag) << row << messages << requested << file << open;
        };
        const auto opens = [](const QString& title) {
            return QStringList{"安装成功", "? 是否打开【" + title + "】示例？"};
        };
        const QString badName =
            "】含有不能用作文件名的字符（/ \\ : * ? \" < > | 或控制字符），或以点或空格结尾，"
            "或是系统保留的设备名（CON、PRN、AUX、NUL、COM1-COM9、LPT1-LPT9），无法使用！";
        row("plain", "流水灯[led]", opens("流水灯"), {"/led.zip"}, "流水灯.qnp", true);
        row("space and Chinese", "呼吸灯 演示[breath]", opens("呼吸灯 演示"), {"/breath.zip"},
            "呼吸灯 演示.qnp", true);
        row("Enter on the row", "流水灯[led]", opens("流水灯"), {"/led.zip"}, "流水灯.qnp", true);
        row("Cancel opens nothing", "流水灯[led]", opens("流水灯"), {"/led.zip"}, "流水灯.qnp");
        row("404", "丢失[missing]", {kNotFound}, {"/missing.zip"});
        row("empty package name asks for nothing", "空[]", {"! 库名【" + badName}, {});
        row("not a zip", "坏包[bad]", {"! 解压失败"}, {"/bad.zip"});
        row("package name leaving the cache", "越界[../led]", {"! 库名【../led" + badName}, {});
        row("title leaving the examples", "../越界[led]", {"! 示例【../越界" + badName}, {});
        row("title ending in a dot", "流水灯.[led]", {"! 示例【流水灯." + badName}, {});
        row("first brackets name the package, every one leaves the title", "x[led]y[led]", opens("xy"),
            {"/led.zip"}, "流水灯.qnp");
        row("] before [", "a]b[c]", {}, {});
        row("no ]", "无右括号[led", {}, {});
        row("nothing selected", "", {}, {});
    }
    void doubleClick() {
        QFETCH(QString, row);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requested);
        QFETCH(QString, file);
        QFETCH(bool, open);
        Window w(server_->baseUrl());
        const QMap<QString, QByteArray> before = snapshot(w.app.file(QStringLiteral("host")));
        w.platform.answers = {Platform::Answer::Ok, open ? Platform::Answer::Ok : Platform::Answer::Cancel};
        server_->clearLog();
        w.doubleClick(row);
        QCOMPARE(shown(w.platform), messages);
        QCOMPARE(server_->requestLog(), requested);
        if (file.isEmpty()) {
            QCOMPARE(snapshot(w.app.file(QStringLiteral("host"))), before);
        } else {
            QVERIFY(QFileInfo::exists(w.examples() + '/' + file));
        }
        QCOMPARE(w.platform.opened, QStringList(open ? 1 : 0, w.examples() + '/' + file));
    }

    // The panel creates a missing examples folder and leaves whatever stands there alone.
    void panel() {
        Window w(server_->baseUrl());
        writeFile(w.examples(), "a file");
        child<QAction>(*w.window, "guanyu")->trigger(); // another overlay panel is open
        QTest::mouseClick(child<QPushButton>(*w.window, "Command29"), Qt::LeftButton);
        QVERIFY(child<QGroupBox>(*w.window, "Frame14")->isVisible());
        QVERIFY(!child<QGroupBox>(*w.window, "Frame8")->isVisible());
        QCOMPARE(readFile(w.examples()), QByteArray("a file"));
        QTest::mouseClick(child<QPushButton>(*w.window, "Command29"), Qt::LeftButton);
        QVERIFY(!child<QGroupBox>(*w.window, "Frame14")->isVisible());
        QVERIFY(QFile::remove(w.examples()));
        QTest::mouseClick(child<QPushButton>(*w.window, "Command29"), Qt::LeftButton);
        QVERIFY(QFileInfo(w.examples()).isDir());
        writeFile(w.examples() + QStringLiteral("/mine.qnp"), "kept");
        QTest::mouseClick(child<QPushButton>(*w.window, "Command29"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*w.window, "Command29"), Qt::LeftButton);
        QCOMPARE(readFile(w.examples() + QStringLiteral("/mine.qnp")), QByteArray("kept"));
        QTest::mouseClick(child<QPushButton>(*w.window, "Command30"), Qt::LeftButton);
        QCOMPARE(w.platform.opened, QStringList{w.examples()});
    }
};

QTEST_MAIN(TestExampleWindow)
#include "tst_examplewindow.moc"
