#include "TempAppFolder.h"
#include "ZipBuilder.h"
#include "install/Extract.h"
#include "settings/Gbk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTest>

using install::ExtractError;
using install::ExtractLimits;
using install::ExtractResult;

Q_DECLARE_METATYPE(install::ExtractError)

namespace {

// Every folder and file below `root`, with the content of the files.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = QDir(root).relativeFilePath(path);
        if (info.isSymLink()) {
            tree.insert(rel, "<link>" + QFile::encodeName(info.symLinkTarget()));
        } else if (info.isDir()) {
            tree.insert(rel, "<dir>");
        } else {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            tree.insert(rel, f.readAll());
        }
    }
    return tree;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray filler(int size) {
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        b[i] = char((i * 7919) >> 3);
    }
    return b;
}

// A sandbox: an application folder holding a destination folder with an installed library and a
// package file beside it.
struct Sandbox {
    TempAppFolder app;
    QString root = app.path();
    QString dest = root + QStringLiteral("/libraries/ThirdParty");
    QString zip = root + QStringLiteral("/pkg.zip");

    Sandbox() {
        app.writeFile(QStringLiteral("libraries/ThirdParty/LibA/LibA.xml"), "old xml");
        app.writeFile(QStringLiteral("libraries/ThirdParty/LibA/old.txt"), "kept");
        app.writeFile(QStringLiteral("libraries/ThirdParty/Other/keep.txt"), "other");
    }
};

} // namespace

