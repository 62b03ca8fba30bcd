// Bad networks, bad disks and a killed process against the real flows of the main window: after every
// row the settings file, the catalog cache, the package cache, the library root and the examples
// folder are byte for byte as before, or exactly the complete new content; nothing else in the
// application folder changed (no staging folder, no temporary file), and the messages shown are the
// row's, in order (so no success ever follows a failure).
#include "Fixtures.h"
#include "Places.h"
#include "TestServer.h"
#include "Widgets.h"
#include "WindowSession.h"
#include "ZipBuilder.h"
#include "app/MainWindow.h"
#include "install/Extract.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace faults;

namespace {

// The messages, as users read them.
const QString CatalogFailed = QStringLiteral("库文件更新解析失败！请检查网络后重试！");
const QString RefreshFailed = QStringLiteral("库文件更新失败！请检查网络后重试！");
const QString UpToDate = QStringLiteral("库列表已更新为最新版！");
const QString UnzipFailed = QStringLiteral("解压失败");
const QString Installed = QStringLiteral("安装成功");
const QString OpenHost = QStringLiteral("是否打开Quenra？");
const QString SaveFailed = QStringLiteral("设置保存失败！请检查Dravonel文件夹是否可写。");
// A trailing "*": the message starts with the text before it (the path that follows varies).
const QString CopyFailed = QStringLiteral("库文件夹复制失败，库未安装！请检查文件夹权限后重试！\r\n*");

// Codes of failed package downloads.
constexpr qint32 NotFound = -2146697211;
constexpr qint32 CannotConnect = -2146697212;
constexpr qint32 TimedOut = -2146697205;
constexpr qint32 Failed = -2146697208;
constexpr qint32 CacheUnwritable = -2147024893;

QString downloadFailed(qint32 code) {
    return QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：") + QString::number(code);
}
QString confirm(const QString& name) {
    return QStringLiteral("是否确定将【") + name + QStringLiteral("】加入到【Uno】库中？");
}
QString openExample(const QString& title) {
    return QStringLiteral("是否打开【") + title + QStringLiteral("】示例？");
}
QStringList installedMessages(const QString& name) {
    return {confirm(name), Installed, OpenHost};
}

bool sameMessages(const QStringList& expected, const QStringList& actual) {
    if (expected.size() != actual.size()) {
        return false;
    }
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString& e = expected[i];
        const bool matches =
            e.endsWith(QLatin1Char('*')) ? actual[i].startsWith(e.chopped(1)) : actual[i] == e;
        if (!matches) {
            return false;
        }
    }
    return true;
}

// A disk that refuses writes, undone when the object goes (before the temporary folder is removed).
class DiskFault final {
public:
    DiskFault() = default;
    ~DiskFault() {
        for (const QString& path : immutable_) {
            setImmutable(path, false);
        }
        for (const auto& [path, permissions] : permissions_) {
            QFile::setPermissions(path, permissions);
        }
    }
    Q_DISABLE_COPY_MOVE(DiskFault)

    // Applies the named fault to the application folder; returns why it cannot be applied here, or
    // empty text.
    QString apply(const QString& name, const AppFixture& app) {
        const QString root = app.file(LibraryRoot);
        if (name == QLatin1String("no ku")) {
            QDir(app.file(QStringLiteral("Dravonel/ku"))).removeRecursively();
        } else if (name == QLatin1String("no Wenjian")) {
            QDir(app.file(PackageCache)).removeRecursively();
        } else if (name == QLatin1String("config read-only")) {
            readOnly(app.file(SettingsFile));
        } else if (name == QLatin1String("root read-only")) {
            return readOnlyTree(root);
        } else if (name == QLatin1String("examples read-only")) {
            return readOnlyTree(app.file(ExamplesFolder));
        } else if (name == QLatin1String("root is a file")) {
            QDir(root).removeRecursively();
            QFile f(root);
            if (!f.open(QIODevice::WriteOnly) || f.write("not a folder") < 0) {
                return QStringLiteral("cannot write ") + root;
            }
        } else if (name == QLatin1String("no parent")) {
            QDir(QFileInfo(root).path()).removeRecursively();
        } else if (!name.isEmpty()) {
            return QStringLiteral("unknown disk fault ") + name;
        }
        return {};
    }

private:
    void readOnly(const QString& path) {
        const QFile::Permissions p = QFile::permissions(path);
        permissions_.append({path, p});
        QFile::setPermissions(
            path, p & ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther));
    }

    // Clears the write bits of a folder and everything in it. The administrator writes through
    // permission bits, so for root the folders are also made immutable, which stops every user.
    QString readOnlyTree(const QString& folder) {
        QStringList paths{folder};
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            paths << it.next();
        }
        for (const QString& path : paths) {
            readOnly(path);
        }
        if (geteuid() != 0) {
            return {};
        }
        for (const QString& path : paths) {
            if (!setImmutable(path, true)) {
                return QStringLiteral("running as root, where permission bits do not stop writes, and the "
                                      "immutable attribute cannot be set on this file system");
            }
            immutable_ << path;
        }
        return {};
    }

    static bool setImmutable(const QString& path, bool on) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }

    QStringList immutable_;
    QList<QPair<QString, QFile::Permissions>> permissions_;
};

} // namespace

