#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/Form1.h"
#include "settings/Gbk.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kInstalled = QStringLiteral("安装成功");
const QString kOpenHost = QStringLiteral("是否打开Quenra？");
const QString kUnzipFailed = QStringLiteral("解压失败");
const QString kDownloadFailed = QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：");
const QString kRoot = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty");

QString confirmText(const QString& name) {
    return QStringLiteral("是否确定将【") + name + QStringLiteral("】加入到【Uno】库中？");
}

// Every folder and file below `root`, with the content of the files.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        tree.insert(QDir(root).relativeFilePath(path),
                    it.fileInfo().isDir() ? QByteArray("<dir>")
                                          : (f.open(QIODevice::ReadOnly) ? f.readAll() : ""));
    }
    return tree;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray library(const QString& name, const QByteArray& version, bool gbkNames = false) {
    auto entry = [&](const QString& n) { return gbkNames ? gbk::encode(n) : n.toUtf8(); };
    const bool utf8 = !gbkNames;
    return ZipBuilder()
        .folder(entry(name + QLatin1Char('/')))
        .file(entry(name + QLatin1Char('/') + name + QStringLiteral(".xml")), "<xml/>", utf8)
        .file(entry(name + QStringLiteral("/readme.txt")),
              gbk::encode(QStringLiteral("[") + name + QStringLiteral("]\r\n库名=") + name +
                          QStringLiteral("\r\n库版本=")) +
                  version + "\r\n",
              utf8)
        .file(entry(name + QStringLiteral("/examples/示例.qnp")), "<xml/>", utf8)
        .bytes();
}

// The server's folder: the catalog and the packages the tests ask for.
struct ServerFolder {
    QTemporaryDir dir;
    ServerFolder() {
        // Library headers carry one trailing character, as the server writes them.
        const QString catalog =
            QStringLiteral("公告：测试\r\n[AHT20] \r\n库名=AHT20温湿度传感器\r\n库版本=1.2\r\n"
                           "[Servo Motor] \r\n库名=舵机\r\n库版本=1.0\r\n"
                           "[RGB灯带] \r\n库名=RGB灯带\r\n库版本=1.3\r\n"
                           "[Missing] \r\n库名=没有包\r\n[Bad] \r\n库名=坏包\r\n");
        writeFile(path(QStringLiteral("KU.txt")), gbk::encode(catalog));
        writeFile(path(QStringLiteral("AHT20.zip")), library(QStringLiteral("AHT20"), "1.2"));
        writeFile(path(QStringLiteral("Servo Motor.zip")), library(QStringLiteral("Servo Motor"), "1.0"));
        writeFile(path(QStringLiteral("RGB灯带.zip")), library(QStringLiteral("RGB灯带"), "1.3", true));
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
};

struct Window {
    std::unique_ptr<TempAppFolder> app = std::make_unique<TempAppFolder>();
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    Form1& w() const { return *form; }
    QString exe() const { return app->file(QStringLiteral("host/Quenra.exe")); }
    QString root() const { return app->file(kRoot); }
    QString cached(const QString& name) const {
        return app->file(QStringLiteral("Dravonel/ku/Wenjian/")) + name + QStringLiteral(".zip");
    }
    void select(const QString& name) const {
        const QList<QListWidgetItem*> found = form->List2->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        form->List2->setCurrentItem(found.first());
    }
};

// A window on board Uno of a host installation below the application folder, whose catalog comes
// from `base`. `stallMs` shortens the time-out for the tests that wait for it.
std::unique_ptr<Window> open(const QString& base, int stallMs = 3000) {
    auto s = std::make_unique<Window>();
    s->app->writeConfig({QStringLiteral("fuwuqi=") + base, QStringLiteral("quenra=") + s->exe(),
                         QStringLiteral("Kuliebiao=Uno")});
    s->app->writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    s->app->writeFile(kRoot + QStringLiteral("/Other/keep.txt"), "other");
    AppContext context = s->app->context(&s->platform);
    context.timeouts.stallMs = stallMs;
    s->form = std::make_unique<Form1>(context);
    s->form->startUp();
    s->form->show();
    s->platform.clear();
    return s;
}

} // namespace

class TestInstallFlow final : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ServerFolder> files_;
    std::unique_ptr<TestServer> server_;

