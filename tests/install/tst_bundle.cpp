#include "Support.h"
#include "ZipBuilder.h"
#include "install/Bundle.h"
#include "install/Extract.h"
#include "settings/Gbk.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace install;

class TestBundle final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private Q_SLOTS:
    void findsLibraries_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QStringList>("names");
        const auto lib = [](const QByteArray& name) { return name + '/' + name + ".xml"; };
        QTest::newRow("one package") << ZipBuilder().folder("AHT20").file(lib("AHT20"), "x").bytes()
                                     << QStringList{"AHT20"};
        QTest::newRow("bundle, archive order, readme beside")
            << ZipBuilder().file(lib("b"), "x").file("readme.txt", "x").file(lib("a"), "x").bytes()
            << QStringList{"b", "a"};
        QTest::newRow("GBK names")
            << ZipBuilder().file(gbk::encode(QStringLiteral("舵机/舵机.xml")), "x").bytes()
            << QStringList{QStringLiteral("舵机")};
        QTest::newRow("not a library: wrong file, level, or a folder named so") << ZipBuilder()
                                                                                       .file("A/B.xml", "x")
                                                                                       .file("A.xml", "x")
                                                                                       .file(lib("X/Y"), "x")
                                                                                       .folder("C/C.xml")
                                                                                       .file("D/d.xml", "x")
                                                                                       .bytes()
                                                                                << QStringList{};
        QTest::newRow("unusable names left out")
            << ZipBuilder().file(lib("CON"), "x").file(lib("a:b"), "x").file("../E/E.xml", "x").bytes()
            << QStringList{};
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

    // What "导出库包" writes comes back whole through the install of a bundle, names in UTF-8 with
    // the mark; libraries not named stay out.
    void bundleRoundTrip() {
        const QString root = path("root");
        writeFile(root + QStringLiteral("/AHT20/AHT20.xml"), "<xml/>");
        writeFile(root + QStringLiteral("/AHT20/examples/示例.qnp"), QByteArray(200000, 'q'));
        writeFile(root + QStringLiteral("/舵机/舵机.xml"), "<servo/>");
        QDir().mkpath(root + QStringLiteral("/舵机/empty"));
        writeFile(root + QStringLiteral("/Other/Other.xml"), "not exported");
        const QString zip = path(bundleFileName(QStringLiteral("Uno"), QDate(2026, 3, 9)));
        QCOMPARE(QFileInfo(zip).fileName(), QStringLiteral("Uno-库包-20260309.zip"));

        QVERIFY(writeLibraryBundle(root, {QStringLiteral("AHT20"), QStringLiteral("舵机")}, zip).ok());
        const QByteArray bytes = readFile(zip);
        for (qsizetype at = bytes.indexOf("PK\3\4"); at >= 0; at = bytes.indexOf("PK\3\4", at + 4)) {
            const QByteArray name = bytes.mid(at + 30, quint8(bytes[at + 26]) | quint8(bytes[at + 27]) << 8);
            const bool ascii = std::ranges::all_of(name, [](char c) { return quint8(c) < 0x80; });
            QVERIFY2(ascii || (quint8(bytes[at + 7]) & 0x08), name.constData()); // the UTF-8 mark
        }
        QCOMPARE(findLibraries(zip).names, (QStringList{"AHT20", QStringLiteral("舵机")}));
        const QString target = path("target");
        QVERIFY(extractZip(zip, target).ok());
        auto expected = snapshot(root);
        expected.remove(QStringLiteral("Other"));
        expected.remove(QStringLiteral("Other/Other.xml"));
        QCOMPARE(snapshot(target), expected);
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

QTEST_GUILESS_MAIN(TestBundle)
#include "tst_bundle.moc"
