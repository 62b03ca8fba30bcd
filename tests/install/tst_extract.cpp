#include "Support.h"
#include "TempAppFolder.h"
#include "ZipBuilder.h"
#include "install/Extract.h"
#include "settings/Gbk.h"

#include <QRegularExpression>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using install::ExtractError;

Q_DECLARE_METATYPE(install::ExtractError)

namespace {

QByteArray filler(int size) {
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        b[i] = char((quint32(i) * 7919u) >> 3);
    }
    return b;
}

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

class TestExtract final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Archives unpacked into a destination that holds an installed library: one that is refused
    // changes nothing at all.
    void outcomes_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<ExtractError>("error");
        QTest::addColumn<QString>("landed");      // a file below the destination after a success
        QTest::addColumn<QString>("destination"); // below the sandbox; "<none>": the empty path
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
        const QByteArray whole = good().file("LibA/big.bin", filler(200000)).file("LibA/z.txt", "z").bytes();
        row("truncated", whole.left(whole.size() * 6 / 10), E::Corrupt);
        row("not an archive", filler(5000), E::CannotOpen);
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

        const QByteArray three =
            ZipBuilder().file("L/a", filler(1000)).file("L/b", filler(1000)).file("L/c", "c").bytes();
        row("within both limits", three, E::None, "L/c", "libraries/ThirdParty", 2001, 3);
        row("bytes over", three, E::TooLarge, {}, "libraries/ThirdParty", 2000, 3);
        row("entries over", three, E::TooManyEntries, {}, "libraries/ThirdParty", 2001, 2);
        const QByteArray big = filler(1 << 20);
        row("1 MiB declared as 1000 bytes", ZipBuilder().deflated("L/a", big, 1000).bytes(), E::TooLarge, {},
            "libraries/ThirdParty", 2000, 3);

        // Only the last level of the destination is created, and only for an extraction that succeeds.
        row("last level missing", three, E::None, "L/c", "examples");
        row("parent missing", three, E::DestinationUnavailable, {}, "missing/examples");
        row("a file", three, E::DestinationUnavailable, {}, "pkg.zip");
        row("empty path", three, E::DestinationUnavailable, {}, "<none>");
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
        const QString dest = destination == QLatin1String("<none>") ? QString() : s.root + '/' + destination;
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
            QCOMPARE(QFileInfo(s.dest + "/LibA/keep").isSymLink(), landed != "LibA/keep");
            QVERIFY(readFile(file.filePath()) != "old xml");
            QCOMPARE(file.permissions() & (QFile::WriteGroup | QFile::WriteOther | QFile::ExeOwner),
                     QFile::Permissions());
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
        row("plain", "Lib/a.txt", "Lib/a.txt");
        row("folder", "Lib/", "Lib");
        row("backslashes", "Lib\\block\\a.js", "Lib/block/a.js");
        row("dot elements", "./Lib/./a.txt", "Lib/a.txt");
        row("the destination itself", "./", "");
        row("dots in a name", "Lib/a..b.txt", "Lib/a..b.txt");
        row("parent", "Lib/../../a", refused);
        row("backslash parent", "..\\a", refused);
        row("leading slash", "/a", refused);
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
};

QTEST_GUILESS_MAIN(TestExtract)
#include "tst_extract.moc"
