#include "Support.h"
#include "TempAppFolder.h"
#include "install/LocalInstall.h"
#include "install/PackageName.h"
#include "settings/FileNames.h"

#include <QTest>

class TestInstallLogic final : public QObject {
    Q_OBJECT
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
        row("C1 control", "a\u0085b", "");
        row("DEL",
            "a\x7f"
            "b",
            "");
        for (const char* c : {"<", ">", "\"", "|", "?", "*"}) {
            QTest::addRow("%s", c) << "a" + QString::fromLatin1(c) + "b" << QString();
        }
        row("ends in a dot", "lib.", "");
        row("ends in a blank", "lib ", "");
        row("device", "con", "");
        row("device with an extension", "Nul.txt", "");
        row("device, blank, extension", "AUX .zip", "");
        row("numbered device", "lPt9", "");
        row("numbered device with an extension", "COM1.js", "");
    }
    void packageNames() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QCOMPARE(filenames::isUsableName(name), !address.isEmpty());
        if (!address.isEmpty()) {
            QCOMPARE(install::packageAddress(QStringLiteral("http://h/ku/"), name), address);
            // The file name keeps the name as it is.
            QCOMPARE(install::packageCacheFile(QStringLiteral("/c/"), name), "/c/" + name + ".zip");
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

    void copyFolderInto_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("root");
        QTest::addColumn<int>("error");      // an install::CopyError
        QTest::addColumn<QByteArray>("xml"); // root/bar/foo.xml afterwards
        using E = install::CopyError;
        const auto row = [](const char* tag, const QString& source, const QString& root, E error,
                            const QByteArray& xml) {
            QTest::newRow(tag) << source << root << int(error) << xml;
        };
        row("over an installed copy", "src/bar", "root", E::None, "new");
        row("root created", "src/bar", "new/deeper/root", E::None, "new");
        row("into its own sub-folder", "root", "root/bar", E::IntoItself, "<missing>");
        row("missing source", "nothing", "root", E::SourceMissing, "installed");
    }
    void copyFolderInto() {
        QFETCH(QString, source);
        QFETCH(QString, root);
        QFETCH(int, error);
        QFETCH(QByteArray, xml);
        TempAppFolder app;
        app.writeFile("src/bar/foo.xml", "new");
        app.writeFile("src/bar/block/bar.js", "js");
        app.writeFile("root/bar/foo.xml", "installed");
        app.writeFile("root/bar/old.txt", "kept");
        const install::CopyResult r = install::copyFolderInto(app.file(source), app.file(root));
        QCOMPARE(int(r.error), error);
        QCOMPARE(readFile(app.file(root + "/bar/foo.xml")), xml);
        QCOMPARE(readFile(app.file(root + "/bar/block/bar.js")),
                 QByteArray(xml == "new" ? "js" : "<missing>"));
        QCOMPARE(readFile(app.file("root/bar/old.txt")), QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestInstallLogic)
#include "tst_installlogic.moc"