class TestExtract final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replacesFilesKeepsOthers() {
        Sandbox s;
        ZipBuilder()
            .folder("LibA/")
            .file("LibA/LibA.xml", "new xml")
            .file("LibA/block/LibA.js", "js")
            .folder("LibA/examples")
            .write(s.zip);
        const ExtractResult r = install::extractZip(s.zip, s.dest);
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(readAll(s.dest + "/LibA/LibA.xml"), QByteArray("new xml"));
        QCOMPARE(readAll(s.dest + "/LibA/old.txt"), QByteArray("kept"));
        QCOMPARE(readAll(s.dest + "/LibA/block/LibA.js"), QByteArray("js"));
        QVERIFY(QFileInfo(s.dest + "/LibA/examples").isDir());
        QCOMPARE(readAll(s.dest + "/Other/keep.txt"), QByteArray("other"));
        // Nothing but the destination and the package is left beside it.
        QCOMPARE(
            QDir(s.root + "/libraries").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("ThirdParty")});
    }

    void entryNameEncodings_data() {
        QTest::addColumn<QByteArray>("rawName");
        QTest::addColumn<bool>("utf8Flag");
        const QString name = QStringLiteral("RGB灯带/说明 文档.txt");
        QTest::newRow("code page 936, no UTF-8 mark") << gbk::encode(name) << false;
        QTest::newRow("UTF-8 with the mark") << name.toUtf8() << true;
        QTest::newRow("UTF-8 without the mark") << name.toUtf8() << false;
    }
    void entryNameEncodings() {
        QFETCH(QByteArray, rawName);
        QFETCH(bool, utf8Flag);
        Sandbox s;
        ZipBuilder().file(rawName, "text", utf8Flag).file("RGB/plain.txt", "ascii").write(s.zip);
        const ExtractResult r = install::extractZip(s.zip, s.dest);
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(readAll(s.dest + QStringLiteral("/RGB灯带/说明 文档.txt")), QByteArray("text"));
        QCOMPARE(readAll(s.dest + "/RGB/plain.txt"), QByteArray("ascii"));
    }

    void refusedArchivesChangeNothing_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<ExtractError>("error");
        // Each hostile archive starts with a good entry, which must not land either.
        auto withGood = [] { return ZipBuilder().file("LibA/LibA.xml", "new xml").file("Fresh/f.txt", "f"); };
        QTest::newRow("parent element")
            << withGood().file("../evil.txt", "x").bytes() << ExtractError::UnsafeName;
        QTest::newRow("nested parent elements")
            << withGood().file("LibA/../../evil.txt", "x").bytes() << ExtractError::UnsafeName;
        QTest::newRow("backslash parent")
            << withGood().file("..\\evil.txt", "x").bytes() << ExtractError::UnsafeName;
        QTest::newRow("drive letter")
            << withGood().file("C:/evil.txt", "x").bytes() << ExtractError::UnsafeName;
        QTest::newRow("control character") << withGood()
                                                  .file("LibA/a\x01"
                                                        "b.txt",
                                                        "x")
                                                  .bytes()
                                           << ExtractError::UnsafeName;
        QTest::newRow("symlink escaping, then a file through it")
            << withGood().symlink("LibA/out", "../..").file("LibA/out/evil.txt", "x").bytes()
            << ExtractError::UnsupportedEntry;
        QTest::newRow("absolute symlink")
            << withGood().symlink("LibA/passwd", "/etc/passwd").bytes() << ExtractError::UnsupportedEntry;
        const QByteArray whole =
            withGood().file("LibA/big.bin", filler(200000)).file("LibA/z.txt", "z").bytes();
        QTest::newRow("truncated") << whole.left(whole.size() * 6 / 10) << ExtractError::Corrupt;
        QTest::newRow("not an archive") << filler(5000) << ExtractError::CannotOpen;
        QTest::newRow("folder where the destination has a file")
            << ZipBuilder().file("Fresh/f.txt", "f").file("LibA/old.txt/inner.txt", "x").bytes()
            << ExtractError::Conflict;
        QTest::newRow("file where the destination has a folder")
            << ZipBuilder().file("Fresh/f.txt", "f").file("Other", "x").bytes() << ExtractError::Conflict;
    }
    void refusedArchivesChangeNothing() {
        QFETCH(QByteArray, archive);
        QFETCH(ExtractError, error);
        Sandbox s;
        QFile f(s.zip);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(archive);
        f.close();
        const QMap<QString, QByteArray> before = snapshot(s.root);
        const ExtractResult r = install::extractZip(s.zip, s.dest);
        QCOMPARE(r.error, error);
        QCOMPARE(snapshot(s.root), before);
        QVERIFY(!QFile::exists(QStringLiteral("/evil.txt")));
    }

    void absoluteEntryNameIsRefused() {
        Sandbox s;
        const QByteArray target = QFile::encodeName(s.root + "/evil.txt");
        ZipBuilder().file("LibA/LibA.xml", "new").file(target, "x").write(s.zip);
        const QMap<QString, QByteArray> before = snapshot(s.root);
        QCOMPARE(install::extractZip(s.zip, s.dest).error, ExtractError::UnsafeName);
        QCOMPARE(snapshot(s.root), before);
    }

    void limits_data() {
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<qint64>("maxEntries");
        QTest::addColumn<ExtractError>("error");
        QTest::newRow("within both") << qint64(3000) << qint64(3) << ExtractError::None;
        QTest::newRow("bytes over") << qint64(2999) << qint64(3) << ExtractError::TooLarge;
        QTest::newRow("entries over") << qint64(3000) << qint64(2) << ExtractError::TooManyEntries;
    }
    void limits() {
        QFETCH(qint64, maxBytes);
        QFETCH(qint64, maxEntries);
        QFETCH(ExtractError, error);
        Sandbox s;
        ZipBuilder()
            .file("L/a", filler(1000))
            .file("L/b", filler(1000))
            .file("L/c", filler(1000))
            .write(s.zip);
        const QMap<QString, QByteArray> before = snapshot(s.root);
        ExtractLimits limits;
        limits.maxBytes = maxBytes;
        limits.maxEntries = maxEntries;
        QCOMPARE(install::extractZip(s.zip, s.dest, limits).error, error);
        QCOMPARE(snapshot(s.root) == before, error != ExtractError::None);
    }

    void destinationCreatedOnlyBelowAnExistingParent() {
        Sandbox s;
        ZipBuilder().file("Ex/ex.qnp", "example").write(s.zip);
        const QString fresh = s.root + "/examples";
        QVERIFY(install::extractZip(s.zip, fresh).ok());
        QCOMPARE(readAll(fresh + "/Ex/ex.qnp"), QByteArray("example"));

        const QString orphan = s.root + "/missing/examples";
        QCOMPARE(install::extractZip(s.zip, orphan).error, ExtractError::DestinationUnavailable);
        QVERIFY(!QFileInfo::exists(s.root + "/missing"));

        QCOMPARE(install::extractZip(s.zip, s.zip).error, ExtractError::DestinationUnavailable);
        QCOMPARE(install::extractZip(s.zip, QString()).error, ExtractError::DestinationUnavailable);
    }

    void failedExtractionRemovesTheFolderItCreated() {
        Sandbox s;
        ZipBuilder().file("ok.txt", "x").file("../evil.txt", "x").write(s.zip);
        const QString fresh = s.root + "/examples";
        QCOMPARE(install::extractZip(s.zip, fresh).error, ExtractError::UnsafeName);
        QVERIFY(!QFileInfo::exists(fresh));
    }

    void failureWhileMovingUndoesEarlierMoves_data() {
        QTest::addColumn<QString>("failAt");
        QTest::newRow("after a new folder and a replaced file") << QStringLiteral("LibA/zz.txt");
        QTest::newRow("at the first move") << QStringLiteral("AAA");
    }
    void failureWhileMovingUndoesEarlierMoves() {
        QFETCH(QString, failAt);
        Sandbox s;
        // Moves go in name order: AAA (a new folder), LibA/LibA.xml (replaces), LibA/zz.txt.
        ZipBuilder()
            .file("AAA/a.txt", "a")
            .file("LibA/LibA.xml", "new xml")
            .file("LibA/zz.txt", "z")
            .write(s.zip);
        const QMap<QString, QByteArray> before = snapshot(s.root);
        const ExtractResult r = install::extractZipChecked(
            s.zip, s.dest, {}, [&](const QString& target) { return !target.endsWith(failAt); });
        QCOMPARE(r.error, ExtractError::WriteFailed);
        QCOMPARE(snapshot(s.root), before);
    }

    void safeEntryPath_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path"); // "<refused>" when refused
        const QString refused = QStringLiteral("<refused>");
        QTest::newRow("plain") << "Lib/a.txt"
                               << "Lib/a.txt";
        QTest::newRow("folder") << "Lib/"
                                << "Lib";
        QTest::newRow("backslashes") << "Lib\\block\\a.js"
                                     << "Lib/block/a.js";
        QTest::newRow("dot elements") << "./Lib/./a.txt"
                                      << "Lib/a.txt";
        QTest::newRow("the destination itself") << "./"
                                                << "";
        QTest::newRow("dots in a name") << "Lib/a..b.txt"
                                        << "Lib/a..b.txt";
        QTest::newRow("parent") << "Lib/../../a" << refused;
        QTest::newRow("leading slash") << "/a" << refused;
        QTest::newRow("leading backslash") << "\\a" << refused;
        QTest::newRow("drive") << "c:a" << refused;
        QTest::newRow("undecodable") << QStringLiteral("Lib/\uFFFD.txt") << refused;
    }
    void safeEntryPath() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(install::safeEntryPath(name).value_or(QStringLiteral("<refused>")), path);
    }
};

QTEST_GUILESS_MAIN(TestExtract)
#include "tst_extract.moc"