class TestFaults final : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ServerFiles> files_;
    std::unique_ptr<TestServer> server_;
    struct UpgradeScene {
        std::unique_ptr<AppFixture> app;
        Tree package;
        Places before;
    };
    std::unique_ptr<UpgradeScene> upgrade_;

    static void addColumns() {
        QTest::addColumn<Flow>("flow");
        QTest::addColumn<QString>("server"); // the server's misbehaviour (TestServer.h), or "<refused>"
        QTest::addColumn<QString>("disk");   // a DiskFault, applied just before the flow
        QTest::addColumn<QString>("item");   // what the flow installs
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("changed"); // the places that get complete new content
    }
    static void row(const QString& name, Flow flow, const QString& server, const QString& disk,
                    const QString& item, const QStringList& messages, const QStringList& changed) {
        QTest::newRow(qPrintable(name)) << flow << server << disk << item << messages << changed;
    }

    // The new content of each changed place after a complete operation.
    Changes expectedChanges(const QStringList& changed, const Places& before, Flow flow, const QString& item,
                            const AppFixture& app) const {
        Changes c;
        for (const QString& place : changed) {
            if (place == QLatin1String("catalog")) {
                c.catalog = Tree{{QStringLiteral("."), files_->newCatalog()}};
            } else if (place == QLatin1String("packages")) {
                c.packages =
                    withFiles(before.packages, {{item + QStringLiteral(".zip"), files_->package(item)}});
            } else if (place == QLatin1String("root")) {
                c.libraryRoot =
                    withFiles(before.libraryRoot, flow == Flow::LocalInstall ? app.localLibraryFiles()
                                                                             : files_->packageFiles(item));
            } else if (place == QLatin1String("examples")) {
                c.examples = withFiles(before.examples, files_->packageFiles(item));
            } else if (place == QLatin1String("settings")) {
                QByteArray settings = before.settings.value(QStringLiteral("."));
                settings.replace("Kuliebiao=Uno", "Kuliebiao=Mega");
                c.settings = Tree{{QStringLiteral("."), settings}};
            } else {
                qFatal("unknown place %s", qPrintable(place));
            }
        }
        return c;
    }

    // Runs the current row, in this process or in a child whose files may not grow past DiskLimit.
    void runRow(bool diskFull) {
        QFETCH(Flow, flow);
        QFETCH(QString, server);
        QFETCH(QString, disk);
        QFETCH(QString, item);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, changed);

        const QString goodBase = server_->baseUrl();
        AppFixture app(*files_, goodBase);
        DiskFault fault;
        FlowRequest request;
        request.flow = flow;
        request.appDir = app.path();
        request.faultyBase = server == QLatin1String("<refused>")
                                 ? QStringLiteral("http://127.0.0.1:%1/new/").arg(TestServer::unusedPort())
                                 : server_->baseUrl(server) + QStringLiteral("new/");
        request.item = item;
        // Short only where the row waits for the time-out.
        request.stallMs = server == QLatin1String("stall") ? 400 : 3000;
        if (server == QLatin1String("trickle")) {
            request.catalogDeadlineMs = 1500;
        }
        // The 1 GiB a package may have, made small so a row need not send it.
        if (server.startsWith(QLatin1String("big"))) {
            request.packageMaxBytes = 1 << 20;
        }

        Places before;
        QStringList shown;
        if (diskFull) {
            ChildWindow child;
            QVERIFY2(child.start(request, DiskLimit), qPrintable(child.errorText()));
            const QString why = fault.apply(disk, app);
            if (!why.isEmpty()) {
                QSKIP(qPrintable(why));
            }
            before = snapshotPlaces(app.path());
            child.go();
            shown = child.finish();
            QVERIFY2(!child.wasKilled(), "the flow ended the process");
        } else {
            WindowSession session(request);
            session.prepare();
            const QString why = fault.apply(disk, app);
            if (!why.isEmpty()) {
                QSKIP(qPrintable(why));
            }
            before = snapshotPlaces(app.path());
            session.run();
            shown = session.platform.messageTexts();
        }
        const Places after = snapshotPlaces(app.path());

        QVERIFY2(sameMessages(messages, shown), qPrintable(QStringLiteral("expected:\n  %1\nshown:\n  %2")
                                                               .arg(messages.join(QStringLiteral("\n  ")),
                                                                    shown.join(QStringLiteral("\n  ")))));
        const QString problems =
            comparePlaces(before, after, expectedChanges(changed, before, flow, item, app));
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

