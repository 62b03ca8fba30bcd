#include "AppWindow.h"
#include "app/ConversionWindow.h"
#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"
#include "convert/EditorText.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString& Sample = convertstr::SampleSource;

// A conversion window on a fresh application folder and a fake desktop. It deletes itself when
// closed, so tests here never close it.
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

// A text box's text with CR LF line breaks, the form the conversions work on, and the reverse.
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
    // Shown for a second, at its own size, centred in the reminder panel; a second action while it
    // shows gives it its full time again.
    void convertSampleAndReminder() {
        Opened o;
        ConversionWindow& w = o.w;
        QTest::mouseClick(child<QPushButton>(w, "Command4"), Qt::LeftButton);
        QCOMPARE(boxText(w, "Text2"), *convert::convertLines(Sample));
        const QStringList lines = boxText(w, "Text2").split(CRLF);
        QCOMPARE(lines.size(), 37);
        QCOMPARE(lines.mid(34), (QStringList{"+'\\n'", "+'}\\n'", "+'\\n'"}));
        QVERIFY(o.platform.clipboardWrites.isEmpty());
        QVERIFY(child<QGroupBox>(w, "Frame1")->isVisible());
        QCOMPARE(child<QLabel>(w, "Label2")->text(), QStringLiteral("代码转化成功！"));
        QCOMPARE(child<QLabel>(w, "Label2")->size(), child<QLabel>(w, "Label2")->sizeHint());
        QCOMPARE(
            child<QLabel>(w, "Label2")->pos(),
            QPoint((child<QGroupBox>(w, "Frame1")->width() - child<QLabel>(w, "Label2")->width()) / 2,
                   (child<QGroupBox>(w, "Frame1")->height() - child<QLabel>(w, "Label2")->height()) / 2));

        QTRY_VERIFY_WITH_TIMEOUT(child<QTimer>(w, "Timer1")->remainingTime() < 600, 5000);
        QVERIFY(child<QGroupBox>(w, "Frame1")->isVisible());
        QTest::mouseClick(child<QPushButton>(w, "Command9"), Qt::LeftButton);
        QVERIFY(child<QTimer>(w, "Timer1")->remainingTime() > 800);
        QTRY_VERIFY_WITH_TIMEOUT(!child<QGroupBox>(w, "Frame1")->isVisible(), 5000);
        QVERIFY(!child<QTimer>(w, "Timer1")->isActive());
    }

    // Buttons clicked on the sample, the output box holding "old". A failed copy ends the action without
    // the reminder: nothing claims a copy that did not happen. A lone CR or LF is a line break of the
    // box, so pasted lines end up as the lines converted.
    void actions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("clipboard"); // null: no text on it
        QTest::addColumn<bool>("clipboardBroken");
        QTest::addColumn<QStringList>("buttons"); // clicked in order
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("copied");
        QTest::addColumn<QString>("reminder"); // null: none
        const QStringList copy{QStringLiteral("Check1=1")};
        const QStringList paste{QStringLiteral("Check2=1")};
        // Pasted text goes through both boxes unchanged: blank lines, tabs, quotes, no-break spaces.
        const QString pasted = QStringLiteral("\r\n\t'a'\u00a0\"b\"\\n \r\n\r\nb\r\n");
        const QString lines = *convert::convertLines(Sample);
        const QString value = convert::convertValue(Sample);
        const QString copied = QStringLiteral("已复制转换后的代码");
        const QString converted = QStringLiteral("代码转化成功！");
        const QString none;
        QTest::newRow("Command4 copies")
            << copy << none << false << QStringList{"Command4"} << Sample << lines << true << copied;
        QTest::newRow("Command9 copies")
            << copy << none << false << QStringList{"Command9"} << Sample << value << true << copied;
        QTest::newRow("Command5 copies")
            << QStringList() << none << false << QStringList{"Command5"} << Sample << "old" << true << copied;
        QTest::newRow("Command9, copy fails")
            << copy << none << true << QStringList{"Command9"} << Sample << value << false << none;
        QTest::newRow("Command5, copy fails")
            << QStringList() << none << true << QStringList{"Command5"} << Sample << "old" << false << none;
        QTest::newRow("Command9 pastes no text") << paste << none << false << QStringList{"Command9"} << ""
                                                 << "'++'" << false << converted;
        QTest::newRow("Command4 pastes and copies")
            << (paste + copy) << pasted << false << QStringList{"Command4"} << pasted
            << *convert::convertLines(pasted) << true << copied;
        QTest::newRow("Command2 pastes and converts")
            << QStringList() << pasted << false << QStringList{"Command2"} << pasted
            << *convert::convertLines(pasted) << false << converted;
        QTest::newRow("Command2 pastes lone LF and CR as lines")
            << QStringList() << "a\nb\rc" << false << QStringList{"Command2"} << "a\r\nb\r\nc"
            << "'a\\n'\r\n+'b\\n'\r\n+'c\\n'" << false << converted;
        QTest::newRow("Command6 pastes, converts the value, copies")
            << QStringList() << pasted << false << QStringList{"Command6"} << pasted
            << convert::convertValue(pasted) << true << copied;
        QTest::newRow("Command7 empties both, then nothing converts")
            << QStringList() << pasted << false << QStringList{"Command7", "Command4", "Command1"} << ""
            << "" << false << none;
    }
    void actions() {
        QFETCH(QStringList, options);
        QFETCH(QString, clipboard);
        QFETCH(bool, clipboardBroken);
        QFETCH(QStringList, buttons);
        QFETCH(QString, source);
        QFETCH(QString, output);
        QFETCH(bool, copied);
        QFETCH(QString, reminder);
        Opened o(options);
        ConversionWindow& w = o.w;
        if (!clipboard.isNull()) {
            o.platform.clipboard = clipboard;
        }
        o.platform.clipboardBroken = clipboardBroken;
        setBoxText(w, "Text2", u"old");
        for (const QString& button : buttons) {
            w.findChild<QPushButton*>(button)->click();
        }
        QCOMPARE(boxText(w, "Text1"), source);
        QCOMPARE(boxText(w, "Text2"), output);
        QCOMPARE(o.platform.clipboardWrites, copied ? QStringList{output} : QStringList());
        QCOMPARE(child<QGroupBox>(w, "Frame1")->isVisible(), !reminder.isNull());
        QCOMPARE(child<QTimer>(w, "Timer1")->isActive(), !reminder.isNull());
        if (!reminder.isNull()) {
            QCOMPARE(child<QLabel>(w, "Label2")->text(), reminder);
        }
    }

    // Only exactly "1" ticks a box; a click writes "1" or "0".
    void storedOptions_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("missing") << QStringList{} << false;
        QTest::newRow("ones") << QStringList{"Check1=1", "Check2=1"} << true;
        QTest::newRow("other words") << QStringList{"Check1=true", "Check2=11"} << false;
    }
    void storedOptions() {
        QFETCH(QStringList, config);
        QFETCH(bool, ticked);
        Opened o(config);
        QCOMPARE(child<QCheckBox>(o.w, "Check1")->isChecked(), ticked);
        QCOMPARE(child<QCheckBox>(o.w, "Check2")->isChecked(), ticked);
        QTest::mouseClick(child<QCheckBox>(o.w, "Check1"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(o.w, "Check2"), Qt::LeftButton);
        const QStringList written = QString::fromLatin1(o.app.configBytes()).split(CRLF);
        const QString value = ticked ? QStringLiteral("0") : QStringLiteral("1");
        QVERIFY(written.contains(QStringLiteral("Check1=") + value));
        QVERIFY(written.contains(QStringLiteral("Check2=") + value));
    }

    void openFromMainWindow() {
        AppWindow started({QStringLiteral("fuwuqi=http://127.0.0.1:1/")});
        started.start();
        MainWindow& main = started.w();

        child<QPushButton>(main, "Command25")->click();
        QPointer<ConversionWindow> first = openConversionWindow();
        QVERIFY(first);
        QVERIFY(!first->parentWidget() && first->windowModality() == Qt::NonModal);

        // Shown again with its texts while it is open.
        QTest::mouseClick(child<QCheckBox>(*first, "Check1"), Qt::LeftButton);
        setBoxText(*first, "Text1", u"x");
        QTest::mouseClick(child<QPushButton>(*first, "Command4"), Qt::LeftButton);
        child<QPushButton>(main, "Command25")->click();
        QCOMPARE(openConversionWindow(), first.data());
        QCOMPARE(boxText(*first, "Text1"), QStringLiteral("x"));
        QCOMPARE(boxText(*first, "Text2"), QStringLiteral("'x\\n'\r\n"));

        // Closing the main window leaves it open.
        main.close();
        QVERIFY(first->isVisible());
        main.show();

        // Closed, it is created afresh with the sample, an empty output and the options as stored.
        QTest::mouseClick(child<QPushButton>(*first, "Command8"), Qt::LeftButton);
        child<QPushButton>(main, "Command25")->click();
        QPointer<ConversionWindow> second = openConversionWindow();
        QVERIFY(second && second != first);
        QCOMPARE(boxText(*second, "Text1"), Sample);
        QCOMPARE(boxText(*second, "Text2"), QString());
        QVERIFY(child<QCheckBox>(*second, "Check1")->isChecked());
        QVERIFY(!child<QGroupBox>(*second, "Frame1")->isVisible());
        QTRY_VERIFY(first.isNull());

        // The window frame's close control discards it as 关闭 does.
        second->close();
        QTRY_VERIFY(second.isNull());
    }
};

QTEST_MAIN(TestConversionWindow)
#include "tst_conversionwindow.moc"
