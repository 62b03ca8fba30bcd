#include "Files.h"
#include "ZipBuilder.h"
#include "publish/Tool.h"
#include "settings/Gbk.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

// quenra-catalog against catalogs of one fault each, with a packages folder beside them.
class TestPublish final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString good_; // the SHA-256 of Good.zip, in hexadecimal

    // Runs the tool in the folder on KU.txt holding `catalog`; its exit status, then its output lines.
    QStringList run(const QString& command, const QByteArray& catalog) {
        writeFile(dir_.filePath("KU.txt"), catalog);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = publish::runTool({command, "KU.txt", "--packages", "."}, outStream, errStream);
        return QStringList(QString::number(status)) + out.split('\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase() {
        QDir::setCurrent(dir_.path());
        const QByteArray good = ZipBuilder().file("Good/Good.xml", "<xml/>").bytes();
        good_ = QCryptographicHash::hash(good, QCryptographicHash::Sha256).toHex();
        for (const char* name : {"Good", "Old", "Tail"}) {
            writeFile(dir_.filePath(name + QLatin1String(".zip")), good);
        }
        writeFile(dir_.filePath("NoXml.zip"), ZipBuilder().file("NoXml/readme.txt", "x").bytes());
        writeFile(dir_.filePath("Evil.zip"),
                  ZipBuilder().file("Evil/Evil.xml", "").file("../up.txt", "x").bytes());
        writeFile(dir_.filePath("Junk.zip"), "not a zip");
    }

    void check_data() {
        QTest::addColumn<QByteArray>("catalog");
        QTest::addColumn<QStringList>("problems"); // "LINE: the message's beginning"
        const auto row = [](const char* tag, const QString& text, const QStringList& problems,
                            const QByteArray& tail = {}) {
            QTest::newRow(tag) << gbk::encode(text) + tail << problems;
        };
        const QString ok = QStringLiteral("公告：x\r\n");
        row("clean", ok + "[Good] \r\n库名=Good\r\n校验码=" + good_.toUpper(), {});
        row("no notice", "[Good] \r\n库名=Good", {"1: 全文没有“公告”"});
        row("not GBK", ok, {"2: 这一行不是有效的GBK"}, "\x81\x7f\r\n");
        row("duplicate", ok + "[Good] \r\n库名=Good\r\n[good] ", {"4: 重复的库【good】"});
        row("refused name", ok + "[a/b] ", {"2: 名称【a/b】"});
        row("header without its last character", ok + "[Good]\r\n库名=Good", {"2: 库列表中显示为【Goo】"});
        row("no 库名", ok + "[Good] \r\n作者=x", {"2: 这一节没有“库名”"});
        row("versions differ", ok + "版本号：1.0\r\n版本号：1.1", {"3: 版本号【1.1】与第2行的【1.0】"});
        row("site not http", ok + "分享网址：本地[file:///etc/passwd]", {"2: 分享网址没有http(s)网址"});
        row("example naming no package", ok + "分享示例：标题", {"2: 分享示例没有写明包名"});
        row("malformed 校验码", ok + "[Good] \r\n库名=Good\r\n校验码=xyz", {"4: 校验码应为64位"});
        row("package missing", ok + "[Gone] \r\n库名=Gone\r\n分享示例：灯[lamp]",
            {"2: 库包 Gone.zip 不存在", "4: 库包 lamp.zip 不存在"});
        row("not a zip", ok + "[Junk] \r\n库名=Junk", {"2: 库包 Junk.zip 不是"});
        row("unsafe entry", ok + "[Evil] \r\n库名=Evil",
            {"2: 库包 Evil.zip 会被客户端拒绝解压（条目路径不安全）：../up.txt"});
        row("no NAME/NAME.xml", ok + "[NoXml] \r\n库名=NoXml", {"2: 库包 NoXml.zip 中没有 NoXml/NoXml.xml"});
        row("校验码 mismatch", ok + "[Good] \r\n库名=Good\r\n校验码=" + QString(64, '0'),
            {"4: 校验码与库包 Good.zip 不符"});
    }
    void check() {
        QFETCH(QByteArray, catalog);
        QFETCH(QStringList, problems);
        const QStringList out = run("check", catalog);
        QCOMPARE(out.size(), problems.size() + 1);
        QCOMPARE(out[0], problems.isEmpty() ? "0" : "1");
        for (qsizetype i = 0; i < problems.size(); ++i) {
            QVERIFY2(out[i + 1].startsWith("KU.txt:" + problems[i]), qPrintable(out[i + 1]));
        }
    }

    // Every byte but the new digests stays: line ends of each kind, an old digest replaced in place,
    // a library without package untouched, a last line without line end.
    void stampKeepsEveryOtherByte() {
        const QString before = "公告：中文\n[Good] \n库名=Good\n\n[Old] \r\n库名=Old\r\n校验码=00\r\n"
                               "[Gone] \r\n库名=Gone\r\n[Tail] \r\n库名=Tail";
        QString after = before;
        after.replace("Good\n", "Good\n校验码=" + good_ + '\n').replace("=00", '=' + good_);
        after += "\r\n校验码=" + good_;
        QCOMPARE(run("stamp", gbk::encode(before)).join('|'), "0|已写入 3 个库的校验码");
        QCOMPARE(readFile(dir_.filePath("KU.txt")), gbk::encode(after));
    }
};

QTEST_GUILESS_MAIN(TestPublish)
#include "tst_publish.moc"
