#include "Support.h"
#include "TempAppFolder.h"
#include "ZipBuilder.h"
#include "install/Extract.h"
#include "settings/Gbk.h"

#include <QTest>

using install::ExtractError;

Q_DECLARE_METATYPE(install::ExtractError)
Q_DECLARE_METATYPE(install::Step)

namespace {

QByteArray filler(int size) {
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        b[i] = char((i * 7919) >> 3);
    }
    return b;
}

// An application folder whose destination holds an installed library, with the package beside it.
struct Sandbox {
    TempAppFolder app;
    QString root = app.path();
    QString dest = root + QStringLiteral("/libraries/ThirdParty");
    QString zip = root + QStringLiteral("/pkg.zip");

    explicit Sandbox(const QByteArray& archive) {
        app.writeFile(QStringLiteral("libraries/ThirdParty/LibA/LibA.xml"), "old xml");
        app.writeFile(QStringLiteral("libraries/ThirdParty/LibA/old.txt"), "kept");
        app.writeFile(QStringLiteral("libraries/ThirdParty/Other/keep.txt"), "other");
        writeFile(zip, archive);
    }
};

} // namespace

class TestExtract final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replacesFilesKeepsOthers() {
        Sandbox s(ZipBuilder()
                      .folder("LibA/")
                      .file("LibA/LibA.xml", "new xml")
                      .file("LibA/block/LibA.js", "js")
                      .folder("LibA/examples")
                      .bytes());
        const install::ExtractResult r = install::extractZip(s.zip, s.dest);
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(snapshot(s.dest), (QMap<QString, QByteArray>{{"LibA", "<dir>"},
                                                              {"LibA/LibA.xml", "new xml"},
                                                              {"LibA/block", "<dir>"},
                                                              {"LibA/block/LibA.js", "js"},
                                                              {"LibA/examples", "<dir>"},
                                                              {"LibA/old.txt", "kept"},
                                                              {"Other", "<dir>"},
                                                              {"Other/keep.txt", "other"}}));
        // No staging folder is left beside the destination.
        QCOMPARE(
            QDir(s.root + "/libraries").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("ThirdParty")});
    }

    // Archives unpacked into a destination that holds an installed library: one that is refused
    // changes nothing at all.
    void outcomes_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<ExtractError>("error");
        QTest::addColumn<QString>("landed");      // a file below the destination after a success
        QTest::addColumn<QString>("destination"); // below the sandbox; "<none>": the empty path
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<qint64>("maxEntries");
        const auto row = [](const char* tag, const QByteArray& archive, ExtractError error,
                            const QString& landed = {}, const QString& destination = "libraries/ThirdParty",
                            qint64 maxBytes = qint64(1) << 30, qint64 maxEntries = 100000) {
            QTest::newRow(tag) << archive << error << landed << destination << maxBytes << maxEntries;
        };
        using E = ExtractError;
        const QString name = "RGB灯带/说明 文档.txt";
        row("code page 936 name, no UTF-8 mark", ZipBuilder().file(gbk::encode(name), "x").bytes(), E::None,
            name);
        row("UTF-8 name with the mark", ZipBuilder().file(name.toUtf8(), "x", true).bytes(), E::None, name);
        row("UTF-8 name without the mark", ZipBuilder().file(name.toUtf8(), "x").bytes(), E::None, name);

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

        const QByteArray three =
            ZipBuilder().file("L/a", filler(1000)).file("L/b", filler(1000)).file("L/c", "c").bytes();
        row("within both limits", three, E::None, "L/c", "libraries/ThirdParty", 2001, 3);
        row("bytes over", three, E::TooLarge, {}, "libraries/ThirdParty", 2000, 3);
        row("entries over", three, E::TooManyEntries, {}, "libraries/ThirdParty", 2001, 2);

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
        Sandbox s(archive);
        const QString dest = destination == QLatin1String("<none>") ? QString() : s.root + '/' + destination;
        const QMap<QString, QByteArray> before = snapshot(s.root);
        const install::ExtractResult r = install::extractZip(s.zip, dest, {maxBytes, maxEntries});
        QVERIFY2(r.error == error, qPrintable(r.detail));
        if (error == ExtractError::None) {
            QVERIFY(QFileInfo(dest + '/' + landed).isFile());
        } else {
            QCOMPARE(snapshot(s.root), before);
        }
        QVERIFY(!QFile::exists(QStringLiteral("/evil.txt")));
    }

    // A step that fails anywhere in the swap leaves the destination and its parent as they were.
    void failedStepUndoesEverything_data() {
        QTest::addColumn<install::Step>("step");
        QTest::addColumn<QString>("item");
        QTest::newRow("preparing the second item") << install::Step::Prepare << "LibA";
        QTest::newRow("setting the second item aside, the first one in") << install::Step::SetAside << "LibA";
        QTest::newRow("moving the second item in") << install::Step::MoveIn << "LibA";
    }
    void failedStepUndoesEverything() {
        QFETCH(install::Step, step);
        QFETCH(QString, item);
        // Items go in name order: AAA (new), LibA (replaced).
        Sandbox s(ZipBuilder()
                      .file("AAA/a.txt", "a")
                      .file("LibA/LibA.xml", "new xml")
                      .file("LibA/zz.txt", "z")
                      .bytes());
        const QMap<QString, QByteArray> before = snapshot(s.root);
        const install::ExtractResult r =
            install::extractZipChecked(s.zip, s.dest, {}, [&](install::Step at, const QString& target) {
                return !(at == step && target.endsWith('/' + item));
            });
        QCOMPARE(r.error, ExtractError::WriteFailed);
        QCOMPARE(snapshot(s.root), before);
    }

    // A symbolic link already inside an extraction destination is never followed: nothing is written
    // through it, whatever the archive brings at its place.
    void linkInDestination_data() {
        QTest::addColumn<QString>("link"); // below the destination, pointing to the folder "outside"
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<ExtractError>("error");
        QTest::addColumn<QString>("after"); // after a success: the file at the link's place, or "<link>"
        QTest::newRow("a folder of a library, the archive going inside")
            << "LibA/sub" << ZipBuilder().file("LibA/sub/evil.txt", "x").bytes() << ExtractError::Conflict
            << "";
        QTest::newRow("a library folder, the archive going inside")
            << "Linked" << ZipBuilder().file("Linked/evil.txt", "x").bytes() << ExtractError::Conflict << "";
        QTest::newRow("a file the archive replaces")
            << "LibA/f" << ZipBuilder().file("LibA/f", "new").bytes() << ExtractError::None << "new";
        QTest::newRow("kept as a link in an upgraded library")
            << "LibA/keep" << ZipBuilder().file("LibA/LibA.xml", "new").bytes() << ExtractError::None
            << "<link>";
    }
    void linkInDestination() {
        QFETCH(QString, link);
        QFETCH(QByteArray, archive);
        QFETCH(ExtractError, error);
        QFETCH(QString, after);
        Sandbox s(archive);
        const QString outside = s.root + QStringLiteral("/outside");
        writeFile(outside + QStringLiteral("/inside.txt"), "outside");
        QVERIFY(QFile::link(outside, s.dest + '/' + link));
        const QMap<QString, QByteArray> outsideBefore = snapshot(outside);
        const QMap<QString, QByteArray> before = snapshot(s.root);
        const install::ExtractResult r = install::extractZip(s.zip, s.dest);
        QVERIFY2(r.error == error, qPrintable(r.detail));
        QCOMPARE(snapshot(outside), outsideBefore);
        if (error != ExtractError::None) {
            QCOMPARE(snapshot(s.root), before);
        } else if (after == QLatin1String("<link>")) {
            QCOMPARE(QFileInfo(s.dest + '/' + link).symLinkTarget(), outside);
            QCOMPARE(readFile(s.dest + QStringLiteral("/LibA/old.txt")), QByteArray("kept"));
        } else {
            QVERIFY(!QFileInfo(s.dest + '/' + link).isSymLink());
            QCOMPARE(readFile(s.dest + '/' + link), after.toUtf8());
        }
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
