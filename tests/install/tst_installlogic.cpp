#include "TempAppFolder.h"
#include "install/DownloadCodes.h"
#include "install/LocalInstall.h"
#include "install/PackageName.h"

#include <QDir>
#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(install::CopyError)

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestInstallLogic final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void packageNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::addColumn<QString>("address");
        const QString refused;
        QTest::newRow("ascii") << "AHT20" << true << "http://h/ku/AHT20.zip";
        QTest::newRow("space") << "Servo Motor" << true << "http://h/ku/Servo%20Motor.zip";
        QTest::newRow("chinese") << QStringLiteral("RGB灯带") << true
                                 << "http://h/ku/RGB%E7%81%AF%E5%B8%A6.zip";
        QTest::newRow("url delimiters") << "a#b?c%d" << true << "http://h/ku/a%23b%3Fc%25d.zip";
        QTest::newRow("sub-delimiters stay") << "a+b(c)" << true << "http://h/ku/a+b(c).zip";
        QTest::newRow("empty") << "" << true << "http://h/ku/.zip";
        QTest::newRow("dots inside") << "v1.2" << true << "http://h/ku/v1.2.zip";
        QTest::newRow("slash") << "a/b" << false << refused;
        QTest::newRow("backslash") << "a\\b" << false << refused;
        QTest::newRow("parent") << ".." << false << refused;
        QTest::newRow("drive") << "C:x" << false << refused;
        QTest::newRow("control") << "a\tb" << false << refused;
    }
    void packageNames() {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QFETCH(QString, address);
        QCOMPARE(install::isSafePackageName(name), safe);
        if (safe) {
            QCOMPARE(install::packageAddress(QStringLiteral("http://h/ku/"), name), address);
            // The file name keeps the name as it is.
            QCOMPARE(install::packageCacheFile(QStringLiteral("/app/Dravonel/ku/Wenjian/"), name),
                     QStringLiteral("/app/Dravonel/ku/Wenjian/") + name + QStringLiteral(".zip"));
        }
    }

    void failureMessages() {
        using install::DownloadOutcome;
        QCOMPARE(install::downloadCode(DownloadOutcome::Ok), 0);
        QCOMPARE(install::downloadCode(DownloadOutcome::NotFound), -2146697211);
        QCOMPARE(install::downloadCode(DownloadOutcome::CannotConnect), -2146697212);
        QCOMPARE(install::downloadCode(DownloadOutcome::TimedOut), -2146697205);
        QCOMPARE(install::downloadCode(DownloadOutcome::Failed), -2146697208);
        QCOMPARE(install::downloadCode(DownloadOutcome::Cancelled), -2147467260);
        QCOMPARE(install::downloadCode(DownloadOutcome::CacheUnwritable), -2147024893);
        QCOMPARE(install::downloadFailureMessage(install::code::NotFound, "x"),
                 QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：-2146697211"));
        QVERIFY(install::downloadFailureMessage(install::code::BadName, "../x")
                    .contains(QStringLiteral("【../x】")));
    }

    void xmlChoice_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows") << "C:\\libs\\bar\\foo.xml" << QChar('\\') << true << "C:\\libs\\bar"
                                 << "foo";
        QTest::newRow("posix") << "/home/u/bar/foo.xml" << QChar('/') << true << "/home/u/bar"
                               << "foo";
        QTest::newRow("file name repeated in the folder")
            << "/l/foo.xml.d/foo.xml" << QChar('/') << true << "/l/foo.xml.d"
            << "foo";
        QTest::newRow("upper-case suffix") << "/l/bar/foo.XML" << QChar('/') << false << ""
                                           << "";
        QTest::newRow("empty") << "" << QChar('/') << false << ""
                               << "";
        QTest::newRow("no folder") << "foo.xml" << QChar('/') << false << ""
                                   << "";
    }
    void xmlChoice() {
        QFETCH(QString, path);
        QFETCH(QChar, sep);
        QFETCH(bool, accepted);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        const install::XmlChoice c = install::interpretXmlChoice(path, sep);
        QCOMPARE(c.accepted, accepted);
        QCOMPARE(c.sourceFolder, folder);
        QCOMPARE(c.name, name);
    }

    void copyFolderInto() {
        TempAppFolder app;
        app.writeFile("src/bar/foo.xml", "new xml");
        app.writeFile("src/bar/block/bar.js", "js");
        app.writeFile("root/bar/foo.xml", "old xml");
        app.writeFile("root/bar/old.txt", "kept");
        const install::CopyResult r = install::copyFolderInto(app.file("src/bar"), app.file("root"));
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(readAll(app.file("root/bar/foo.xml")), QByteArray("new xml"));
        QCOMPARE(readAll(app.file("root/bar/block/bar.js")), QByteArray("js"));
        QCOMPARE(readAll(app.file("root/bar/old.txt")), QByteArray("kept"));
        // A missing library root is created.
        QVERIFY(install::copyFolderInto(app.file("src/bar"), app.file("new/deeper/root")).ok());
        QCOMPARE(readAll(app.file("new/deeper/root/bar/foo.xml")), QByteArray("new xml"));
    }

    void copyRefusals_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("root");
        QTest::addColumn<install::CopyError>("error");
        QTest::newRow("onto itself") << "root/bar"
                                     << "root" << install::CopyError::None;
        QTest::newRow("into its own sub-folder") << "root"
                                                 << "root/bar" << install::CopyError::IntoItself;
        QTest::newRow("missing source") << "nothing"
                                        << "root" << install::CopyError::SourceMissing;
        QTest::newRow("a file where a folder goes") << "src/bar"
                                                    << "blocked" << install::CopyError::WriteFailed;
    }
    void copyRefusals() {
        QFETCH(QString, source);
        QFETCH(QString, root);
        QFETCH(install::CopyError, error);
        TempAppFolder app;
        app.writeFile("src/bar/foo.xml", "x");
        app.writeFile("root/bar/foo.xml", "installed");
        app.writeFile("blocked/bar", "a file named like the library");
        QCOMPARE(install::copyFolderInto(app.file(source), app.file(root)).error, error);
        QCOMPARE(readAll(app.file("root/bar/foo.xml")), QByteArray("installed"));
        QVERIFY(!QFileInfo::exists(app.file("root/bar/bar")));
    }
};

QTEST_GUILESS_MAIN(TestInstallLogic)
#include "tst_installlogic.moc"
