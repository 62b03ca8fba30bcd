#include "Support.h"
#include "TempAppFolder.h"
#include "ZipBuilder.h"
#include "install/Bundle.h"
#include "install/Extract.h"
#include "install/LocalInstall.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"
#include "settings/Gbk.h"

#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace install;

Q_DECLARE_METATYPE(install::ExtractError)

namespace {

// An application folder whose destination holds an installed library, with the package beside it.
// Links to a folder outside, one in the library and one beside it, are never followed.
struct Sandbox {
    TempAppFolder app;
    QString root = app.path();
    QString dest = root + QStringLiteral("/libraries/ThirdParty");
    QString zip = root + QStringLiteral("/pkg.zip");

    explicit Sandbox(const QByteArray& archive) {
        app.writeFile(QStringLiteral("libraries/ThirdParty/LibA/LibA.xml"), "old xml");
        app.writeFile(QStringLiteral("libraries/ThirdParty/LibA/old.txt"), "kept");
        app.writeFile(QStringLiteral("libraries/ThirdParty/Other/keep.txt"), "other");
        app.writeFile(QStringLiteral("outside/inside.txt"), "outside");
        QFile::link(root + "/outside", dest + "/LibA/keep");
        QFile::link(root + "/outside", dest + "/Linked");
        writeFile(zip, archive);
    }
};

} // namespace

