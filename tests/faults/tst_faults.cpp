// Bad networks, bad disks, a user who cancels and a killed process against the main window's flows:
// afterwards the application folder is as before or holds exactly the row's complete new content,
// and the messages shown are the row's, in order.
#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "install/Extract.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QScopeGuard>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

using Tree = QMap<QString, QByteArray>;

namespace {

enum class Flow {
    StartUp,      // the window starts; its catalog download is the flow
    Install,      // the install button of the library `item` of the network list
    InstallShown, // the same for the installed library `item` picked in List3 after Bomb in List2
    LocalInstall, // the local install of local/<item>/<item>.xml; no item: the dialog is cancelled
    BoardChoice,  // choosing board Mega, which writes the settings file
};

const QString CatalogCache = QStringLiteral("Dravonel/ku/Ku.txt");
const QString PackageCache = QStringLiteral("Dravonel/ku/Wenjian");
// The size limit of the disk-full rows: only the files the flow writes are larger.
constexpr qint64 DiskLimit = 64 * 1024;

// The messages, as users read them.
const QString CatalogFailed = QStringLiteral("库文件更新解析失败！请检查网络后重试！");
const QString UnzipFailed = QStringLiteral("解压失败");
const QString SaveFailed = QStringLiteral("设置保存失败！请检查Dravonel文件夹是否可写。");
const QString CopyFailed = QStringLiteral("库文件夹复制失败，库未安装！请检查文件夹权限后重试！");
const QString Installed = QStringLiteral("安装成功");
const QString ChecksumFailed = QStringLiteral("库文件校验失败，文件可能不完整或已被篡改！");
QString downloadFailed(qint32 code) {
    return QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：") + QString::number(code);
}
QString confirm(const QString& name) {
    return QStringLiteral("是否确定将【") + name + QStringLiteral("】加入到【Uno】库中？");
}
QStringList installed(const QString& name) {
    return {confirm(name), Installed, QStringLiteral("是否打开Quenra？")};
}

// The files a package installs, by package name (Bomb installs nothing).
Tree packageFiles(const QString& name) {
    if (name == QLatin1String("AHT20")) {
        return {{"AHT20/AHT20.xml", "<xml version=\"2\"/>"},
                {"AHT20/readme.txt", readme("AHT20", "2.0")},
                {"AHT20/data.bin", QByteArray(DiskLimit + 32 * 1024, 'd')}};
    }
    if (name == QLatin1String("Pinned") || name == QLatin1String("Forged")) {
        return {{name + '/' + name + ".xml", "<xml/>"}};
    }
    if (name == QLatin1String("Packed")) {
        return {{"Packed/Packed.xml", "<xml/>"}, {"Packed/zeros.bin", QByteArray(4 << 20, '\0')}};
    }
    return {};
}

QByteArray zipOf(const Tree& files) {
    ZipBuilder zip;
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        if (it.key().endsWith(QLatin1String("zeros.bin"))) { // deflated, so the package stays small
            zip.deflated(it.key().toUtf8(), it.value());
        } else {
            zip.file(it.key().toUtf8(), it.value(), true);
        }
    }
    return zip.bytes();
}

// The catalog names version 1.03, as the settings do, so no new-version prompt comes. Pinned and
// Forged carry a 校验码: Pinned's names its served package (in capitals), Forged's another one.
QByteArray catalogBody(const QString& notice, int padding) {
    QString text = "版本号：1.03\r\n公告：" + notice + "\r\n";
    const QByteArray pinned =
        QCryptographicHash::hash(zipOf(packageFiles("Pinned")), QCryptographicHash::Sha256);
    const QMap<QString, QString> checksums{{"Pinned", pinned.toHex().toUpper()},
                                           {"Forged", QString(64, '0')}};
    for (const QString name : {"AHT20", "Bomb", "Packed", "Aux.zip", "Pinned", "Forged"}) {
        text += QStringLiteral("[%1] \r\n库名=%1\r\n库版本=2.0\r\n").arg(name);
        text += checksums.contains(name) ? "校验码=" + checksums[name] + "\r\n" : QString();
    }
    return gbk::encode(text + "[Padding] \r\n库简介=" + QString(padding, 'p') + "\r\n");
}

// `tree` with `files` written below `place` and the folders on their way.
Tree withFiles(Tree tree, const QString& place, const Tree& files) {
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        const QStringList parts = (place + '/' + it.key()).split('/');
        for (qsizetype i = 1; i < parts.size(); ++i) {
            tree.insert(parts.first(i).join('/'), "<dir>");
        }
        tree.insert(place + '/' + it.key(), it.value());
    }
    return tree;
}

