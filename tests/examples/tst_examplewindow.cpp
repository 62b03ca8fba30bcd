#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/Form1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kInstalled = QStringLiteral("安装成功");
const QString kNotFound = QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：-2146697211");
const QString kBoards = QStringLiteral("host/resources/app/src/boards");
const QString kExamples = QStringLiteral("host/resources/app/src/boards/Dravonel_examples");

QString question(const QString& title) {
    return QStringLiteral("是否打开【") + title + QStringLiteral("】示例？");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A window whose host installation lies in the app folder, with the example packages of `server`.
struct Window {
    QTemporaryDir packages;
    std::unique_ptr<TestServer> server;
    std::unique_ptr<TempAppFolder> app;
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    explicit Window(const QString& serverMode = QString()) {
        // led.zip holds 流水灯.qnp; breath.zip a title with a space; bad.zip is not a zip at all.
        writeFile(
            packages.filePath(QStringLiteral("led.zip")),
            ZipBuilder().file(QStringLiteral("流水灯.qnp").toUtf8(), "{\"title\":\"流水灯\"}", true).bytes());
        writeFile(packages.filePath(QStringLiteral("breath.zip")),
                  ZipBuilder().file(QStringLiteral("呼吸灯 演示.qnp").toUtf8(), "{}", true).bytes());
        writeFile(packages.filePath(QStringLiteral("bad.zip")), "this is no archive");
        server = std::make_unique<TestServer>(packages.path());
        app = std::make_unique<TempAppFolder>();
        app->writeConfig({QStringLiteral("quenra=") + app->file(QStringLiteral("host/Quenra.exe")),
                          QStringLiteral("fuwuqi=") + server->baseUrl(serverMode)});
        QDir().mkpath(app->file(kBoards));
        form = std::make_unique<Form1>(app->context(&platform));
        form->startUp();
        form->List6->clear();
        form->List6->addItems({QStringLiteral("流水灯[led]"), QStringLiteral("呼吸灯 演示[breath]"),
                               QStringLiteral("丢失[missing]"), QStringLiteral("空[]"),
                               QStringLiteral("坏包[bad]"), QStringLiteral("a]b[c]"),
                               QStringLiteral("无右括号[led"), QStringLiteral("越界[../led]"),
                               QStringLiteral("../越界[led]")});
        platform.clear();
        server->clearLog();
    }

    void doubleClick(const QString& row) {
        const QList<QListWidgetItem*> found = form->List6->findItems(row, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        form->List6->setCurrentItem(found.first());
        form->List6_DblClick();
    }
    QString examples() const { return app->file(kExamples); }
};

} // namespace

class TestExampleWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installsAndOpensTheExample_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << "流水灯[led]"
                               << "流水灯";
        QTest::newRow("space and Chinese") << "呼吸灯 演示[breath]"
                                           << "呼吸灯 演示";
    }
    void installsAndOpensTheExample() {
        QFETCH(QString, row);
        QFETCH(QString, title);
        Window w;
        QVERIFY2(w.server->isRunning(), qPrintable(w.server->errorText()));
        w.platform.answers = {Platform::Answer::Ok, Platform::Answer::Ok};
        w.doubleClick(row);
        const QString file = w.examples() + QLatin1Char('/') + title + QStringLiteral(".qnp");
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(w.platform.messageTexts(), (QStringList{kInstalled, question(title)}));
        QCOMPARE(w.platform.messages.last().icon, Platform::Icon::Question);
        QCOMPARE(w.platform.messages.last().defaultButton, Platform::Answer::Cancel);
        QCOMPARE(w.platform.opened, QStringList{file});
    }

    void cancelOpensNothing() {
        Window w;
        w.platform.answers = {Platform::Answer::Ok, Platform::Answer::Cancel};
        w.doubleClick(QStringLiteral("流水灯[led]"));
        QVERIFY(QFileInfo::exists(w.examples() + QStringLiteral("/流水灯.qnp")));
        QVERIFY(w.platform.opened.isEmpty());
    }

    void realDoubleClickInstalls() {
        Window w;
        w.form->show();
        QListWidgetItem* item = w.form->List6->item(0);
        w.form->List6->setCurrentItem(item);
        const QPoint at = w.form->List6->visualItemRect(item).center();
        QTest::mouseClick(w.form->List6->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.form->List6->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w.platform.messageTexts().value(0), kInstalled);
    }

    void failuresStopBeforeTheQuestion_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("requested");
        QTest::newRow("404") << "丢失[missing]" << kNotFound << "/missing.zip";
        QTest::newRow("empty package name asks for .zip") << "空[]" << kNotFound << "/.zip";
        QTest::newRow("not a zip") << "坏包[bad]"
                                   << "解压失败"
                                   << "/bad.zip";
    }
    void failuresStopBeforeTheQuestion() {
        QFETCH(QString, row);
        QFETCH(QString, message);
        QFETCH(QString, requested);
        Window w;
        w.doubleClick(row);
        QCOMPARE(w.platform.messageTexts(), QStringList{message});
        QCOMPARE(w.server->requestLog(), QStringList{requested});
        QVERIFY(w.platform.opened.isEmpty());
    }

    void rowsNamingNoExampleDoNothing_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("] before [") << "a]b[c]";
        QTest::newRow("no ]") << "无右括号[led";
    }
    void rowsNamingNoExampleDoNothing() {
        QFETCH(QString, row);
        Window w;
        w.doubleClick(row);
        QVERIFY(w.platform.messages.isEmpty());
        QVERIFY(w.server->requestLog().isEmpty());
    }

    void nothingSelectedDoesNothing() {
        Window w;
        w.form->List6->setCurrentRow(-1);
        w.form->List6_DblClick();
        QVERIFY(w.platform.messages.isEmpty());
        QVERIFY(w.server->requestLog().isEmpty());
    }

    void namesThatLeaveTheirFolderAreRefused_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("package name") << "越界[../led]";
        QTest::newRow("title") << "../越界[led]";
    }
    void namesThatLeaveTheirFolderAreRefused() {
        QFETCH(QString, row);
        Window w;
        w.doubleClick(row);
        QCOMPARE(w.platform.messages.size(), 1);
        QVERIFY(w.platform.messages.first().text.contains(QStringLiteral("无法下载")));
        QVERIFY(w.server->requestLog().isEmpty());
        QVERIFY(!QFileInfo::exists(w.app->file(QStringLiteral("host/resources/app/src/boards/越界.qnp"))));
    }

    void panelCreatesTheExamplesFolderOnce() {
        Window w;
        QVERIFY(!QFileInfo::exists(w.examples()));
        w.form->show();
        w.form->toggleOverlay(w.form->Frame8); // another overlay panel is open
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QVERIFY(w.form->Frame14->isVisible());
        QVERIFY(!w.form->Frame8->isVisible());
        QVERIFY(QFileInfo(w.examples()).isDir());
        writeFile(w.examples() + QStringLiteral("/mine.qnp"), "kept");
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QVERIFY(!w.form->Frame14->isVisible());
        QTest::mouseClick(w.form->Command29, Qt::LeftButton);
        QVERIFY(QFileInfo::exists(w.examples() + QStringLiteral("/mine.qnp")));
        QTest::mouseClick(w.form->Command30, Qt::LeftButton);
        QCOMPARE(w.platform.opened, QStringList{w.examples()});
    }

    void examplesPathThatIsAFileIsLeftAlone() {
        Window w;
        writeFile(w.examples(), "a file");
        w.form->Command29_Click();
        QVERIFY(QFileInfo(w.examples()).isFile());
    }
};

QTEST_MAIN(TestExampleWindow)
#include "tst_examplewindow.moc"
