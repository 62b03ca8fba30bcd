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
        row("notice marker", "公告：欢迎使用", "b9abb8e6a3babbb6d3adcab9d3c3");
        row("brackets", "将【AHT20】加入", "bdaba1be4148543230a1bfbcd3c8eb");
        row("empty", "", "");
    }
    void knownBytes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QVERIFY(gbk::available());
        QCOMPARE(gbk::encode(text), bytes);
        QCOMPARE(gbk::decode(bytes), text);
    }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