// An application folder as a user has it after earlier installs, with the host IDE beside it: the
// settings (made larger than DiskLimit), the catalog, an older AHT20 package, a Forged package its 校验码
// refuses, AHT20 1.0 (with a file 2.0 dropped) and Other installed for board Uno, board Mega, and a local
// library folder MyLib (one file larger than DiskLimit, sorted between two small ones).
struct AppFixture {
    TempAppFolder app;
    Tree local{{"MyLib/MyLib.xml", "<xml/>"},
               {"MyLib/a-readme.txt", readme("MyLib", "1.0")},
               {"MyLib/m-data.bin", QByteArray(DiskLimit + 1, 'd')},
               {"MyLib/z-block.js", "// block"}};
    explicit AppFixture(const QString& base) {
        app.writeConfig({"banben=1.03", "fuwuqi=" + base, "quenra=" + app.file("host/Quenra.exe"),
                         "Kuliebiao=Uno", "", "[Notes]", "padding=" + QString(DiskLimit + 1024, 'n')});
        app.writeFile(CatalogCache, catalogBody("旧的公告", 0));
        app.writeFile(PackageCache + "/AHT20.zip", zipOf({{"AHT20/AHT20.xml", "<xml version=\"1\"/>"}}));
        backdate(app.file(PackageCache + "/AHT20.zip"));
        app.writeFile(PackageCache + "/Forged.zip", zipOf({{"Forged/Forged.xml", "<xml cached/>"}}));
        app.writeFile("host/Quenra.exe", "#!/bin/sh\n");
        app.writeFile(LibraryRoot + "/AHT20/AHT20.xml", "<xml version=\"1\"/>");
        app.writeFile(LibraryRoot + "/AHT20/readme.txt", readme("AHT20", "1.0"));
        app.writeFile(LibraryRoot + "/AHT20/dropped.txt", "a file version 2.0 no longer has");
        app.writeFile(LibraryRoot + "/Other/keep.txt", "another library");
        app.writeFile("host/resources/app/src/boards/default/Mega/libraries/ThirdParty/M/readme.txt", "M");
        for (auto it = local.constBegin(); it != local.constEnd(); ++it) {
            app.writeFile("local/" + it.key(), it.value());
        }
    }
};

// A disk that refuses writes, undone when the object goes (before the temporary folder is removed).
class DiskFault final {
public:
    ~DiskFault() {
        for (const QString& path : immutable_) {
            setImmutable(path, false);
        }
        for (const auto& [path, permissions] : permissions_) {
            QFile::setPermissions(path, permissions);
        }
    }
    // Applies the named fault; returns why it cannot be applied here, or empty text.
    QString apply(const QString& name, const TempAppFolder& app) {
        const QString root = app.file(LibraryRoot);
        if (name == QLatin1String("config read-only")) {
            readOnly(app.file("Dravonel/config.ini"));
        } else if (name == QLatin1String("root read-only")) {
            QStringList paths{root};
            for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
                 it.hasNext();) {
                paths << it.next();
            }
            for (const QString& path : paths) {
                readOnly(path);
                // The administrator writes through permission bits; the immutable attribute stops him.
                if (geteuid() == 0 && !setImmutable(path, true)) {
                    return "running as root, and the immutable attribute cannot be set on this file system";
                }
                immutable_ << path;
            }
        } else if (name.startsWith(QLatin1String("no parent"))) {
            QDir(QFileInfo(root).path()).removeRecursively();
        }
        return {};
    }

private:
    void readOnly(const QString& path) {
        permissions_.append({path, QFile::permissions(path)});
        QFile::setPermissions(path, QFile::permissions(path) & ~(QFile::WriteOwner | QFile::WriteUser |
                                                                 QFile::WriteGroup | QFile::WriteOther));
    }
    static bool setImmutable(const QString& path, bool on) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        return ok;
    }

    QStringList immutable_;
    QList<QPair<QString, QFile::Permissions>> permissions_;
};

} // namespace

class TestFaults final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir served_;
    std::unique_ptr<TestServer> server_;

    // What the application folder holds after the flow changed `changed` (catalog, packages, root,
    // settings) completely.
    Tree expected(Tree tree, const QStringList& changed, Flow flow, const QString& item,
                  const AppFixture& fixture) const {
        for (const QString& place : changed) {
            if (place == QLatin1String("catalog")) {
                tree.insert(CatalogCache, readFile(served_.filePath("new/KU.txt")));
            } else if (place == QLatin1String("packages")) {
                tree.insert(PackageCache + '/' + item + ".zip",
                            readFile(served_.filePath("new/" + item + ".zip")));
            } else if (place == QLatin1String("root")) {
                tree = withFiles(tree, LibraryRoot,
                                 flow == Flow::LocalInstall ? fixture.local : packageFiles(item));
            } else if (place == QLatin1String("settings")) {
                tree["Dravonel/config.ini"].replace("Kuliebiao=Uno", "Kuliebiao=Mega");
            }
        }
        return tree;
    }

