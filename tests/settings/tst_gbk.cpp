#include "settings/Gbk.h"

#include <QTest>

class TestGbk final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << QStringLiteral("Quenra小助手");
        QTest::newRow("notice marker") << QStringLiteral("公告：欢迎使用");
        QTest::newRow("full-width colon") << QStringLiteral("版本号：1.03");
        QTest::newRow("brackets") << QStringLiteral("是否确定将【AHT20】加入到【Arduino Uno】库中？");
        QTest::newRow("ascii") << QStringLiteral("fuwuqi=http://127.0.0.1:8765/");
        QTest::newRow("empty") << QString();
    }
    void roundTrip() {
        QFETCH(QString, text);
        QVERIFY(gbk::available());
        QCOMPARE(gbk::decode(gbk::encode(text)), text);
    }

    void knownBytes() {
        // "公告" is B9AB B8E6 in code page 936.
        QCOMPARE(gbk::encode(QStringLiteral("公告")), QByteArray::fromHex("b9abb8e6"));
        QCOMPARE(gbk::decode(QByteArray::fromHex("b9abb8e6")), QStringLiteral("公告"));
    }

    void invalidBytesNeverCrash_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lone lead byte at end") << QByteArray("abc\x81", 4);
        QTest::newRow("lead byte then control") << QByteArray("\x81\x0a", 2);
        QTest::newRow("0xff") << QByteArray("\xff\xff\xff", 3);
        QTest::newRow("nul bytes") << QByteArray("a\0b\0", 4);
    }
    void invalidBytesNeverCrash() {
        QFETCH(QByteArray, bytes);
        const QString text = gbk::decode(bytes);
        // Something is returned, and an invalid sequence never swallows the ASCII that follows it.
        if (bytes.startsWith("abc")) {
            QVERIFY(text.startsWith(QStringLiteral("abc")));
        }
        if (bytes == QByteArray("\x81\x0a", 2)) {
            QVERIFY(text.contains(QLatin1Char('\n')));
        }
    }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
