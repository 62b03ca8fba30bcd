#include "convert/ConvertRules.h"
#include "convert/EditorText.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

class TestConvertRules final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertLines_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<std::optional<QString>>("expected");
        const auto row = [](const char* name, const char16_t* source, const char16_t* expected) {
            QTest::newRow(name) << QString::fromUtf16(source)
                                << (expected ? std::optional(QString::fromUtf16(expected)) : std::nullopt);
        };
        row("three lines, no break after the last", u"示例代码\r\nvoid setup(){\r\n  Serial.begin(9600);",
            u"'示例代码\\n'\r\n+'void setup(){\\n'\r\n+'  Serial.begin(9600);\\n'");
        row("one line is followed by CR LF", u"delay(500);", u"'delay(500);\\n'\r\n");
        row("break at the end gives an empty last line", u"}\r\n", u"'}\\n'\r\n+'\\n'");
        row("empty source gives nothing", u"", nullptr);
        row("lone CR is one line", u"a\rb\r", u"'a\rb\r\\n'\r\n");
        row("CR CR LF keeps one CR", u"x;\r\r\ny;", u"'x;\r\\n'\r\n+'y;\\n'");
        row("nothing escaped, blanks kept", u"\t s = 'a' + \"b\\n\";  \r\nx='+v+'",
            u"'\t s = 'a' + \"b\\n\";  \\n'\r\n+'x='+v+'\\n'");
    }
    void convertLines() {
        QFETCH(QString, source);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(convert::convertLines(source), expected);
    }

    // Past where a 16-bit line counter, signed or not, would wrap.
    void manyLinesConvertCompletelyInOrder() {
        QStringList source;
        QStringList expected;
        for (int i = 0; i < 70000; ++i) {
            source << QStringLiteral("line %1;").arg(i);
            expected << QStringLiteral("+'line %1;\\n'").arg(i);
        }
        expected.first().remove(0, 1);
        QCOMPARE(convert::convertLines(source.join(QStringLiteral("\r\n")))
                     .value_or(QString())
                     .split(QStringLiteral("\r\n")),
                 expected);
    }

    // The source goes between '+ and +' as it stands, line breaks and quotes too.
    void convertValue() {
        QCOMPARE(convert::convertValue(QStringLiteral("a\r\n'x' \"y\" \\n")),
                 QStringLiteral("'+a\r\n'x' \"y\" \\n+'"));
    }

    // A line break typed with Shift+Enter is a line break like any other.
    void editorLineSeparator() {
        QCOMPARE(convert::fromEditorText(u"a\u2029b\u2028c\u00a0"), QStringLiteral("a\r\nb\r\nc\u00a0"));
    }
};

QTEST_GUILESS_MAIN(TestConvertRules)
#include "tst_convertrules.moc"
