#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"
#include "convert/EditorText.h"

#include <QTest>

#include <optional>

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString joined(const QStringList& lines) {
    return lines.join(CRLF);
}

} // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class TestConvertRules final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertLines_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<std::optional<QString>>("expected");

        QTest::newRow("three lines, no break after the last")
            << joined({QStringLiteral("示例代码"), QStringLiteral("void setup(){"),
                       QStringLiteral("  Serial.begin(9600);")})
            << std::optional(joined({QStringLiteral("'示例代码\\n'"), QStringLiteral("+'void setup(){\\n'"),
                                     QStringLiteral("+'  Serial.begin(9600);\\n'")}));
        QTest::newRow("one line is followed by CR LF")
            << QStringLiteral("delay(500);") << std::optional(QStringLiteral("'delay(500);\\n'\r\n"));
        QTest::newRow("break at the end gives an empty last line")
            << QStringLiteral("}\r\n") << std::optional(QStringLiteral("'}\\n'\r\n+'\\n'"));
        QTest::newRow("empty source gives nothing") << QString() << std::optional<QString>();
        QTest::newRow("only a break") << CRLF << std::optional(QStringLiteral("'\\n'\r\n+'\\n'"));
        QTest::newRow("LF only is one line")
            << QStringLiteral("a\nb\n") << std::optional(QStringLiteral("'a\nb\n\\n'\r\n"));
        QTest::newRow("lone CR is one line")
            << QStringLiteral("a\rb") << std::optional(QStringLiteral("'a\rb\\n'\r\n"));
        QTest::newRow("CR at the very end stays")
            << QStringLiteral("a\r") << std::optional(QStringLiteral("'a\r\\n'\r\n"));
        QTest::newRow("CR CR LF keeps one CR")
            << QStringLiteral("x;\r\r\ny;") << std::optional(QStringLiteral("'x;\r\\n'\r\n+'y;\\n'"));
        QTest::newRow("LF before CR LF stays")
            << QStringLiteral("a\n\r\nb") << std::optional(QStringLiteral("'a\n\\n'\r\n+'b\\n'"));
        QTest::newRow("blank lines in the middle")
            << QStringLiteral("a\r\n\r\n\r\nb")
            << std::optional(joined({QStringLiteral("'a\\n'"), QStringLiteral("+'\\n'"),
                                     QStringLiteral("+'\\n'"), QStringLiteral("+'b\\n'")}));
        QTest::newRow("blank first line")
            << QStringLiteral("\r\nb") << std::optional(QStringLiteral("'\\n'\r\n+'b\\n'"));
        QTest::newRow("nothing escaped, blanks kept")
            << QStringLiteral("\t s = 'a' + \"b\\n\";  \r\nx='+v+'")
            << std::optional(QStringLiteral("'\t s = 'a' + \"b\\n\";  \\n'\r\n+'x='+v+'\\n'"));
    }
    void convertLines() {
        QFETCH(QString, source);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(convert::convertLines(source), expected);
    }

    // The window's sample converts to 37 lines: one per source line and the empty one after the
    // final line break.
    void sampleSource() {
        const QString& sample = convertstr::SampleSource;
        QCOMPARE(sample.count(CRLF), 36);
        QVERIFY(sample.endsWith(CRLF));
        QVERIFY(!sample.contains(QStringLiteral(" \r\n")));
        QCOMPARE(sample.count(QLatin1Char('\r')), 36);
        QCOMPARE(sample.count(QLatin1Char('\n')), 36);

        const std::optional<QString> out = convert::convertLines(sample);
        QVERIFY(out);
        const QStringList lines = out->split(CRLF);
        QCOMPARE(lines.size(), 37);
        QCOMPARE(lines.mid(0, 3),
                 (QStringList{QStringLiteral("'示例代码\\n'"), QStringLiteral("+'void setup(){\\n'"),
                              QStringLiteral("+'  Serial.begin(9600);\\n'")}));
        QCOMPARE(lines.mid(34), (QStringList{QStringLiteral("+'\\n'"), QStringLiteral("+'}\\n'"),
                                             QStringLiteral("+'\\n'")}));
        QCOMPARE(lines.at(3), QStringLiteral("+'  Serial.println(\"Wait for Smartconfig\");\\n'"));
        QCOMPARE(lines.at(23), QStringLiteral("+'\\n'"));
    }

    // Far past what a 16-bit line counter could hold, and around where it would have wrapped.
    void manyLinesConvertCompletelyInOrder_data() {
        QTest::addColumn<int>("lines");
        QTest::newRow("32767") << 32767;
        QTest::newRow("32768") << 32768;
        QTest::newRow("40000") << 40000;
    }
    void manyLinesConvertCompletelyInOrder() {
        QFETCH(int, lines);
        QStringList source;
        for (int i = 0; i < lines; ++i) {
            source << QStringLiteral("line %1;").arg(i);
        }
        const std::optional<QString> out = convert::convertLines(source.join(CRLF));
        QVERIFY(out);
        const QStringList result = out->split(CRLF);
        QCOMPARE(result.size(), lines);
        QCOMPARE(result.first(), QStringLiteral("'line 0;\\n'"));
        for (int i = 1; i < lines; ++i) {
            if (result.at(i) != QStringLiteral("+'line %1;\\n'").arg(i)) {
                QFAIL(qPrintable(QStringLiteral("line %1 is %2").arg(i).arg(result.at(i))));
            }
        }
    }

    void convertValue_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("expression") << QStringLiteral("WiFi.localIP()")
                                    << QStringLiteral("'+WiFi.localIP()+'");
        QTest::newRow("empty") << QString() << QStringLiteral("'++'");
        QTest::newRow("keeps CR LF inside") << QStringLiteral("a\r\nb") << QStringLiteral("'+a\r\nb+'");
        QTest::newRow("keeps a final break") << QStringLiteral("a\r\n") << QStringLiteral("'+a\r\n+'");
        QTest::newRow("nothing escaped")
            << QStringLiteral("'x' \"y\" \\n") << QStringLiteral("'+'x' \"y\" \\n+'");
    }
    void convertValue() {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QCOMPARE(convert::convertValue(source), expected);
    }

    void fromEditorText_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("paragraphs") << QStringLiteral("a\u2029b\u2029") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\r\nb");
        QTest::newRow("no-break space kept") << QStringLiteral("a\u00a0b") << QStringLiteral("a\u00a0b");
    }
    void fromEditorText() {
        QFETCH(QString, raw);
        QFETCH(QString, text);
        QCOMPARE(convert::fromEditorText(raw), text);
    }
};

QTEST_GUILESS_MAIN(TestConvertRules)
#include "tst_convertrules.moc"
