#include "settings/Gbk.h"

#include <QTest>

class TestGbk final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void knownBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char* name, const char* text, const char* hex) {
            QTest::newRow(name) << QString::fromUtf8(text) << QByteArray::fromHex(hex);
        };
        row("title", "Quenra小助手", "5175656e7261d0a1d6facad6");
        row("brackets", "将【AHT20】加入", "bdaba1be4148543230a1bfbcd3c8eb");
        // Beyond GBK: GB18030's own forms, never "?".
        row("beyond GBK", "björn/😀.qss", "626a81308b32726e2f9439fc362e717373");
        row("euro as code page 936 writes it", "€", "80");
    }
    void knownBytes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QVERIFY(gbk::available());
        QCOMPARE(gbk::encode(text), bytes);
        QCOMPARE(gbk::decode(bytes), text);
    }

    // A double-byte character cut off at the end stands as U+FFFD, like any invalid sequence, in short
    // texts and in long ones (decoded in pieces).
    void halfCharacterAtTheEnd_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString fffd(QChar::ReplacementCharacter);
        QTest::newRow("lone first byte") << QByteArray("abc\x81") << QStringLiteral("abc") + fffd;
        // Code page 936 maps 0xFF on its own (to U+F8F5), so it starts no pair.
        QTest::newRow("0xff stands alone")
            << QByteArray::fromHex("ffffffab") << QString(3, QChar(0xF8F5)) + fffd;
        QTest::newRow("four bytes cut off") << QByteArray::fromHex("418130") << QStringLiteral("A") + fffd;
        QTest::newRow("whole pair is kept") << QByteArray::fromHex("41b9ab") << QStringLiteral("A公");
        QTest::newRow("long text") << QByteArray(100000, 'x') + QByteArray::fromHex("b9abb9")
                                   << QString(100000, QLatin1Char('x')) + QStringLiteral("公") + fffd;
    }
    void halfCharacterAtTheEnd() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(gbk::decode(bytes), text);
    }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