private Q_SLOTS:
    void initTestCase() {
        files_ = std::make_unique<ServerFolder>();
        server_ = std::make_unique<TestServer>(files_->dir.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }
    void init() { server_->clearLog(); }
    void cleanupTestCase() {
        server_.reset();
        files_.reset();
    }

    void installs_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("requested");
        QTest::newRow("install") << "Command13"
                                 << "AHT20"
                                 << "/AHT20.zip";
        QTest::newRow("update, name with a space") << "Command19"
                                                   << "Servo Motor"
                                                   << "/Servo%20Motor.zip";
        QTest::newRow("reinstall, Chinese name, GBK entries")
            << "Command6" << QStringLiteral("RGB灯带") << "/RGB%E7%81%AF%E5%B8%A6.zip";
    }
    void installs() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, requested);
        auto s = open(server_->baseUrl());
        QVERIFY(s->w().List2->count() >= 5); // the start-up catalog
        server_->clearLog();
        // A package already in the cache is replaced by the download.
        s->app->writeFile(QStringLiteral("Dravonel/ku/Wenjian/") + name + QStringLiteral(".zip"), "stale");
        s->select(name);
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok << Platform::Answer::Ok;
        s->w().findChild<QPushButton*>(button)->click();

        QCOMPARE(s->platform.messageTexts(), (QStringList{confirmText(name), kInstalled, kOpenHost}));
        QCOMPARE(server_->requestLog(), QStringList{requested});
        QCOMPARE(s->platform.progressLabels.size(), 1);
        QCOMPARE(readAll(s->cached(name)), readAll(files_->path(name + QStringLiteral(".zip"))));
        QCOMPARE(
            readAll(s->root() + QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".xml")),
            QByteArray("<xml/>"));
        QVERIFY(QFile::exists(s->root() + QLatin1Char('/') + name + QStringLiteral("/examples/示例.qnp")));
        QCOMPARE(readAll(s->root() + QStringLiteral("/Other/keep.txt")), QByteArray("other"));
        QVERIFY(!s->w().List3->findItems(name, Qt::MatchExactly).isEmpty());
        QCOMPARE(s->platform.started, QStringList{s->exe()});
        // The details now show the library as installed at the catalog's version.
        s->w().List3->setCurrentItem(s->w().List3->findItems(name, Qt::MatchExactly).first());
        QVERIFY(s->w().Command6->isVisibleTo(&s->w()));
    }

    void cancelKeepsOnlyThePackage() {
        auto s = open(server_->baseUrl());
        const QMap<QString, QByteArray> before = snapshot(s->app->file(QStringLiteral("host")));
        const int listed = s->w().List3->count();
        s->select(QStringLiteral("AHT20"));
        s->w().Command13->click(); // Cancel is the question's default
        QCOMPARE(s->platform.messageTexts(), QStringList{confirmText(QStringLiteral("AHT20"))});
        QCOMPARE(readAll(s->cached(QStringLiteral("AHT20"))),
                 readAll(files_->path(QStringLiteral("AHT20.zip"))));
        QCOMPARE(snapshot(s->app->file(QStringLiteral("host"))), before);
        QCOMPARE(s->w().List3->count(), listed);
        QVERIFY(s->platform.started.isEmpty());
    }

    void downloadFailures_data() {
        QTest::addColumn<QString>("mode"); // the server's misbehaviour, or a special case
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::newRow("missing package") << ""
                                         << "Missing" << -2146697211;
        QTest::newRow("404") << "status/404"
                             << "AHT20" << -2146697211;
        QTest::newRow("500") << "status/500"
                             << "AHT20" << -2146697208;
        QTest::newRow("cut-off body") << "cut"
                                      << "AHT20" << -2146697208;
        QTest::newRow("stalled") << "stall"
                                 << "AHT20" << -2146697205;
        QTest::newRow("refused") << "<refused>"
                                 << "AHT20" << -2146697212;
        QTest::newRow("cancelled") << "<cancel>"
                                   << "AHT20" << -2147467260;
        QTest::newRow("no cache folder") << "<no cache>"
                                         << "AHT20" << -2147024893;
    }
    void downloadFailures() {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(int, code);
        auto s = open(server_->baseUrl(), 800);
        QString base = server_->baseUrl(mode.startsWith(QLatin1Char('<')) ? QString() : mode);
        if (mode == QLatin1String("<refused>")) {
            base = QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort());
        }
        s->w().settings().write(QStringLiteral("fuwuqi"), base);
        if (mode == QLatin1String("<cancel>")) {
            s->platform.cancelOnFirstProgress = true;
        }
        if (mode == QLatin1String("<no cache>")) {
            QVERIFY(QDir(s->app->file(QStringLiteral("Dravonel/ku/Wenjian"))).removeRecursively());
        } else {
            s->app->writeFile(QStringLiteral("Dravonel/ku/Wenjian/") + name + QStringLiteral(".zip"),
                              "earlier");
        }
        const QMap<QString, QByteArray> before = snapshot(s->app->path());
        s->select(name);
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok << Platform::Answer::Ok;
        s->w().Command13->click();
        QCOMPARE(s->platform.messageTexts(), QStringList{kDownloadFailed + QString::number(code)});
        QCOMPARE(s->platform.messages.first().icon, Platform::Icon::Exclamation);
        // The package already in the cache, and everything else, stay as they were.
        QCOMPARE(snapshot(s->app->path()), before);
    }

    void emptySelectionAsksForDotZip() {
        auto s = open(server_->baseUrl());
        s->w().List2->setCurrentRow(-1);
        s->w().List2->clearSelection();
        server_->clearLog();
        s->w().Command13->click();
        QCOMPARE(server_->requestLog(), QStringList{QStringLiteral("/.zip")});
        QCOMPARE(s->platform.messageTexts(), QStringList{kDownloadFailed + QStringLiteral("-2146697211")});
    }

    void unsafeNameAsksForNothing() {
        auto s = open(server_->baseUrl());
        s->w().List2->addItem(QStringLiteral("../../evil"));
        s->select(QStringLiteral("../../evil"));
        server_->clearLog();
        const QMap<QString, QByteArray> before = snapshot(s->app->path());
        s->w().Command13->click();
        QVERIFY(server_->requestLog().isEmpty());
        QCOMPARE(s->platform.messages.size(), 1);
        QVERIFY(s->platform.messages.first().text.contains(QStringLiteral("【../../evil】")));
        QCOMPARE(snapshot(s->app->path()), before);
    }

    void hostPathOfAnotherNameFailsVisibly() {
        auto s = open(server_->baseUrl());
        // The derivation leaves such a path as it is, so the destination is the program file itself.
        const QString other = s->app->file(QStringLiteral("host/quenra.exe"));
        s->app->writeFile(QStringLiteral("host/quenra.exe"), "program");
        s->w().Text8->setText(other);
        s->select(QStringLiteral("AHT20"));
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok;
        s->w().Command13->click();
        QCOMPARE(s->platform.messageTexts(),
                 (QStringList{confirmText(QStringLiteral("AHT20")), kUnzipFailed}));
        QCOMPARE(readAll(other), QByteArray("program"));
    }

    void refusedPackagesInstallNothing_data() {
        QTest::addColumn<QByteArray>("package");
        const auto good = [] { return ZipBuilder().folder("Bad/").file("Bad/Bad.xml", "<xml/>"); };
        QTest::newRow("parent elements") << good().file("../../../../evil.txt", "x").bytes();
        QTest::newRow("absolute path") << QByteArray("<absolute>");
        QTest::newRow("escaping symlink")
            << good().symlink("Bad/up", "../../../..").file("Bad/up/evil.txt", "x").bytes();
        const QByteArray whole = good().file("Bad/big.bin", QByteArray(300000, 'q')).bytes();
        QTest::newRow("truncated") << whole.left(whole.size() / 2);
    }
    void refusedPackagesInstallNothing() {
        QFETCH(QByteArray, package);
        auto s = open(server_->baseUrl());
        if (package == "<absolute>") {
            const QByteArray target = QFile::encodeName(s->app->file(QStringLiteral("evil.txt")));
            package = ZipBuilder().file("Bad/Bad.xml", "<xml/>").file(target, "x").bytes();
        }
        writeFile(files_->path(QStringLiteral("Bad.zip")), package);
        const QMap<QString, QByteArray> host = snapshot(s->app->file(QStringLiteral("host")));
        s->select(QStringLiteral("Bad"));
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok << Platform::Answer::Ok;
        s->w().Command13->click();
        QCOMPARE(s->platform.messageTexts(), (QStringList{confirmText(QStringLiteral("Bad")), kUnzipFailed}));
        QCOMPARE(s->platform.messages.last().icon, Platform::Icon::Exclamation);
        QCOMPARE(snapshot(s->app->file(QStringLiteral("host"))), host);
        QVERIFY(!QFileInfo::exists(s->app->file(QStringLiteral("evil.txt"))));
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/evil.txt")));
        QVERIFY(s->platform.started.isEmpty());
    }
};

QTEST_MAIN(TestInstallFlow)
#include "tst_installflow.moc"
