#include "TempAppFolder.h"
#include "host/HostPaths.h"
#include "host/HostVersion.h"
#include "host/Subfolders.h"
#include "settings/Gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        QTest::newRow("leading blank is kept") << QStringLiteral(" /opt/Quenra/Quenra.exe") << sl << true;
        QTest::newRow("lower case") << QStringLiteral("D:\\Quenra\\quenra.exe") << bs << false;
        QTest::newRow("other separator") << QStringLiteral("D:/Quenra/Quenra.exe") << bs << false;
        QTest::newRow("trailing blank") << QStringLiteral("/opt/Quenra/Quenra.exe ") << sl << false;
    }
    void validHostPath() {
        QFETCH(QString, path);
        QFETCH(QChar, sep);
        QFETCH(bool, valid);
        QCOMPARE(host::isValidHostPath(path, sep), valid);
    }

    // Each sep + "Quenra.exe" gets the whole suffix, nothing else touched.
    void derivedPaths_data() {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("expected"); // '%' stands for the suffix
        const QChar bs = QLatin1Char('\\');
        QTest::newRow("windows") << QStringLiteral("D:\\Quenra\\Quenra.exe") << bs
                                 << QStringLiteral("D:\\Quenra\\%");
        QTest::newRow("folder named Quenra.exe")
            << QStringLiteral("D:\\Quenra.exe\\Quenra.exe") << bs << QStringLiteral("D:\\%\\%");
        QTest::newRow("other separator unchanged")
            << QStringLiteral("/opt/Quenra/Quenra.exe") << bs << QStringLiteral("/opt/Quenra/Quenra.exe");
    }
    void derivedPaths() {
        QFETCH(QString, exe);
        QFETCH(QChar, sep);
        QFETCH(QString, expected);
        const auto with = [&](QString suffix) {
            return QString(expected).replace(u'%', suffix.replace(u'/', sep));
        };
        QCOMPARE(host::versionFile(exe, sep), with(QStringLiteral("resources/app/src/sw-config.json")));
        QCOMPARE(host::libraryRoot(exe, QString(), sep),
                 with(QStringLiteral("resources/app/src/boards/default//libraries/ThirdParty")));
        QCOMPARE(
            host::libraryExamplesFolder(exe, QStringLiteral("掌控板 v2"), QStringLiteral("RGB灯带"), sep),
            with(QStringLiteral(
                "resources/app/src/boards/default/掌控板 v2/libraries/ThirdParty/RGB灯带/examples/")));
    }

    // Read line by line, every line end CR LF; "2.0 rc4" wins over "3.0 rc0", the exact text only.
    void versionFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("version");
        const auto row = [](const char* name, const QByteArray& bytes, const char* text, const QString& v) {
            QTest::newRow(name) << bytes << QString::fromUtf8(text) << v;
        };
        row("CR LF and LF", "Quenra 3.0 rc0\r\nx\ny", "Quenra 3.0 rc0\r\nx\r\ny\r\n", host::Version30);
        row("both", "Quenra 3.0 rc0\r\nQuenra 2.0 rc4\r\n", "Quenra 3.0 rc0\r\nQuenra 2.0 rc4\r\n",
            host::Version24);
        row("GBK around", gbk::encode(u"版本：Quenra 2.0 rc4，中文"), "版本：Quenra 2.0 rc4，中文\r\n",
            host::Version24);
        row("lower case", "quenra 3.0 rc0", "quenra 3.0 rc0\r\n", QString());
        row("broken over lines", "Quenra 3.0\r\nrc0", "Quenra 3.0\r\nrc0\r\n", QString());
    }
    void versionFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, version);
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("sw-config.json")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        QCOMPARE(host::readVersionFile(f.fileName()).value_or(QStringLiteral("<none>")), text);
        QCOMPARE(host::detectVersion(text), version);
    }

    // Hidden folders and links to folders count, files do not; the order is the file system's.
    void listSubfolders() {
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkdir(QStringLiteral(".hidden")) && root.mkdir(QStringLiteral("掌控板 v2")));
        QFile file(root.filePath(QStringLiteral("a file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(root.filePath(QStringLiteral(".hidden")), root.filePath(QStringLiteral("link"))));
        QCOMPARE(host::listSubfolders(dir.path()),
                 QDir(dir.path(), QString(), QDir::Unsorted, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)
                     .entryList());
        QCOMPARE(host::listSubfolders(dir.path()).size(), NoFileLinks ? 2 : 3);
        QVERIFY(host::listSubfolders(file.fileName()).isEmpty());
        QVERIFY(host::listSubfolders(root.filePath(QStringLiteral("missing"))).isEmpty());
        QVERIFY(host::listSubfolders(QString()).isEmpty()); // not the current folder
    }
};

QTEST_GUILESS_MAIN(TestHostPaths)
#include "tst_hostpaths.moc"