private Q_SLOTS:
    void initTestCase() {
        files_ = std::make_unique<ServerFiles>();
        server_ = std::make_unique<TestServer>(files_->path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }
    void cleanupTestCase() {
        upgrade_.reset();
        server_.reset();
        files_.reset();
    }

    // A bad network, or a bad package from a good one.
    void network_data() {
        addColumns();
        const QStringList none;
        const QStringList catalog{QStringLiteral("catalog")};
        const QStringList package{QStringLiteral("packages")};
        const QString lib = QStringLiteral("AHT20");

        // The catalog download of the start-up.
        const QList<std::pair<QString, QString>> catalogFaults{
            {"<refused>", "connection refused"},
            {"reset", "connection reset mid-body"},
            {"stall", "stalled after the headers"},
            {"status/404", "404 page with 公告"},
            {"plain/404", "404 without 公告"},
            {"status/500", "500 page with 公告"},
            {"plain/500", "500 without 公告"},
            {"loop", "redirect loop"},
            {"big", "64 MiB + 1 announced"},
            {"big-nolength", "64 MiB + 1 without a length"},
            {"gzip/cut", "gzip server, body cut at 60 %"},
            {"chunked/cut", "chunked without the last chunk"},
            {"trickle", "one byte at a time, past the deadline"},
        };
        for (const auto& [server, what] : catalogFaults) {
            row("start-up: " + what, Flow::StartUp, server, {}, {}, {CatalogFailed}, none);
        }
        row("start-up: 200 without 公告", Flow::StartUp, "nomarker", {}, {}, {RefreshFailed}, none);
        row("start-up: no fault", Flow::StartUp, {}, {}, {}, none, catalog);

        // The refresh of the menu (the same transfer as the start-up's, so a few rows suffice).
        row("refresh: connection refused", Flow::Refresh, "<refused>", {}, {}, {RefreshFailed}, none);
        row("refresh: connection reset mid-body", Flow::Refresh, "reset", {}, {}, {RefreshFailed}, none);
        row("refresh: 64 MiB + 1 announced", Flow::Refresh, "big", {}, {}, {RefreshFailed}, none);
        row("refresh: 200 without 公告", Flow::Refresh, "nomarker", {}, {}, {RefreshFailed}, none);
        row("refresh: no fault", Flow::Refresh, {}, {}, {}, {UpToDate}, catalog);

        // The library install flow: the package download...
        const QList<std::tuple<QString, QString, qint32>> packageFaults{
            {"<refused>", "connection refused", CannotConnect},
            {"reset", "connection reset mid-body", Failed},
            {"stall", "stalled after the headers", TimedOut},
            {"status/404", "404 page with 公告", NotFound},
            {"plain/404", "404 without 公告", NotFound},
            {"status/500", "500 page with 公告", Failed},
            {"plain/500", "500 without 公告", Failed},
            {"loop", "redirect loop", Failed},
            {"gzip/cut", "gzip server, body cut at 60 %", Failed},
            {"big", "past the package limit, announced", Failed},
            {"big-nolength", "past the package limit, not announced", Failed},
        };
        for (const auto& [server, what, code] : packageFaults) {
            row("install: " + what, Flow::Install, server, {}, lib, {downloadFailed(code)}, none);
        }
        // ... and the package.
        const QList<std::pair<QString, QString>> badPackages{
            {"NotZip", "a package that is not a zip"},
            {"Bomb", "a zip bomb"},
            {"Slip", "an entry leading out of the library root"},
            {"Link", "a link entry leading out, and a file through it"},
        };
        for (const auto& [name, what] : badPackages) {
            row("install: " + what, Flow::Install, {}, {}, name, {confirm(name), UnzipFailed}, package);
        }
        row("install: no fault", Flow::Install, {}, {}, lib, installedMessages(lib), {"packages", "root"});

        // A shared example.
        row("example: 404 page with 公告", Flow::Example, "status/404", {}, "led", {downloadFailed(NotFound)},
            none);
        row("example: connection reset mid-body", Flow::Example, "reset", {}, "led", {downloadFailed(Failed)},
            none);
        row("example: a package that is not a zip", Flow::Example, {}, {}, "badled", {UnzipFailed}, package);
        row("example: an entry leading out of the examples folder", Flow::Example, {}, {}, "slipled",
            {UnzipFailed}, package);
        row("example: no fault", Flow::Example, {}, {}, "led",
            {Installed, openExample(QStringLiteral("流水灯"))}, {"packages", "examples"});
    }
    void network() { runRow(false); }

    // Missing, read-only or misplaced folders and files.
    void disk_data() {
        addColumns();
        const QStringList none;
        const QString lib = QStringLiteral("AHT20");
        const QString local = QStringLiteral("MyLib");
        const QStringList package{QStringLiteral("packages")};
        const QStringList unzipFailed{confirm(lib), UnzipFailed};
        const QStringList copyFailed{confirm(local), CopyFailed};

        row("start-up: ku missing", Flow::StartUp, {}, "no ku", {}, {CatalogFailed}, none);
        row("refresh: ku missing", Flow::Refresh, {}, "no ku", {}, {RefreshFailed}, none);
        row("install: ku/Wenjian missing", Flow::Install, {}, "no Wenjian", lib,
            {downloadFailed(CacheUnwritable)}, none);
        row("example: ku/Wenjian missing", Flow::Example, {}, "no Wenjian", "led",
            {downloadFailed(CacheUnwritable)}, none);

        row("board choice: no fault", Flow::BoardChoice, {}, {}, {}, none, {"settings"});
        // The file stays as it was, and the user is told.
        row("board choice: config.ini read-only", Flow::BoardChoice, {}, "config read-only", {}, {SaveFailed},
            none);

        row("install: library root read-only", Flow::Install, {}, "root read-only", lib, unzipFailed,
            package);
        row("install: library root is a file", Flow::Install, {}, "root is a file", lib, unzipFailed,
            package);
        row("install: destination parent missing", Flow::Install, {}, "no parent", lib, unzipFailed, package);
        row("example: examples folder read-only", Flow::Example, {}, "examples read-only", "led",
            {UnzipFailed}, package);

        row("local install: no fault", Flow::LocalInstall, {}, {}, local, installedMessages(local), {"root"});
        row("local install: library root read-only", Flow::LocalInstall, {}, "root read-only", local,
            copyFailed, none);
        row("local install: library root is a file", Flow::LocalInstall, {}, "root is a file", local,
            copyFailed, none);
        // A copy creates the folders it needs.
        row("local install: destination parent missing", Flow::LocalInstall, {}, "no parent", local,
            installedMessages(local), {"root"});
    }
    void disk() { runRow(false); }

    // A full disk: the flow runs in a child process whose files cannot grow past DiskLimit (a write
    // past it fails with EFBIG). Only what the flow itself writes is larger than that.
    void diskFull_data() {
        addColumns();
        const QStringList none;
        const QStringList copyFailed{confirm(QStringLiteral("MyLib")), CopyFailed};
        row("start-up: the catalog cache", Flow::StartUp, {}, {}, {}, {CatalogFailed}, none);
        row("refresh: the catalog cache", Flow::Refresh, {}, {}, {}, {RefreshFailed}, none);
        row("install: the package", Flow::Install, {}, {}, "AHT20", {downloadFailed(CacheUnwritable)}, none);
        row("install: the extraction", Flow::Install, {}, {}, "Packed",
            {confirm(QStringLiteral("Packed")), UnzipFailed}, {"packages"});
        row("local install: the copy", Flow::LocalInstall, {}, {}, "MyLib", copyFailed, none);
        row("local install: the copy into a library root it creates", Flow::LocalInstall, {}, "no parent",
            "MyLib", copyFailed, none);
        row("board choice: the settings file", Flow::BoardChoice, {}, {}, {}, {SaveFailed}, none);
    }
    void diskFull() { runRow(true); }

    // The process killed in the middle of a package download, then started again.
    void killedDownload_data() {
        QTest::addColumn<bool>("oldPackage");
        QTest::newRow("an older package in the cache") << true;
        QTest::newRow("no package in the cache") << false;
    }
    void killedDownload() {
        QFETCH(bool, oldPackage);
        const QString goodBase = server_->baseUrl();
        AppFixture app(*files_, goodBase);
        if (!oldPackage) {
            QVERIFY(QFile::remove(app.file(PackageCache + QStringLiteral("/AHT20.zip"))));
        }
        FlowRequest request;
        request.flow = Flow::Install;
        request.appDir = app.path();
        request.faultyBase = server_->baseUrl(QStringLiteral("slow")) + QStringLiteral("new/");
        request.item = QStringLiteral("AHT20");

        ChildWindow child;
        QVERIFY2(child.start(request, 0), qPrintable(child.errorText()));
        const Places before = snapshotPlaces(app.path());
        child.go();
        QVERIFY2(child.waitForBytes(), "no progress report with bytes");
        child.kill();
        QVERIFY(child.wasKilled());
        // The package cache holds the old package or none, whole; nothing else changed.
        const QString problems = comparePlaces(before, snapshotPlaces(app.path()), {});
        QVERIFY2(problems.isEmpty(), qPrintable(problems));

        // Started again (with the network healthy now: the configured server answers at once), the
        // window shows the catalog and nothing else, and installs normally.
        request.faultyBase = goodBase + QStringLiteral("new/");
        AppFolder folder;
        folder.dir = app.path();
        folder.sep = QLatin1Char('/');
        QVERIFY(Settings(folder).write(keys::CatalogServer, request.faultyBase));
        WindowSession again(request);
        again.prepare();
        QCOMPARE(again.platform.messageTexts(), QStringList());
        QVERIFY(!::child<QListWidget>(*again.window(), "List2")
                     ->findItems(QStringLiteral("AHT20"), Qt::MatchExactly)
                     .isEmpty());
        again.run();
        QCOMPARE(again.platform.messageTexts(), installedMessages(QStringLiteral("AHT20")));
        QFile cached(app.file(PackageCache + QStringLiteral("/AHT20.zip")));
        QVERIFY(cached.open(QIODevice::ReadOnly));
        QCOMPARE(cached.readAll(), files_->package(QStringLiteral("AHT20")));
    }

    // A kill -9 at every step of an upgrade of a library of 30,000 files over its older version, each
    // followed by a start: the library root holds wholly the old or wholly the new library, and
    // nothing is left beside it.
    void killedUpgrade_data() {
        QTest::addColumn<QString>("stop"); // the step the child stops before ("N"), or runs on in ("N+")
        using S = install::Step;
        const auto row = [](const char* name, S step, bool goesOn) {
            QTest::newRow(name) << QString::number(int(step)) + (goesOn ? QStringLiteral("+") : QString());
        };
        row("while unpacking", S::Unpack, true);
        row("while copying the old folder", S::Prepare, true);
        row("before the journal", S::Journal, false);
        row("before the old folder goes aside", S::SetAside, false);
        row("between old aside and new in", S::MoveIn, false);
        row("while the old folder is removed", S::Clean, true);
    }
    void killedUpgrade() {
        QFETCH(QString, stop);
        const QString goodBase = server_->baseUrl();
        if (!upgrade_) {
            // One installed library for every row (30,000 files are slow to write and remove): each
            // row leaves it wholly old, or wholly new, which is then put back to old.
            upgrade_ = std::make_unique<UpgradeScene>();
            upgrade_->app = std::make_unique<AppFixture>(*files_, goodBase);
            const QString big = upgrade_->app->file(LibraryRoot + QStringLiteral("/Big"));
            for (int d = 0; d < 300; ++d) {
                const QString folder = big + QStringLiteral("/d%1/").arg(d);
                QVERIFY(QDir().mkpath(folder));
                for (int f = 0; f < 100; ++f) {
                    QFile file(folder + QStringLiteral("f%1").arg(f));
                    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
                }
            }
            // The package replaces the files of one folder and adds one file.
            upgrade_->package.insert(QStringLiteral("Big/added.txt"), "new");
            for (int f = 0; f < 100; ++f) {
                upgrade_->package.insert(QStringLiteral("Big/d7/f%1").arg(f), "new");
            }
            ZipBuilder zip;
            for (auto it = upgrade_->package.cbegin(); it != upgrade_->package.cend(); ++it) {
                zip.file(it.key().toUtf8(), it.value());
            }
            QVERIFY(zip.write(upgrade_->app->file(QStringLiteral("Big.zip"))));
            upgrade_->before = snapshotPlaces(upgrade_->app->path());
        }
        const AppFixture& app = *upgrade_->app;
        const Places& before = upgrade_->before;

        FlowRequest request;
        request.flow = Flow::Upgrade;
        request.appDir = app.path();
        request.item = stop;
        ChildWindow child;
        QVERIFY2(child.start(request, 0), qPrintable(child.errorText()));
        child.go();
        QVERIFY2(child.waitForLine("step " + stop.chopped(stop.endsWith('+') ? 1 : 0).toUtf8()),
                 "the child never got to the step");
        child.kill();

        request.flow = Flow::StartUp;
        request.faultyBase = goodBase;
        WindowSession start(request);
        start.prepare();
        start.run();
        QCOMPARE(start.platform.messageTexts(), QStringList());
        const Places after = snapshotPlaces(app.path());
        Changes upgraded;
        upgraded.libraryRoot = withFiles(before.libraryRoot, upgrade_->package);
        const QString asOld = comparePlaces(before, after, {});
        const QString asNew = comparePlaces(before, after, upgraded);
        const bool whole = asOld.isEmpty() || asNew.isEmpty();
        if (!whole) {
            upgrade_.reset(); // the next row starts afresh
        } else if (!asNew.isEmpty()) {
            return;
        } else {
            for (auto it = upgrade_->package.cbegin(); it != upgrade_->package.cend(); ++it) {
                QFile file(app.file(LibraryRoot + QLatin1Char('/') + it.key()));
                QVERIFY(it.key().endsWith(QLatin1String("added.txt"))
                            ? file.remove()
                            : file.open(QIODevice::WriteOnly) && file.write("old") == 3);
            }
        }
        QVERIFY2(whole, qPrintable(asOld + QStringLiteral("\n") + asNew));
    }

    // The window's extraction allows 1 GiB (the bomb above declares more and is refused before any
    // byte is written); the limit itself, and a bomb that lies about its size, are tested on the
    // extraction with a small limit, so nothing near a gigabyte is ever written.
    void zipBombWithSmallLimit_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("mebibytes"); // each entry unpacks to this much
        QTest::addColumn<bool>("declaresItsSize");
        QTest::newRow("one entry of 8 MiB") << 1 << 8 << true;
        QTest::newRow("four entries of 1 MiB") << 4 << 1 << true;
        // libarchive writes no more than an entry declares: the lie ends the extraction.
        QTest::newRow("8 MiB declared as 1000 bytes") << 1 << 8 << false;
    }
    void zipBombWithSmallLimit() {
        QFETCH(int, entries);
        QFETCH(int, mebibytes);
        QFETCH(bool, declaresItsSize);
        QTemporaryDir dir;
        const QString zip = dir.filePath(QStringLiteral("bomb.zip"));
        const QString dest = dir.filePath(QStringLiteral("root"));
        QVERIFY(QDir().mkpath(dest + QStringLiteral("/Old")));
        const ZeroStream zeros = zeroStream(mebibytes);
        ZipBuilder bomb;
        bomb.file("Bomb/Bomb.xml", "<xml/>");
        for (int i = 0; i < entries; ++i) {
            bomb.deflated("Bomb/zeros" + QByteArray::number(i), zeros.deflated, zeros.crc,
                          declaresItsSize ? zeros.size : 1000);
        }
        QVERIFY(bomb.write(zip));
        const Tree before = snapshotTree(dir.path());
        install::ExtractLimits limits;
        limits.maxBytes = 3 << 20;
        const install::ExtractResult r = install::extractZip(zip, dest, limits);
        QVERIFY(!r.ok());
        if (declaresItsSize) {
            QCOMPARE(int(r.error), int(install::ExtractError::TooLarge));
        }
        QCOMPARE(snapshotTree(dir.path()), before);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && args[1] == QLatin1String("--child")) {
        return runChild(args.mid(2));
    }
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
