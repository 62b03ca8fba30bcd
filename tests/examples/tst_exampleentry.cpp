#include "install/ExampleEntry.h"

#include <QTest>

class TestExampleEntry final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("names");
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("title");
        QTest::newRow("title and package") << "流水灯[led]" << true << "led"
                                           << "流水灯";
        QTest::newRow("spaces and Chinese kept") << "呼吸灯 演示 [breath]" << true << "breath"
                                                 << "呼吸灯 演示 ";
        QTest::newRow("no [ but ]") << "led]x" << true << "led"
                                    << "led]x";
        QTest::newRow("empty brackets") << "空[]" << true << ""
                                        << "空";
        QTest::newRow("first brackets only") << "a[b]c[d]" << true << "b"
                                             << "ac[d]";
        QTest::newRow("every occurrence removed from title") << "x[p]y[p]" << true << "p"
                                                             << "xy";
        QTest::newRow("no ]") << "流水灯[led" << false << ""
                              << "";
        QTest::newRow("] before [") << "a]b[c]" << false << ""
                                    << "";
        QTest::newRow("empty row") << "" << false << ""
                                   << "";
    }
    void parse() {
        QFETCH(QString, row);
        QFETCH(bool, names);
        QFETCH(QString, package);
        QFETCH(QString, title);
        const std::optional<ExampleEntry> e = parseExampleEntry(row);
        QCOMPARE(e.has_value(), names);
        if (e) {
            QCOMPARE(e->packageName, package);
            QCOMPARE(e->title, title);
        }
    }
};

QTEST_APPLESS_MAIN(TestExampleEntry)
#include "tst_exampleentry.moc"
