#include "AppWindow.h"
#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "settings/Gbk.h"

namespace {

const QString kExamples = QStringLiteral("host/resources/app/src/boards/Dravonel_examples");

// A window with a host installation whose catalog lists `example` as its one shared example.
struct Window : AppWindow {
    Window(const TestServer& server, const QString& example) {
        const QString line = example.isEmpty() ? QString() : QStringLiteral("分享示例：") + example;
        writeFile(server.root() + QStringLiteral("/KU.txt"),
                  gbk::encode(QStringLiteral("公告：示例\r\n") + line));
        app.writeConfig(
            {"quenra=" + app.file(QStringLiteral("host/Quenra.exe")), "fuwuqi=" + server.baseUrl()});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "program");
        QDir().mkpath(app.file(QStringLiteral("host/resources/app/src/boards")));
        start();
        platform.clear();
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

    // A row's package is unpacked into the examples folder and its title's .qnp opened on OK; a row
    // naming nothing, or a failure, stops without the question and leaves the host's folders.
    void doubleClick_data() {
        QTest::addColumn<QString>("row"); // empty: the list is empty and the double click hits nothing
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
        row("space and Chinese", "呼吸灯 演示[breath]", opens("呼吸灯 演示"), {"/breath.zip"},
            "呼吸灯 演示.qnp", true);
        row("Enter on the row, Cancel opens nothing", "流水灯[led]", opens("流水灯"), {"/led.zip"},
            "流水灯.qnp");
        row("404", "丢失[missing]", {"! 库文件下载失败！请检查网络后重试！错误代码：-2146697211"},
            {"/missing.zip"});
        row("not a zip", "坏包[bad]", {"! 解压失败"}, {"/bad.zip"});
        row("package name leaving the cache", "越界[../led]", {"! 库名【../led" + badName}, {});
        row("title leaving the examples", "../越界[led]", {"! 示例【../越界" + badName}, {});
        row("first brackets name the package, every one leaves the title", "x[led]y[led]", opens("xy"),
            {"/led.zip"}, "流水灯.qnp");
        row("no ]", "无右括号[led", {}, {});
        row("] before [", "坏]行[led", {}, {});
        row("nothing selected", "", {}, {});
    }
    void doubleClick() {
        QFETCH(QString, row);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, requested);
        QFETCH(QString, file);
        QFETCH(bool, open);
        Window w(*server_, row);
        auto* list = child<QListView>(*w.window, "List6");
        const QMap<QString, QByteArray> before = snapshot(w.app.file(QStringLiteral("host")));
        w.platform.answers = {Platform::Answer::Ok, open ? Platform::Answer::Ok : Platform::Answer::Cancel};
        server_->clearLog();
        if (row.isEmpty()) {
            QCOMPARE(rows(list), QStringList());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton);
        } else if (QByteArray(QTest::currentDataTag()).contains("Enter")) {
            list->setCurrentIndex(rowOf(list, row));
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            clickRow(list, row);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                               list->visualRect(rowOf(list, row)).center());
        }
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
        Window w(*server_, {});
        writeFile(w.examples(), "a file");
        press(*w.window, "Command29");
        QVERIFY(child<QGroupBox>(*w.window, "Frame14")->isVisible());
        QCOMPARE(readFile(w.examples()), QByteArray("a file"));
        press(*w.window, "Command29");
        QVERIFY(QFile::remove(w.examples()));
        press(*w.window, "Command29");
        QVERIFY(QFileInfo(w.examples()).isDir());
        press(*w.window, "Command30");
        QCOMPARE(w.platform.opened, QStringList{w.examples()});
    }
};

QTEST_MAIN(TestExampleWindow)
#include "tst_examplewindow.moc"