// The install layer without a window: package names, extraction, local copies and bundles.
class TestInstallLogic final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private Q_SLOTS:
    void packageNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address"); // empty: the name is refused
        const auto row = [](const char* tag, const QString& name, const QString& address) {
            QTest::newRow(tag) << name << address;
        };
        row("url delimiters", "a#b%c d", "http://h/ku/a%23b%25c%20d.zip");
        row("sub-delimiters stay", "a+b(c)", "http://h/ku/a+b(c).zip");
        row("dots inside", "v1..2", "http://h/ku/v1..2.zip");
        row("device name inside a word", "CONSOLE", "http://h/ku/CONSOLE.zip");
        row("COM0 is no device", "com0", "http://h/ku/com0.zip");
        row("empty", "", "");
        row("slash", "a/b", "");
        row("backslash", "a\\b", "");
        row("parent", "..", "");
        row("drive", "C:x", "");
        row("control", "a\tb", "");
        row("DEL", "a\u007fb", "");
        for (const char* c : {"<", ">", "\"", "|", "?", "*"}) {
            QTest::addRow("%s", c) << "a" + QString::fromLatin1(c) + "b" << QString();
        }
        row("ends in a blank", "lib ", "");
        row("device with an extension", "Nul.txt", "");
        row("device, blank, extension", "AUX .zip", "");
        row("numbered device with an extension", "lPt9.js", "");
    }
    void packageNames() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QCOMPARE(filenames::isUsableName(name), !address.isEmpty());
        if (!address.isEmpty()) {
            QCOMPARE(install::packageAddress(QStringLiteral("http://h/ku/"), name), address);
        }
    }

    void xmlChoice_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("folder"); // empty: refused
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const QString& path, QChar sep, const QString& folder,
                            const QString& name) { QTest::newRow(tag) << path << sep << folder << name; };
        row("windows", "C:\\libs\\bar\\foo.xml", '\\', "C:\\libs\\bar", "foo");
        row("posix", "/home/u/bar/foo.xml", '/', "/home/u/bar", "foo");
        row("file name repeated in the folder", "/l/foo.xml.d/foo.xml", '/', "/l/foo.xml.d", "foo");
        row("no folder", "foo.xml", '/', "", "");
        row("upper-case suffix", "/l/bar/foo.XML", '/', "", "");
        row("dialog cancelled", "", '/', "", "");
    }
    void xmlChoice() {
        QFETCH(QString, path);
        QFETCH(QChar, sep);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        const install::XmlChoice c = install::interpretXmlChoice(path, sep);
        QCOMPARE(c.accepted, !folder.isEmpty());
        QCOMPARE(c.sourceFolder, folder);
        QCOMPARE(c.name, name);
    }

    // src holds the library bar, and libraries with links: alias (to bar), linked (a link to a file
    // beside it) and outward (a link out of its folder). root holds an older bar.
    void copyFolderInto_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("root");
        QTest::addColumn<int>("error");         // an install::CopyError
        QTest::addColumn<QStringList>("files"); // "path=content" below root afterwards
        using E = install::CopyError;
        const auto row = [](const char* tag, const QString& source, const QString& root, E error,
                            const QStringList& files) {
            QTest::newRow(tag) << source << root << int(error) << files;
        };
        const QStringList before{"bar/foo.xml=installed", "bar/old.txt=kept"};
        const QStringList bar{"bar/block/bar.js=js", "bar/foo.xml=new"};
        row("over an installed copy", "src/bar", "root", E::None, bar + QStringList{"bar/old.txt=kept"});
        row("onto itself", "root/bar", "root", E::None, before);
        row("into its own sub-folder", "root", "root/bar", E::IntoItself,
            {"foo.xml=installed", "old.txt=kept"});
        row("missing source", "nothing", "root", E::SourceMissing, before);
        row("reached through a link, keeps the chosen name", "src/alias", "root", E::None,
            QStringList{"alias/block/bar.js=js", "alias/foo.xml=new"} + before);
        row("link inside to inside copied as its target", "src/linked", "root", E::None,
            before + QStringList{"linked/foo.xml=x", "linked/real.txt=real", "linked/same.txt=real"});
        row("link leading out stops the copy", "src/outward", "root", E::WriteFailed, before);
    }
    void copyFolderInto() {
        QFETCH(QString, source);
        QFETCH(QString, root);
        QFETCH(int, error);
        QFETCH(QStringList, files);
        if (NoFileLinks && QByteArray(QTest::currentDataTag()).contains("link")) {
            QSKIP(NoFileLinks);
        }
        TempAppFolder app;
        app.writeFile("src/bar/foo.xml", "new");
        app.writeFile("src/bar/block/bar.js", "js");
        app.writeFile("src/linked/foo.xml", "x");
        app.writeFile("src/linked/real.txt", "real");
        app.writeFile("src/outward/foo.xml", "x");
        app.writeFile("root/bar/foo.xml", "installed");
        app.writeFile("root/bar/old.txt", "kept");
        QVERIFY(QFile::link("bar", app.file("src/alias")));
        QVERIFY(QFile::link("real.txt", app.file("src/linked/same.txt")));
        QVERIFY(QFile::link("../bar/foo.xml", app.file("src/outward/out.xml")));
        QCOMPARE(int(install::copyFolderInto(app.file(source), app.file(root)).error), error);
        QStringList found;
        const QMap<QString, QByteArray> tree = snapshot(app.file(root));
        for (auto it = tree.constBegin(); it != tree.constEnd(); ++it) {
            if (it.value() != "<dir>") {
                found << it.key() + '=' + it.value();
            }
        }
        QCOMPARE(found, files);
    }

    // Archives unpacked into a destination that holds an installed library: one that is refused
    // changes nothing at all.
    void outcomes_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<ExtractError>("error");
        QTest::addColumn<QString>("landed");      // a file below the destination after a success
        QTest::addColumn<QString>("destination"); // below the sandbox
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<qint64>("maxEntries");
        QTest::addColumn<int>("failAt"); // the install::Step that fails for the item LibA, or -1
        const auto row = [](const char* tag, const QByteArray& archive, ExtractError error,
                            const QString& landed = {}, const QString& destination = "libraries/ThirdParty",
                            qint64 maxBytes = qint64(1) << 30, qint64 maxEntries = 100000) {
            QTest::newRow(tag) << archive << error << landed << destination << maxBytes << maxEntries << -1;
        };
        using E = ExtractError;
        const QString name = "RGB灯带/说明 文档.txt";
        row("code page 936 name, no UTF-8 mark", ZipBuilder().file(gbk::encode(name), "x").bytes(), E::None,
            name);
        row("UTF-8 name with the mark", ZipBuilder().file(name.toUtf8(), "x", true).bytes(), E::None, name);
        row("UTF-8 name without the mark", ZipBuilder().file(name.toUtf8(), "x").bytes(), E::None, name);
        row("merged into the installed library",
            ZipBuilder()
                .folder("LibA/")
                .file("LibA/LibA.xml", "new")
                .file("LibA/block/LibA.js", "js")
                .bytes(),
            E::None, "LibA/block/LibA.js");
        // Plain permissions only: no set-user-ID bit, nothing writable by others.
        row("setuid, world-writable", ZipBuilder().file("LibA/LibA.xml", "x", false, 0106666).bytes(),
            E::None, "LibA/LibA.xml");

        // Each hostile archive starts with good entries, which must not land either.
        const auto good = [] {
            return ZipBuilder().file("LibA/LibA.xml", "new xml").file("Fresh/f.txt", "f");
        };
        row("parent element", good().file("../evil.txt", "x").bytes(), E::UnsafeName);
        row("absolute path", good().file("/evil.txt", "x").bytes(), E::UnsafeName);
        row("symlink escaping, then a file through it",
            good().symlink("LibA/out", "../..").file("LibA/out/evil.txt", "x").bytes(), E::UnsupportedEntry);
        row("absolute symlink", good().symlink("LibA/passwd", "/etc/passwd").bytes(), E::UnsupportedEntry);
        const QByteArray whole =
            good().file("LibA/big.bin", QByteArray(200000, 'f')).file("LibA/z.txt", "z").bytes();
        row("truncated", whole.left(whole.size() * 6 / 10), E::Corrupt);
        row("not an archive", QByteArray(5000, 'f'), E::CannotOpen);
        row("folders only, no file", ZipBuilder().folder("LibA/").folder("LibA/examples/").bytes(), E::Empty);
        row("folder where the destination has a file", good().file("LibA/old.txt/inner.txt", "x").bytes(),
            E::Conflict);
        row("file where the destination has a folder", good().file("Other", "x").bytes(), E::Conflict);
        row("into a link in the library", good().file("LibA/keep/evil.txt", "x").bytes(), E::Conflict);
        row("into a library that is a link", good().file("Linked/evil.txt", "x").bytes(), E::Conflict);
        row("a file over a link", ZipBuilder().file("LibA/keep", "new").bytes(), E::None, "LibA/keep");
        // Items go in name order: Fresh (new), LibA (replaced); a failed step undoes everything.
        using S = install::Step;
        for (const auto& [tag, step] : {std::pair{"failing to prepare LibA", S::Prepare},
                                        std::pair{"failing to set LibA aside", S::SetAside},
                                        std::pair{"failing to move LibA in", S::MoveIn}}) {
            QTest::newRow(tag) << good().bytes() << E::WriteFailed << QString() << "libraries/ThirdParty"
                               << (qint64(1) << 30) << qint64(100000) << int(step);
        }

        const QByteArray three = ZipBuilder()
                                     .file("L/a", QByteArray(1000, 'f'))
                                     .file("L/b", QByteArray(1000, 'f'))
                                     .file("L/c", "c")
                                     .bytes();
        row("within both limits", three, E::None, "L/c", "libraries/ThirdParty", 2001, 3);
        row("bytes over", three, E::TooLarge, {}, "libraries/ThirdParty", 2000, 3);
        row("entries over", three, E::TooManyEntries, {}, "libraries/ThirdParty", 2001, 2);
        const QByteArray big = QByteArray(1 << 20, 'f');
        row("1 MiB declared as 1000 bytes", ZipBuilder().deflated("L/a", big, 1000).bytes(), E::TooLarge, {},
            "libraries/ThirdParty", 2000, 3);

        // Only the last level of the destination is created, and only for an extraction that succeeds.
        row("last level missing", three, E::None, "L/c", "examples");
        row("parent missing", three, E::DestinationUnavailable, {}, "missing/examples");
        row("a file", three, E::DestinationUnavailable, {}, "pkg.zip");
        row("refused, last level missing", good().file("../b", "b").bytes(), E::UnsafeName, {}, "examples");
    }
    void outcomes() {
        QFETCH(QByteArray, archive);
        QFETCH(ExtractError, error);
        QFETCH(QString, landed);
        QFETCH(QString, destination);
        QFETCH(qint64, maxBytes);
        QFETCH(qint64, maxEntries);
        QFETCH(int, failAt);
        Sandbox s(archive);
        const QString dest = s.root + '/' + destination;
        const QMap<QString, QByteArray> before = snapshot(s.root);
#ifdef Q_OS_UNIX
        // A user whose files are writable by everyone still gets plain permissions from an archive.
        const mode_t mask = ::umask(0);
#endif
        const install::ExtractResult r = install::extractZipChecked(
            s.zip, dest, {maxBytes, maxEntries, {}}, [&](install::Step at, const QString& target) {
                return int(at) != failAt || !target.endsWith("/LibA");
            });
#ifdef Q_OS_UNIX
        ::umask(mask);
#endif
        QVERIFY2(r.error == error, qPrintable(r.detail));
        if (error == ExtractError::None) {
            const QFileInfo file(dest + '/' + landed);
            QVERIFY(file.isFile() && !file.isSymLink());
            QVERIFY(readFile(file.filePath()) != "old xml");
            if (!NoFileLinks) { // and Windows has no permission bits for others
                QCOMPARE(QFileInfo(s.dest + "/LibA/keep").isSymLink(), landed != "LibA/keep");
                QCOMPARE(file.permissions() & (QFile::WriteGroup | QFile::WriteOther | QFile::ExeOwner),
                         QFile::Permissions());
            }
            QCOMPARE(readFile(s.dest + "/LibA/old.txt"), QByteArray("kept"));
            // No work folder, journal or lock is left beside the destination.
            QCOMPARE(QDir(dest + "/..")
                         .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot)
                         .filter(QRegularExpression("^\\.")),
                     QStringList());
        } else {
            QCOMPARE(snapshot(s.root), before);
        }
        QVERIFY(!QFile::exists(QStringLiteral("/evil.txt")));
        QCOMPARE(snapshot(s.root + "/outside").keys(), QStringList{"inside.txt"});
    }

    void safeEntryPath_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path"); // "<refused>" when refused
        const auto row = [](const char* tag, const QString& name, const QString& path) {
            QTest::newRow(tag) << name << path;
        };
        const QString refused = "<refused>";
        row("folder", "Lib/", "Lib");
        row("backslashes", "Lib\\block\\a.js", "Lib/block/a.js");
        row("dot elements", "./Lib/./a.txt", "Lib/a.txt");
        row("the destination itself", "./", "");
        row("dots in a name", "Lib/a..b.txt", "Lib/a..b.txt");
        row("backslash parent", "..\\a", refused);
        row("leading backslash", "\\a", refused);
        row("drive", "c:a", refused);
        row("control character", "Lib/a\x01.txt", refused);
        row("undecodable", "Lib/\uFFFD.txt", refused);
    }
    void safeEntryPath() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(install::safeEntryPath(name).value_or(QStringLiteral("<refused>")), path);
    }

    void findsLibraries_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QStringList>("names");
        const auto row = [](const char* tag, const ZipBuilder& zip, const QStringList& names) {
            QTest::newRow(tag) << zip.bytes() << names;
        };
        const auto lib = [](const QByteArray& name) { return name + '/' + name + ".xml"; };
        row("one package", ZipBuilder().folder("AHT20").file(lib("AHT20"), "x"), {"AHT20"});
        row("bundle, archive order, readme beside",
            ZipBuilder().file(lib("b"), "x").file("readme.txt", "x").file(lib("a"), "x"), {"b", "a"});
        row("GBK names", ZipBuilder().file(gbk::encode(QStringLiteral("舵机/舵机.xml")), "x"), {"舵机"});
        row("not a library: wrong file, level, or a folder named so",
            ZipBuilder()
                .file("A/B.xml", "x")
                .file("A.xml", "x")
                .file(lib("X/Y"), "x")
                .folder("C/C.xml")
                .file("D/d.xml", "x"),
            {});
        row("unusable names left out",
            ZipBuilder().file(lib("CON"), "x").file(lib("a:b"), "x").file("../E/E.xml", "x"), {});
        QTest::newRow("not an archive") << QByteArray("PK but no zip") << QStringList{};
    }
    void findsLibraries() {
        QFETCH(QByteArray, archive);
        QFETCH(QStringList, names);
        writeFile(path("in.zip"), archive);
        QCOMPARE(findLibraries(path("in.zip")).names, names);
        if (!names.isEmpty()) { // installed as a bundle: its libraries and nothing beside them
            const QString target = path(QString::fromLatin1(QTest::currentDataTag()));
            ExtractLimits only;
            only.onlyItems = names;
            QVERIFY(extractZip(path("in.zip"), target, only).ok());
            QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Unsorted).size(),
                     names.size());
        }
    }

    // A failed or cancelled export leaves no archive, and an earlier one as it was.
    void failedExportLeavesNoFile_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("error");
        QTest::newRow("missing library")
            << QStringList{"A", "Missing"} << false << int(CopyError::SourceMissing);
        QTest::newRow("unusable name") << QStringList{"../root/A"} << false << int(CopyError::SourceMissing);
        QTest::newRow("link inside") << QStringList{"A", "Linked"} << false << int(CopyError::WriteFailed);
        QTest::newRow("cancelled") << QStringList{"A"} << true << int(CopyError::Cancelled);
    }
    void failedExportLeavesNoFile() {
        QFETCH(QStringList, names);
        QFETCH(bool, cancel);
        QFETCH(int, error);
        if (NoFileLinks && QByteArray(QTest::currentDataTag()).contains("link")) {
            QSKIP(NoFileLinks);
        }
        const QString root = path("fail");
        const QString zip = path("exports/old.zip");
        writeFile(root + "/A/A.xml", "<xml/>");
        writeFile(root + "/Linked/Linked.xml", "<xml/>");
        QFile::link(root + "/A/A.xml", root + "/Linked/link.xml");
        writeFile(zip, "old bundle");
        Monitor monitor;
        monitor.cancelled = [cancel] { return cancel; };
        QCOMPARE(int(writeLibraryBundle(root, names, zip, monitor).error), error);
        QCOMPARE(readFile(zip), QByteArray("old bundle"));
        QCOMPARE(QDir(path("exports")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.zip"});
    }
};

QTEST_GUILESS_MAIN(TestInstallLogic)
#include "tst_installlogic.moc"