private Q_SLOTS:
    void initTestCase() {
        writeFile(served_.filePath("KU.txt"), catalogBody("旧的公告", 0));
        writeFile(served_.filePath("new/KU.txt"), catalogBody("新的公告", DiskLimit + 1024));
        for (const char* name : {"AHT20", "Packed", "Pinned", "Forged"}) {
            writeFile(served_.filePath("new/" + QLatin1String(name) + ".zip"), zipOf(packageFiles(name)));
        }
        // Past the 1 GiB the extraction allows, refused by its declared size before any byte is written.
        writeFile(
            served_.filePath("new/Bomb.zip"),
            ZipBuilder().file("Bomb/Bomb.xml", "<xml/>").deflated("Bomb/zeros.bin", "0", 1100 << 20).bytes());
        server_ = std::make_unique<TestServer>(served_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }

    // One row per kind of fault: the transfers themselves are tested on the HTTP client.
    void flows_data() {
        QTest::addColumn<Flow>("flow");
        QTest::addColumn<QString>("server"); // the server's misbehaviour (TestServer.h), or "<refused>"
        // A DiskFault, or what the user does: "no" to the question, "cancel" or "cancel unpack" on
        // the download's or the unpacking's progress, or a relative host path.
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("changed"); // the places that get complete new content
        const auto row = [](const QString& name, Flow flow, const QString& server, const QString& fault,
                            const QString& item, const QStringList& messages,
                            const QStringList& changed = {}) {
            QTest::newRow(qPrintable(name)) << flow << server << fault << item << messages << changed;
        };
        const QString lib = QStringLiteral("AHT20");
        const QString local = QStringLiteral("MyLib");
        row("start-up: plain/404", Flow::StartUp, "plain/404", {}, {}, {CatalogFailed});
        row("start-up: 200 without 公告", Flow::StartUp, "nomarker", {}, {},
            {QStringLiteral("库文件更新失败！请检查网络后重试！")});
        row("start-up: no fault", Flow::StartUp, {}, {}, {}, {}, {"catalog"});

        const QList<std::tuple<const char*, qint32>> packageFaults{
            {"<refused>", -2146697212},  {"reset", -2146697208},      {"stall", -2146697205},
            {"status/404", -2146697211}, {"status/500", -2146697208}, {"big-nolength", -2146697208}};
        // The package an earlier download left is offered; Enter (the fake's default) declines.
        const QString offer = QStringLiteral("是否安装已缓存的【AHT20】（下载于 2025-01-02）？");
        for (const auto& [server, code] : packageFaults) {
            row(QStringLiteral("install: ") + server, Flow::Install, server, {}, lib,
                {downloadFailed(code), offer});
        }
        row("install: download cancelled", Flow::Install, {}, "cancel", lib,
            {downloadFailed(-2147467260), offer});
        row("install: a device name", Flow::Install, {}, {}, "Aux.zip", {unusableName("Aux.zip")});
        // The package stays in the cache.
        row("install: question answered Cancel", Flow::Install, {}, "no", lib, {confirm(lib)}, {"packages"});
        row("install: unpacking cancelled", Flow::Install, {}, "cancel unpack", lib, {confirm(lib)},
            {"packages"});
        row("install: a zip bomb", Flow::Install, {}, {}, "Bomb", {confirm("Bomb"), UnzipFailed},
            {"packages"});
        row("install: library root read-only", Flow::Install, {}, "root read-only", lib,
            {confirm(lib), UnzipFailed}, {"packages"});
        // The path panel shows; nothing is asked or written.
        row("install: host relative", Flow::Install, {}, "host relative", lib, {});
        row("install: no fault", Flow::Install, {}, {}, lib, installed(lib), {"packages", "root"});
        row("install: 校验码 matches", Flow::Install, {}, {}, "Pinned", installed("Pinned"),
            {"packages", "root"});
        // The cached package stays, and is not offered: it does not match either.
        row("install: 校验码 mismatch", Flow::Install, {}, {}, "Forged", {ChecksumFailed});
        row("install: 校验码 mismatch, the cached package", Flow::Install, "status/404", {}, "Forged",
            {downloadFailed(-2146697211), ChecksumFailed});
        row("install: the library shown, not the List2 row", Flow::InstallShown, {}, {}, lib, installed(lib),
            {"packages", "root"});

        row("local install: dialog cancelled", Flow::LocalInstall, {}, {}, {},
            {QStringLiteral("库文件选择错误，请选择库文件夹下的.xml文件！")});
        row("local install: question answered Cancel", Flow::LocalInstall, {}, "no", local, {confirm(local)});
        row("local install: library root read-only", Flow::LocalInstall, {}, "root read-only", local,
            {confirm(local), CopyFailed});
        // A copy creates the folders it needs.
        row("local install: destination parent missing", Flow::LocalInstall, {}, "no parent", local,
            installed(local), {"root"});

        row("board choice: no fault", Flow::BoardChoice, {}, {}, {}, {}, {"settings"});
        row("board choice: config.ini read-only", Flow::BoardChoice, {}, "config read-only", {},
            {SaveFailed});
        // A full disk.
        row("start-up: full disk", Flow::StartUp, {}, "full", {}, {CatalogFailed});
        row("install: full disk, the package", Flow::Install, {}, "full", "AHT20",
            {downloadFailed(-2147024893), offer});
        row("install: full disk, the extraction", Flow::Install, {}, "full", "Packed",
            {confirm("Packed"), UnzipFailed}, {"packages"});
        row("local install: full disk", Flow::LocalInstall, {}, "full", "MyLib",
            {confirm("MyLib"), CopyFailed});
        row("local install: full disk, into a library root it creates", Flow::LocalInstall, {},
            "no parent, full", "MyLib", {confirm("MyLib"), CopyFailed});
        row("board choice: full disk", Flow::BoardChoice, {}, "full", {}, {SaveFailed});
    }

    // Starts the window (but for the start-up, which is the flow), points it at the faulty server,
    // chooses the item and runs the flow within the fault; questions are answered OK unless "no".
    void flows() {
        QFETCH(Flow, flow);
        QFETCH(QString, server);
        QFETCH(QString, fault);
        QFETCH(QString, item);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, changed);
        AppFixture fixture(server_->baseUrl());
        FakePlatform platform;
        platform.onMessage = [&](const Platform::Message& m) -> std::optional<Platform::Answer> {
            if (m.buttons != Platform::Buttons::OkCancel) {
                return std::nullopt;
            }
            // The question comes after the download: the unpacking's indicator is the next one.
            platform.cancelOnFirstProgress = fault == QLatin1String("cancel unpack");
            return fault == QLatin1String("no") ? Platform::Answer::Cancel : Platform::Answer::Ok;
        };
        AppContext context = fixture.app.context(&platform);
        context.timeouts.stallMs = server == QLatin1String("stall") ? 400 : 3000; // short where it waits
        if (server.startsWith(QLatin1String("big"))) {
            context.timeouts.packageMaxBytes = 1 << 20; // the 1 GiB a package may have, made small
        }
        const QString faultyBase = server == QLatin1String("<refused>")
                                       ? QStringLiteral("http://127.0.0.1:%1/").arg(TestServer::unusedPort())
                                       : server_->baseUrl(server) + "new/";
        std::unique_ptr<MainWindow> window;
        if (flow != Flow::StartUp) {
            window = startMainWindow(context);
            if (flow == Flow::InstallShown) {
                clickRow(child<QListView>(*window, "List2"), QStringLiteral("Bomb"));
                press(*window, "bendiku"); // lists the installed libraries
            }
            if (flow == Flow::Install || flow == Flow::InstallShown) {
                clickRow(child<QListView>(*window, flow == Flow::Install ? "List2" : "List3"), item);
            }
        }
        Settings(context.folder).write(keys::CatalogServer, faultyBase);
        if (flow == Flow::LocalInstall && !item.isEmpty()) {
            platform.fileAnswers = {fixture.app.file("local/" + item + '/' + item + ".xml")};
        }
        // From the application folder a relative host path names a real host: it is refused all the same.
        const QString workingFolder = QDir::currentPath();
        const auto restore = qScopeGuard([&] { QDir::setCurrent(workingFolder); });
        QDir::setCurrent(fixture.app.path());
        if (fault == QLatin1String("host relative")) {
            child<QLineEdit>(*window, "Text8")->setText(QStringLiteral("host/Quenra.exe"));
        }
        platform.cancelOnFirstProgress = fault == QLatin1String("cancel");
        DiskFault disk;
        if (const QString why = disk.apply(fault, fixture.app); !why.isEmpty()) {
            QSKIP(qPrintable(why));
        }
        const Tree before = snapshot(fixture.app.path());
        rlimit size{};
        getrlimit(RLIMIT_FSIZE, &size);
        if (fault.endsWith(QLatin1String("full"))) {
            // A write past the limit fails with EFBIG, as on a full disk, instead of ending the
            // process with SIGXFSZ. Only the files the flow writes are larger than the limit.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limited{rlim_t(DiskLimit), size.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        if (flow == Flow::StartUp) {
            window = startMainWindow(context);
        } else if (flow == Flow::BoardChoice) {
            choose(*window, "Combo2", QStringLiteral("Mega"));
        } else if (flow == Flow::LocalInstall) {
            press(*window, "Command14");
        } else {
            // Install, update or reinstall, whichever the details show: they run the same flow.
            for (const char* name : {"Command13", "Command19", "Command6"}) {
                if (child<QPushButton>(*window, name)->isVisibleTo(window.get())) {
                    press(*window, name);
                    break;
                }
            }
        }
        setrlimit(RLIMIT_FSIZE, &size);
        QStringList shown;
        for (const QString& text : platform.messageTexts()) {
            shown << text.section(QStringLiteral("\r\n"), 0, 0); // a second line holds a path
        }
        QCOMPARE(shown, messages);
        const Tree want = expected(before, changed, flow, item, fixture);
        const Tree after = snapshot(fixture.app.path());
        QCOMPARE(after.keys(), want.keys());
        QVERIFY(after == want);
        QCOMPARE(child<QGroupBox>(*window, "Frame9")->isVisible(), fault == QLatin1String("host relative"));
        const bool done = messages.contains(Installed);
        QCOMPARE(platform.started, QStringList(done ? 1 : 0, fixture.app.file("host/Quenra.exe")));
        if (done) { // the local list shows the new library
            QVERIFY(rows(child<QListView>(*window, "List3")).contains(item));
        }
    }

    // A kill -9 before a step of an upgrade of a library, then a start or the same install again:
    // the library root holds wholly the old or wholly the new library, nothing beside it.
    void killed_data() {
        QTest::addColumn<int>("stop");
        QTest::addColumn<bool>("reinstall");
        using S = install::Step;
        QTest::newRow("old folder copied, nothing swapped") << int(S::Journal) << false;
        QTest::newRow("old folder aside, new not in") << int(S::MoveIn) << false;
        QTest::newRow("old folder aside, then installed again") << int(S::MoveIn) << true;
        QTest::newRow("new folder in, old not removed") << int(S::Clean) << false;
    }
    void killed() {
        QFETCH(int, stop);
        QFETCH(bool, reinstall);
        AppFixture fixture(server_->baseUrl());
        const TempAppFolder& app = fixture.app;
        app.writeFile(LibraryRoot + "/Big/kept.txt", "old");
        app.writeFile(LibraryRoot + "/Big/d7/f1", "old");
        const Tree upgrade{{"Big/added.txt", "new"}, {"Big/d7/f1", "new"}};
        writeFile(app.file("Big.zip"), zipOf(upgrade));
        const Tree before = snapshot(app.path());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--child", app.path(), QString::number(stop)});
        bool reached = false;
        while (!reached && (child.canReadLine() || child.waitForReadyRead(60000))) {
            reached = child.canReadLine() && child.readLine().trimmed() == "step " + QByteArray::number(stop);
        }
        QVERIFY2(reached, "the child never got to the step");
        child.kill();
        child.waitForFinished();

        FakePlatform platform;
        if (reinstall) { // it settles the leftover first
            QVERIFY(install::extractZip(app.file("Big.zip"), app.file(LibraryRoot)).ok());
        } else {
            const auto window = startMainWindow(app.context(&platform));
            QCOMPARE(platform.messageTexts(), QStringList());
        }
        const Tree after = snapshot(app.path());
        QVERIFY((after == before && !reinstall) || after == withFiles(before, LibraryRoot, upgrade));
    }
};

// The child of a killed row: unpacks <appDir>/Big.zip into the library root, printing "step N" before
// each install::Step N, and waits before step `stop` until it is killed.
int upgradeChild(const QString& appDir, int stop) {
    install::extractZipChecked(appDir + "/Big.zip", appDir + '/' + LibraryRoot, {},
                               [&](install::Step step, const QString&) {
                                   std::printf("step %d\n", int(step));
                                   std::fflush(stdout);
                                   if (int(step) == stop) {
                                       std::string line;
                                       std::getline(std::cin, line);
                                   }
                                   return true;
                               });
    return 0;
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (const QStringList args = QCoreApplication::arguments(); args.value(1) == QLatin1String("--child")) {
        return upgradeChild(args.value(2), args.value(3).toInt());
    }
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
