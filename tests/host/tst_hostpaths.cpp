#include "host/HostPaths.h"
#include "host/HostVersion.h"
#include "host/Subfolders.h"
#include "settings/Gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using PathOf = std::function<QString(const QString& exe, QChar sep)>;

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

Q_DECLARE_METATYPE(PathOf)

class TestHostPaths final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void validHostPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<bool>("valid");
        const QChar bs = QLatin1Char('\\');
        const QChar sl = QLatin1Char('/');
        QTest::newRow("windows") << QStringLiteral("D:\\Quenra\\Quenra.exe") << bs << true;
        QTest::newRow("unix") << QStringLiteral("/opt/Quenra/Quenra.exe") << sl << true;
        QTest::newRow("drive root") << QStringLiteral("D:\\Quenra.exe") << bs << true;
        QTest::newRow("name alone") << QStringLiteral("Quenra.exe") << bs << false;
        QTest::newRow("lower case") << QStringLiteral("D:\\Quenra\\quenra.exe") << bs << false;
        QTest::newRow("upper-case extension") << QStringLiteral("D:\\Quenra\\Quenra.EXE") << bs << false;
        QTest::newRow("other separator") << QStringLiteral("D:/Quenra/Quenra.exe") << bs << false;
        QTest::newRow("longer name") << QStringLiteral("D:\\Quenra\\MyQuenra.exe") << bs << false;
        QTest::newRow("trailing blank") << QStringLiteral("/opt/Quenra/Quenra.exe ") << sl << false;
        QTest::newRow("leading blank is kept") << QStringLiteral(" /opt/Quenra/Quenra.exe") << sl << true;
        QTest::newRow("empty") << QString() << sl << false;
    }
    void validHostPath() {
        QFETCH(QString, path);
        QFETCH(QChar, sep);
        QFETCH(bool, valid);
        QCOMPARE(host::isValidHostPath(path, sep), valid);
    }

    void derivedPaths_data() {
        QTest::addColumn<PathOf>("pathOf");
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("expected");
        const QChar bs = QLatin1Char('\\');
        const QChar sl = QLatin1Char('/');
        const QString win = QStringLiteral("D:\\Quenra\\Quenra.exe");
        const QString nix = QStringLiteral("/opt/Quenra/Quenra.exe");
        const QString board = QStringLiteral("掌控板 v2");
        const QString lib = QStringLiteral("RGB灯带");

        const PathOf version = [](const QString& e, QChar s) { return host::versionFile(e, s); };
        const PathOf boards = [](const QString& e, QChar s) { return host::boardsFolder(e, s); };
        const PathOf root = [board](const QString& e, QChar s) { return host::libraryRoot(e, board, s); };
        const PathOf noBoardRoot = [](const QString& e, QChar s) {
            return host::libraryRoot(e, QString(), s);
        };
        const PathOf folder = [board, lib](const QString& e, QChar s) {
            return host::libraryFolder(e, board, lib, s);
        };
        const PathOf readme = [board, lib](const QString& e, QChar s) {
            return host::libraryReadme(e, board, lib, s);
        };
        const PathOf xml = [board, lib](const QString& e, QChar s) {
            return host::libraryXml(e, board, lib, s);
        };
        const PathOf block = [board, lib](const QString& e, QChar s) {
            return host::libraryBlockScript(e, board, lib, s);
        };
        const PathOf generator = [board, lib](const QString& e, QChar s) {
            return host::libraryGeneratorScript(e, board, lib, s);
        };
        const PathOf examples = [board, lib](const QString& e, QChar s) {
            return host::libraryExamplesFolder(e, board, lib, s);
        };
        const PathOf shared = [](const QString& e, QChar s) { return host::sharedExamplesFolder(e, s); };

        QTest::newRow("version file, windows")
            << version << win << bs << QStringLiteral("D:\\Quenra\\resources\\app\\src\\sw-config.json");
        QTest::newRow("boards folder, unix")
            << boards << nix << sl << QStringLiteral("/opt/Quenra/resources/app/src/boards/default");
        QTest::newRow("library root, windows")
            << root << win << bs
            << QStringLiteral(
                   "D:\\Quenra\\resources\\app\\src\\boards\\default\\掌控板 v2\\libraries\\ThirdParty");
        QTest::newRow("library root, empty board")
            << noBoardRoot << win << bs
            << QStringLiteral("D:\\Quenra\\resources\\app\\src\\boards\\default\\\\libraries\\ThirdParty");
        QTest::newRow("library folder")
            << folder << nix << sl
            << QStringLiteral(
                   "/opt/Quenra/resources/app/src/boards/default/掌控板 v2/libraries/ThirdParty/RGB灯带");
        QTest::newRow("readme") << readme << win << bs
                                << QStringLiteral("D:\\Quenra\\resources\\app\\src\\boards\\default\\掌控板 "
                                                  "v2\\libraries\\ThirdParty\\RGB灯带\\readme.txt");
        QTest::newRow("xml") << xml << nix << sl
                             << QStringLiteral("/opt/Quenra/resources/app/src/boards/default/掌控板 "
                                               "v2/libraries/ThirdParty/RGB灯带/RGB灯带.xml");
        QTest::newRow("block script") << block << nix << sl
                                      << QStringLiteral("/opt/Quenra/resources/app/src/boards/default/掌控板 "
                                                        "v2/libraries/ThirdParty/RGB灯带/block/RGB灯带.js");
        QTest::newRow("generator script")
            << generator << win << bs
            << QStringLiteral("D:\\Quenra\\resources\\app\\src\\boards\\default\\掌控板 "
                              "v2\\libraries\\ThirdParty\\RGB灯带\\generator\\RGB灯带.js");
        QTest::newRow("examples folder ends with separator")
            << examples << win << bs
            << QStringLiteral("D:\\Quenra\\resources\\app\\src\\boards\\default\\掌控板 "
                              "v2\\libraries\\ThirdParty\\RGB灯带\\examples\\");
        QTest::newRow("shared examples, unix")
            << shared << nix << sl
            << QStringLiteral("/opt/Quenra/resources/app/src/boards/Dravonel_examples");

        // The replacement is literal: every occurrence, exact case, nothing else touched.
        QTest::newRow("folder named Quenra.exe: every occurrence")
            << version << QStringLiteral("D:\\Quenra.exe\\Quenra.exe") << bs
            << QStringLiteral("D:\\resources\\app\\src\\sw-config.json\\resources\\app\\src\\sw-config.json");
        QTest::newRow("lower-case name unchanged") << boards << QStringLiteral("D:\\Quenra\\quenra.exe") << bs
                                                   << QStringLiteral("D:\\Quenra\\quenra.exe");
        QTest::newRow("other separator unchanged") << boards << nix << bs << nix;
        QTest::newRow("not at the end still replaced")
            << version << QStringLiteral("/a/Quenra.exe.bak") << sl
            << QStringLiteral("/a/resources/app/src/sw-config.json.bak");
        QTest::newRow("nothing normalised")
            << version << QStringLiteral("D:\\\\x\\..\\Quenra.exe") << bs
            << QStringLiteral("D:\\\\x\\..\\resources\\app\\src\\sw-config.json");
    }
    void derivedPaths() {
        QFETCH(PathOf, pathOf);
        QFETCH(QString, exe);
        QFETCH(QChar, sep);
        QFETCH(QString, expected);
        QCOMPARE(pathOf(exe, sep), expected);
    }

    void libraryPathsReplaceInWholeHostPath() {
        // Each path is one replacement with its whole suffix, so a host folder that is itself named
        // Quenra.exe gets the library's name in both places.
        const QString exe = QStringLiteral("/x/Quenra.exe/Quenra.exe");
        const QString one =
            QStringLiteral("/resources/app/src/boards/default/B/libraries/ThirdParty/L/readme.txt");
        QCOMPARE(host::libraryReadme(exe, QStringLiteral("B"), QStringLiteral("L"), QLatin1Char('/')),
                 QStringLiteral("/x") + one + one);
    }

    void detectVersion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("3.0") << QStringLiteral("{\"version\": \"Quenra 3.0 rc0\"}")
                             << QStringLiteral("Quenra 3.0 rc0");
        QTest::newRow("2.0") << QStringLiteral("Quenra 2.0 rc4\r\n") << QStringLiteral("Quenra 2.0 rc4");
        QTest::newRow("both: 2.0 wins")
            << QStringLiteral("Quenra 2.0 rc4\r\nQuenra 3.0 rc0\r\n") << QStringLiteral("Quenra 2.0 rc4");
        QTest::newRow("lower case") << QStringLiteral("quenra 3.0 rc0") << QString();
        QTest::newRow("other version") << QStringLiteral("Quenra 2.0 rc3") << QString();
        QTest::newRow("broken over lines") << QStringLiteral("Quenra 3.0\r\nrc0") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("inside a longer word")
            << QStringLiteral("xQuenra 3.0 rc01") << QStringLiteral("Quenra 3.0 rc0");
    }
    void detectVersion() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(host::detectVersion(text), expected);
    }

    void readVersionFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("LF lines") << QByteArray("a\nb\n") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("GBK") << gbk::encode(u"版本=Quenra 3.0 rc0\r\n")
                             << QStringLiteral("版本=Quenra 3.0 rc0\r\n");
    }
    void readVersionFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sw-config.json"));
        writeBytes(path, bytes);
        QCOMPARE(host::readVersionFile(path), std::optional<QString>(expected));
    }

    void readVersionFileThatCannotBeOpened() {
        QTemporaryDir dir;
        QCOMPARE(host::readVersionFile(dir.filePath(QStringLiteral("missing.json"))), std::nullopt);
        QCOMPARE(host::readVersionFile(dir.path()), std::nullopt);
    }

    void listSubfoldersInEnumerationOrder() {
        QTemporaryDir dir;
        QDir root(dir.path());
        const QStringList made{QStringLiteral("zeta"), QStringLiteral("Arduino Uno"),
                               QStringLiteral("掌控板 v2"), QStringLiteral(".hidden")};
        for (const QString& name : made) {
            QVERIFY(root.mkdir(name));
        }
        writeBytes(root.filePath(QStringLiteral("a file")), "x");
        QVERIFY(QFile::link(root.filePath(QStringLiteral("zeta")),
                            root.filePath(QStringLiteral("link to zeta"))));

        // What the file system enumerates, unsorted: the reference is QDir's own unsorted listing.
        const QStringList unsorted =
            QDir(dir.path(), QString(), QDir::Unsorted, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)
                .entryList();
        QCOMPARE(host::listSubfolders(dir.path()), unsorted);
        QStringList sorted = host::listSubfolders(dir.path());
        sorted.sort();
        QStringList expected = made + QStringList{QStringLiteral("link to zeta")};
        expected.sort();
        QCOMPARE(sorted, expected);
    }

    void listSubfoldersOfNothing() {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("file")), "x");
        QVERIFY(host::listSubfolders(dir.filePath(QStringLiteral("missing"))).isEmpty());
        QVERIFY(host::listSubfolders(dir.filePath(QStringLiteral("file"))).isEmpty());
        QVERIFY(host::listSubfolders(QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHostPaths)
#include "tst_hostpaths.moc"
