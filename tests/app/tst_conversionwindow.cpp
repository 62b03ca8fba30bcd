#include "AppWindow.h"
#include "app/ConversionWindow.h"
#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"
#include "convert/EditorText.h"

#include <QPointer>
#include <QTextDocument>
#include <QTimer>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString& Sample = convertstr::SampleSource;
const QString Copied = QStringLiteral("已复制转换后的代码");
const QString Converted = QStringLiteral("代码转化成功！");

// A conversion window on a fresh application folder; it deletes itself when closed, so never close it.
struct Opened {
    explicit Opened(const QStringList& config = {})
        : app(config)
        , w(app.context(&platform)) {
        w.show();
    }
    TempAppFolder app;
    FakePlatform platform;
    ConversionWindow w;
};

// A text box's text with CR LF line breaks, and the reverse.
QString boxText(const ConversionWindow& w, const char* box) {
    return convert::fromEditorText(child<QPlainTextEdit>(w, box)->document()->toRawText());
}
void setBoxText(const ConversionWindow& w, const char* box, QStringView text) {
    child<QPlainTextEdit>(w, box)->setPlainText(convert::toEditorText(text));
}

ConversionWindow* openConversionWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* f = qobject_cast<ConversionWindow*>(w); f && f->isVisible()) {
            return f;
        }
    }
    return nullptr;
}

} // namespace

class TestConversionWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Buttons clicked on the sample, the output holding "old"; a failed copy gives no reminder.
    void actions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("clipboard"); // null: no text on it
        QTest::addColumn<bool>("clipboardBroken");
        QTest::addColumn<QStringList>("buttons"); // clicked in order
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("reminder"); // null: none; the copy reminder: the output was copied
        const QStringList copy{QStringLiteral("Check1=1")};
        const QStringList paste{QStringLiteral("Check2=1")};
        const QString pasted = QStringLiteral("\r\n\t'a'\u00a0\"b\"\\n \r\n\r\nb\r\n");
        const QString value = convert::convertValue(Sample);
        const QString none;
        QTest::newRow("Command9 copies")
            << copy << none << false << QStringList{"Command9"} << Sample << value << Copied;
        QTest::newRow("Command5 copies")
            << QStringList() << none << false << QStringList{"Command5"} << Sample << "old" << Copied;
        QTest::newRow("Command9, copy fails")
            << copy << none << true << QStringList{"Command9"} << Sample << value << none;
        QTest::newRow("Command5, copy fails")
            << QStringList() << none << true << QStringList{"Command5"} << Sample << "old" << none;
        QTest::newRow("Command9 pastes no text") << paste << none << false << QStringList{"Command9"} << ""
                                                 << "'++'" << Converted;
        QTest::newRow("Command4 pastes and copies")
            << (paste + copy) << pasted << false << QStringList{"Command4"} << pasted
            << *convert::convertLines(pasted) << Copied;
        QTest::newRow("Command2 pastes lone LF and CR as lines")
            << QStringList() << "a\nb\rc" << false << QStringList{"Command2"} << "a\r\nb\r\nc"
            << "'a\\n'\r\n+'b\\n'\r\n+'c\\n'" << Converted;
        QTest::newRow("Command6 pastes, converts the value, copies")
            << QStringList() << pasted << false << QStringList{"Command6"} << pasted
            << convert::convertValue(pasted) << Copied;
        QTest::newRow("Command7 empties both, then nothing converts")
            << QStringList() << pasted << false << QStringList{"Command7", "Command4", "Command1"} << ""
            << "" << none;
    }
    void actions() {
        QFETCH(QStringList, options);
        QFETCH(QString, clipboard);
        QFETCH(bool, clipboardBroken);
        QFETCH(QStringList, buttons);
        QFETCH(QString, source);
        QFETCH(QString, output);
        QFETCH(QString, reminder);
        Opened o(options);
        if (!clipboard.isNull()) {
            o.platform.clipboard = clipboard;
        }
        o.platform.clipboardBroken = clipboardBroken;
        setBoxText(o.w, "Text2", u"old");
        for (const QString& button : buttons) {
            o.w.findChild<QPushButton*>(button)->click();
        }
        QCOMPARE(boxText(o.w, "Text1"), source);
        QCOMPARE(boxText(o.w, "Text2"), output);
        QCOMPARE(o.platform.clipboardWrites, reminder == Copied ? QStringList{output} : QStringList());
        QCOMPARE(child<QGroupBox>(o.w, "Frame1")->isVisible(), !reminder.isNull());
        QCOMPARE(child<QTimer>(o.w, "Timer1")->isActive(), !reminder.isNull());
        if (!reminder.isNull()) {
            QCOMPARE(child<QLabel>(o.w, "Label2")->text(), reminder);
        }
    }

    // Only exactly "1" ticks a box; a click writes "1" or "0", each under its own key.
    void storedOptions() {
        Opened o({QStringLiteral("Check1=true"), QStringLiteral("Check2=1")});
        QTest::mouseClick(child<QCheckBox>(o.w, "Check2"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(o.w, "Check1"), Qt::LeftButton);
        QCOMPARE(QString::fromLatin1(o.app.configBytes()).split(CRLF).filter(QStringLiteral("Check")),
                 (QStringList{"Check1=1", "Check2=0"}));
    }

    // Shown again with its texts while open, left open when the main window closes; once closed
    // it is discarded and the next one starts afresh.
    void openFromMainWindow() {
        AppWindow started({QStringLiteral("fuwuqi=http://127.0.0.1:1/")});
        started.start();
        MainWindow& main = started.w();
        press(main, "Command25");
        QPointer<ConversionWindow> first = openConversionWindow();
        QVERIFY(first && !first->parentWidget() && first->windowModality() == Qt::NonModal);
        QTest::mouseClick(child<QCheckBox>(*first, "Check1"), Qt::LeftButton);
        setBoxText(*first, "Text1", u"x");
        press(*first, "Command4");
        press(main, "Command25");
        QCOMPARE(openConversionWindow(), first.data());
        QCOMPARE(boxText(*first, "Text2"), QStringLiteral("'x\\n'\r\n"));
        QTRY_VERIFY(!child<QGroupBox>(*first, "Frame1")->isVisible());
        main.close();
        QVERIFY(first->isVisible());
        main.show();

        QTest::mouseClick(child<QPushButton>(*first, "Command8"), Qt::LeftButton);
        press(main, "Command25");
        QPointer<ConversionWindow> second = openConversionWindow();
        QVERIFY(second && second != first);
        QCOMPARE(boxText(*second, "Text1"), Sample);
        QCOMPARE(boxText(*second, "Text2"), QString());
        QVERIFY(child<QCheckBox>(*second, "Check1")->isChecked());
        QTRY_VERIFY(first.isNull());
        second->close();
        QTRY_VERIFY(second.isNull());
    }
};

QTEST_MAIN(TestConversionWindow)
#include "tst_conversionwindow.moc"
