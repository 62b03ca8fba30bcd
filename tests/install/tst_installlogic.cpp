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
        row("root created", "src/bar", "new/deeper/root", E::None, bar);
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
};

QTEST_GUILESS_MAIN(TestInstallLogic)
#include "tst_installlogic.moc"
