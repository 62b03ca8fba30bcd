#include "Support.h"
#include "TestServer.h"
#include "ZipBuilder.h"

#include <QCryptographicHash>

// The command line end to end: the built program, copied into a temporary application folder (it
// finds its folder beside itself), against the local catalog server. Libraries A (1.0, catalog 2.0,
// pinned package), B (1.0, catalog 2.0, no package) and C (current) are installed on board Uno.
class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void run_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("hostPath");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("xmlOfA"); // what A's NAME.xml holds afterwards
        QTest::addColumn<QString>("lastLine");
        const QString argsOfInstall = QStringLiteral("--install A --board Uno");
        QTest::newRow("install") << argsOfInstall.split(' ') << true << 0 << QByteArray("new")
                                 << "完成：成功 1 个，失败 0 个。";
        QTest::newRow("unknown name") << QStringLiteral("--install Nope --board Uno").split(' ') << true << 1
                                      << QByteArray("old") << "完成：成功 0 个，失败 1 个。";
        QTest::newRow("update all") << QStringList{"--update-all", "--board", "Uno"} << true << 1
                                    << QByteArray("new") << "完成：成功 1 个，失败 1 个。";
        QTest::newRow("no host path") << argsOfInstall.split(' ') << false << 2 << QByteArray("old")
                                      << "未设置有效的Quenra路径，请先在窗口中设置。";
        // B's catalog version carries an escape sequence that would set the terminal's title.
        QTest::newRow("list") << QStringList{"--list", "--board", "Uno"} << true << 0 << QByteArray("old")
                              << "C  本地版本：3.0  网络库版本：3.0";
        QTest::newRow("help")
            << QStringList{"--help"} << true << 0 << QByteArray("old")
            << "退出码：0 全部成功，1 部分失败，2 无法开始（参数错误、未设置Quenra路径、没有库列表）。";
    }
    void run() {
        QFETCH(QStringList, args);
        QFETCH(bool, hostPath);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, xmlOfA);
        QFETCH(QString, lastLine);
        QTemporaryDir served;
        const QByteArray package = ZipBuilder().file("A/A.xml", "new", true).bytes();
        const QString sha = QCryptographicHash::hash(package, QCryptographicHash::Sha256).toHex();
        writeFile(served.filePath("A.zip"), package);
        writeFile(
            served.filePath("KU.txt"),
            gbk::encode(
                "公告：测试\r\n[A] \r\n库名=A\r\n库版本=2.0\r\n校验码=" + sha +
                "\r\n[B] \r\n库名=B\r\n库版本=2.0\x1b]0;pwned\x07\r\n[C] \r\n库名=C\r\n库版本=3.0\r\n"));
        TestServer server(served.path());
        QVERIFY2(server.isRunning(), qPrintable(server.errorText()));

        TempAppFolder app;
        app.writeConfig({"fuwuqi=" + server.baseUrl(),
                         hostPath ? "quenra=" + QDir::toNativeSeparators(app.file("host/Quenra.exe")) : ""});
        app.writeFile("host/Quenra.exe", "#!/bin/sh\n");
        for (const auto& [name, version] : {std::pair{"A", "1.0"}, {"B", "1.0"}, {"C", "3.0"}}) {
            app.writeFile(LibraryRoot + '/' + name + "/readme.txt", readme(name, version));
            app.writeFile(LibraryRoot + '/' + name + '/' + name + ".xml", "old");
        }
        const QString program = app.file(QFileInfo(qEnvironmentVariable("QUENRA_ASSISTANT")).fileName());
        QVERIFY(QFile::copy(qEnvironmentVariable("QUENRA_ASSISTANT"), program));

        QProcess process;
        process.start(program, args);
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(out.trimmed().split('\n').last(), lastLine);
        QVERIFY2(!out.contains(QChar(0x1b)) && !out.contains(QChar(0x07)), qPrintable(out));
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(readFile(app.file(LibraryRoot + "/A/A.xml")), xmlOfA);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
