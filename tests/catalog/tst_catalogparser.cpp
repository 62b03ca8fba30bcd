#include "catalog/CatalogParser.h"
#include "settings/Gbk.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Absent = QStringLiteral("<absent>");

QString shown(const std::optional<QString>& value) {
    return value ? *value : Absent;
}

// The sample catalog of the handbook, CR LF line ends.
QString sampleCatalog() {
    return QStringList{QStringLiteral("版本号：1.03"),
                       QStringLiteral("软件更新日期：2025年1月5日"),
                       QStringLiteral("公告：欢迎使用"),
                       QStringLiteral("库更新：2025年1月4日"),
                       QStringLiteral("分享网址：示例网站[https://example.com/]"),
                       QStringLiteral("分享示例：流水灯[led]"),
                       QString(),
                       QStringLiteral("[AHT20] "),
                       QStringLiteral("库名=AHT20温湿度传感器"),
                       QStringLiteral("库版本=1.2"),
                       QStringLiteral("[OLED] "),
                       QStringLiteral("库名=OLED显示屏")}
               .join(QStringLiteral("\r\n")) +
           QStringLiteral("\r\n");
}

} // namespace

class TestCatalogParser final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sampleCatalogFillsEverything() {
        const catalog::ParsedCatalog p = catalog::parse(sampleCatalog());
        QCOMPARE(p.libraries, (QStringList{"AHT20", "OLED"}));
        QCOMPARE(p.versions, QStringList{"1.03"});
        QCOMPARE(shown(p.releaseDate), QStringLiteral("2025年1月5日"));
        QCOMPARE(shown(p.notice), QStringLiteral("欢迎使用"));
        QCOMPARE(shown(p.libraryUpdate), QStringLiteral("2025年1月4日"));
        QCOMPARE(p.sites, QStringList{QStringLiteral("示例网站[https://example.com/]")});
        QCOMPARE(p.examples, QStringList{QStringLiteral("流水灯[led]")});
    }

    void lines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("libraries");
        QTest::addColumn<QStringList>("versions");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QStringList>("sites");

        const QStringList none;
        QTest::newRow("header without trailing character") << "[AHT20]\r\n"
                                                           << QStringList{"AHT2"} << none << Absent << none;
        QTest::newRow("header with two trailing characters")
            << "[AHT20]  \r\n"
            << QStringList{"AHT20 "} << none << Absent << none;
        QTest::newRow("every bracket removed") << "[a[b]c] \r\n"
                                               << QStringList{"abc"} << none << Absent << none;
        QTest::newRow("lone bracket gives an empty row") << "[\r\n"
                                                         << QStringList{""} << none << Absent << none;
        QTest::newRow("empty header gives an empty row") << "[]\r\n"
                                                         << QStringList{""} << none << Absent << none;
        QTest::newRow("header line is tested further")
            << "[公告：x] \r\n"
            << QStringList{QStringLiteral("公告：x")} << none << "x" << none;
        QTest::newRow("ASCII colon is kept")
            << "版本号:1.03\r\n"
            << none << QStringList{QStringLiteral("版本号:1.03")} << Absent << none;
        QTest::newRow("two version lines, in order") << "版本号：1.04\r\n版本号：1.03\r\n"
                                                     << none << QStringList{"1.04", "1.03"} << Absent << none;
        QTest::newRow("every marker occurrence removed") << "公告：a公告：b\r\n"
                                                         << none << none << "ab" << none;
        QTest::newRow("marker mid-line is no marker") << "x公告：y\r\n" << none << none << Absent << none;
        QTest::newRow("empty value") << "公告：\r\n" << none << none << "" << none;
        QTest::newRow("values are not trimmed") << "公告： a \r\n" << none << none << " a " << none;
        QTest::newRow("last notice wins") << "公告：a\r\n公告：b\r\n" << none << none << "b" << none;
        QTest::newRow("removal feeds the next test")
            << "版本号：公告：x\r\n"
            << none << QStringList{QStringLiteral("公告：x")} << "x" << none;
        QTest::newRow("marker in a key line is ignored") << "[A] \r\n库名=公告：x\r\n"
                                                         << QStringList{"A"} << none << Absent << none;
        QTest::newRow("lone CR ends a line")
            << "[A] \r[B] \r公告：n" << QStringList{"A", "B"} << none << "n" << none;
        QTest::newRow("LF ends a line too") << "[A] \n[B] \n"
                                            << QStringList{"A", "B"} << none << Absent << none;
        QTest::newRow("blank lines and no final line end")
            << "\r\n\r\n\r\n分享网址：t[https://a/]" << none << none << Absent
            << QStringList{QStringLiteral("t[https://a/]")};
        QTest::newRow("empty text") << "" << none << none << Absent << none;
    }
    void lines() {
        QFETCH(QString, text);
        QFETCH(QStringList, libraries);
        QFETCH(QStringList, versions);
        QFETCH(QString, notice);
        QFETCH(QStringList, sites);
        const catalog::ParsedCatalog p = catalog::parse(text);
        QCOMPARE(p.libraries, libraries);
        QCOMPARE(p.versions, versions);
        QCOMPARE(shown(p.notice), notice);
        QCOMPARE(p.sites, sites);
    }

    void parseFileReadsGbk() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Ku.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(gbk::encode(sampleCatalog()));
        f.close();
        const std::optional<catalog::ParsedCatalog> p = catalog::parseFile(path);
        QVERIFY(p);
        QCOMPARE(p->libraries, (QStringList{"AHT20", "OLED"}));
        QCOMPARE(shown(p->notice), QStringLiteral("欢迎使用"));
        QVERIFY(!catalog::parseFile(dir.filePath(QStringLiteral("missing.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestCatalogParser)
#include "tst_catalogparser.moc"
