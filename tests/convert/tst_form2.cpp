#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "app/Form1.h"
#include "app/Twips.h"
#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"
#include "convert/Form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// A conversion window on a fresh application folder and a fake desktop. The window deletes itself
// when closed; whatever is still open at the end is deleted here.
struct Opened {
    explicit Opened(const QStringList& config = {})
        : app(config) {
        window = new Form2(app.context(&platform));
        window->show();
    }
    ~Opened() { delete window.data(); }
    Q_DISABLE_COPY_MOVE(Opened)

    Form2& w() { return *window; }

    TempAppFolder app;
    FakePlatform platform;
    QPointer<Form2> window;
};

QRectF twipsGeometry(const QWidget* w) {
    return QRectF(twips::fromPx(w->x()), twips::fromPx(w->y()), twips::fromPx(w->width()),
                  twips::fromPx(w->height()));
}

QStringList configLines(const QByteArray& bytes) {
    return QString::fromLatin1(bytes).split(CRLF, Qt::SkipEmptyParts);
}

Form2* openConversionWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* f = qobject_cast<Form2*>(w); f && f->isVisible()) {
            return f;
        }
    }
    return nullptr;
}

} // namespace

class TestForm2 final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRectF>("geometry");
        QTest::newRow("Frame2") << "Frame2"
                                << "原代码" << QRectF(120, 120, 8055, 7695);
        QTest::newRow("Text1") << "Text1"
                               << "" << QRectF(120, 240, 7815, 7335);
        QTest::newRow("Frame3") << "Frame3"
                                << "转换后的代码" << QRectF(8400, 120, 8055, 7695);
        QTest::newRow("Text2") << "Text2"
                               << "" << QRectF(120, 240, 7815, 7335);
        QTest::newRow("Check2") << "Check2"
                                << "自动粘贴" << QRectF(600, 8280, 1095, 255);
        QTest::newRow("Check1") << "Check1"
                                << "转换后复制" << QRectF(600, 8640, 1335, 375);
        QTest::newRow("Frame4") << "Frame4"
                                << "" << QRectF(2400, 8040, 12015, 1215);
        QTest::newRow("Command7") << "Command7"
                                  << "清空所有" << QRectF(240, 240, 1575, 735);
        QTest::newRow("Command4") << "Command4"
                                  << "单多行处理" << QRectF(2460, 240, 1815, 735);
        QTest::newRow("Command9") << "Command9"
                                  << "单行value值处理" << QRectF(4920, 240, 1815, 735);
        QTest::newRow("Command5") << "Command5"
                                  << "复制转换后的代码" << QRectF(7380, 240, 1815, 735);
        QTest::newRow("Command8") << "Command8"
                                  << "关闭" << QRectF(9840, 240, 1815, 735);
        QTest::newRow("Frame1") << "Frame1"
                                << "温馨提示" << QRectF(6600, 2640, 3255, 2055);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRectF, geometry);
        Opened o;
        auto* widget = o.w().findChild<QWidget*>(name);
        QVERIFY(widget);
        const QRectF g = twipsGeometry(widget);
        // Within a pixel's rounding.
        QVERIFY2(qAbs(g.left() - geometry.left()) <= 15 && qAbs(g.top() - geometry.top()) <= 15 &&
                     qAbs(g.width() - geometry.width()) <= 15 && qAbs(g.height() - geometry.height()) <= 15,
                 qPrintable(name));
        if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            QCOMPARE(box->title(), caption);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QCOMPARE(button->text(), caption);
        }
    }

    void createdState() {
        Opened o;
        Form2& w = o.w();
        QCOMPARE(w.windowTitle(), QStringLiteral("Quenra小助手                      制库小助手 "));
        QCOMPARE(w.size(), QSize(twips::px(16530), twips::px(9375)));
        QCOMPARE(w.sourceText(), convertstr::SampleSource);
        QCOMPARE(w.outputText(), QString());
        QCOMPARE(w.Text1->palette().color(QPalette::Base), QColor(224, 224, 224));
        QVERIFY(!w.Frame1->isVisible());
        QVERIFY(!w.Timer1->isActive());
        QVERIFY(!w.Check1->isChecked());
        QVERIFY(!w.Check2->isChecked());
        for (QPushButton* hidden : {w.Command2, w.Command6, w.Command1}) {
            QVERIFY(!hidden->isVisible());
            QVERIFY(!w.rect().intersects(hidden->geometry()));
        }
        // Its own window: no owner, never modal.
        QVERIFY(w.isWindow());
        QCOMPARE(w.parentWidget(), nullptr);
        QCOMPARE(w.windowModality(), Qt::NonModal);
    }

    // What goes into a box reads back unchanged when its line breaks are CR LF. A lone CR or LF
    // is a line break of the box, and reads back as CR LF.
    void boxTextRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");
        const QString sample = convertstr::SampleSource;
        QTest::newRow("sample") << sample << sample;
        QTest::newRow("no final break") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("blank lines") << QStringLiteral("\r\n\r\nx\r\n\r\n")
                                     << QStringLiteral("\r\n\r\nx\r\n\r\n");
        QTest::newRow("only a break") << CRLF << CRLF;
        QTest::newRow("tabs, quotes, no-break space")
            << QStringLiteral("\t'a'\u00a0\"b\"\\n ") << QStringLiteral("\t'a'\u00a0\"b\"\\n ");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("lone LF") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb");
    }
    void boxTextRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        Opened o;
        o.w().setSourceText(text);
        QCOMPARE(o.w().sourceText(), readBack);
        o.w().setOutputText(text);
        QCOMPARE(o.w().outputText(), readBack);
    }

    void convertSample() {
        Opened o;
        Form2& w = o.w();
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QCOMPARE(w.outputText(), *convert::convertLines(convertstr::SampleSource));
        QCOMPARE(w.outputText().split(CRLF).size(), 37);
        QCOMPARE(w.sourceText(), convertstr::SampleSource);
        QVERIFY(w.Frame1->isVisible());
        QCOMPARE(w.Label2->text(), QStringLiteral("代码转化成功！"));
        // Centred in the reminder panel, at its own size.
        QCOMPARE(w.Label2->size(), w.Label2->sizeHint());
        QCOMPARE(w.Label2->x(), (w.Frame1->width() - w.Label2->width()) / 2);
        QCOMPARE(w.Label2->y(), (w.Frame1->height() - w.Label2->height()) / 2);
        QVERIFY(o.platform.clipboardWrites.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!w.Frame1->isVisible(), 5000);
        QVERIFY(!w.Timer1->isActive());
    }

    void copyAfterConverting_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lines") << "Command4" << *convert::convertLines(convertstr::SampleSource);
        QTest::newRow("value") << "Command9" << convert::convertValue(convertstr::SampleSource);
    }
    void copyAfterConverting() {
        QFETCH(QString, button);
        QFETCH(QString, expected);
        Opened o({QStringLiteral("Check1=1")});
        Form2& w = o.w();
        QVERIFY(w.Check1->isChecked());
        QTest::mouseClick(w.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(w.outputText(), expected);
        QCOMPARE(o.platform.clipboardWrites, QStringList{expected});
        QVERIFY(w.Frame1->isVisible());
        QCOMPARE(w.Label2->text(), QStringLiteral("已复制转换后的代码"));
    }

    // A failed copy ends the action without the reminder: nothing claims a copy that did not happen.
    void brokenClipboard_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("output");
        QTest::newRow("lines") << "Command4" << *convert::convertLines(convertstr::SampleSource);
        QTest::newRow("value") << "Command9" << convert::convertValue(convertstr::SampleSource);
        QTest::newRow("copy") << "Command5" << QString();
    }
    void brokenClipboard() {
        QFETCH(QString, button);
        QFETCH(QString, output);
        Opened o({QStringLiteral("Check1=1")});
        o.platform.clipboardBroken = true;
        QTest::mouseClick(o.w().findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(o.w().outputText(), output);
        QVERIFY(!o.w().Frame1->isVisible());
        QVERIFY(!o.w().Timer1->isActive());
    }

    void pasteAutomaticallyFromEmptyClipboard() {
        Opened o({QStringLiteral("Check2=1")});
        Form2& w = o.w();
        QVERIFY(w.Check2->isChecked());
        w.setOutputText(QStringLiteral("old"));
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QCOMPARE(w.sourceText(), QString());
        QCOMPARE(w.outputText(), QString());
        QVERIFY(!w.Frame1->isVisible());
        QVERIFY(!w.Timer1->isActive());

        QTest::mouseClick(w.Command9, Qt::LeftButton);
        QCOMPARE(w.outputText(), QStringLiteral("'++'"));
        QVERIFY(w.Frame1->isVisible());
        QCOMPARE(w.Label2->text(), QStringLiteral("代码转化成功！"));
    }

    void pasteAutomaticallyKeepsClipboardText() {
        Opened o({QStringLiteral("Check2=1"), QStringLiteral("Check1=1")});
        const QString copied = QStringLiteral("if (x) {\r\n  s = 'a\\n';\r\n}\r\n");
        o.platform.clipboard = copied;
        QTest::mouseClick(o.w().Command4, Qt::LeftButton);
        QCOMPARE(o.w().sourceText(), copied);
        QCOMPARE(o.w().outputText(), *convert::convertLines(copied));
        QCOMPARE(o.platform.clipboard, std::optional(*convert::convertLines(copied)));
    }

    void clearAllThenConvertShowsNothing() {
        Opened o;
        Form2& w = o.w();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(!w.outputText().isEmpty());
        QTest::mouseClick(w.Command7, Qt::LeftButton);
        QCOMPARE(w.sourceText(), QString());
        QCOMPARE(w.outputText(), QString());
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QCOMPARE(w.outputText(), QString());
        QVERIFY(!w.Frame1->isVisible());
        QVERIFY(!w.Timer1->isActive());
    }

    void storedOptions_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("check1");
        QTest::addColumn<bool>("check2");
        QTest::newRow("missing") << QStringList{} << false << false;
        QTest::newRow("ones") << QStringList{"Check1=1", "Check2=1"} << true << true;
        QTest::newRow("zero and empty") << QStringList{"Check1=0", "Check2="} << false << false;
        QTest::newRow("other words") << QStringList{"Check1=true", "Check2=11"} << false << false;
    }
    void storedOptions() {
        QFETCH(QStringList, config);
        QFETCH(bool, check1);
        QFETCH(bool, check2);
        Opened o(config);
        QCOMPARE(o.w().Check1->isChecked(), check1);
        QCOMPARE(o.w().Check2->isChecked(), check2);
    }

    void clickingAnOptionWritesIt() {
        Opened o;
        Form2& w = o.w();
        QTest::mouseClick(w.Check1, Qt::LeftButton);
        QVERIFY(configLines(o.app.configBytes()).contains(QStringLiteral("Check1=1")));
        QTest::mouseClick(w.Check2, Qt::LeftButton);
        QTest::mouseClick(w.Check1, Qt::LeftButton);
        const QStringList lines = configLines(o.app.configBytes());
        QVERIFY(lines.contains(QStringLiteral("Check1=0")));
        QVERIFY(lines.contains(QStringLiteral("Check2=1")));
    }

    void copyButton() {
        Opened o;
        Form2& w = o.w();
        w.setOutputText(QStringLiteral("'a\\n'\r\n+'b\\n'"));
        QTest::mouseClick(w.Command5, Qt::LeftButton);
        QCOMPARE(o.platform.clipboardWrites, QStringList{QStringLiteral("'a\\n'\r\n+'b\\n'")});
        QVERIFY(w.Frame1->isVisible());
        QCOMPARE(w.Label2->text(), QStringLiteral("已复制转换后的代码"));
        QCOMPARE(w.Label2->x(), (w.Frame1->width() - w.Label2->width()) / 2);
    }

    void hiddenButtons() {
        Opened o;
        Form2& w = o.w();
        const QString copied = QStringLiteral("a\r\nb");
        o.platform.clipboard = copied;

        // Paste, then the line-by-line action.
        w.Command2->click();
        QCOMPARE(w.sourceText(), copied);
        QCOMPARE(w.outputText(), *convert::convertLines(copied));
        QCOMPARE(w.Label2->text(), QStringLiteral("代码转化成功！"));
        QVERIFY(o.platform.clipboardWrites.isEmpty());

        // Paste, convert the value, copy it.
        o.platform.clipboard = QStringLiteral("v");
        w.Command6->click();
        QCOMPARE(w.sourceText(), QStringLiteral("v"));
        QCOMPARE(w.outputText(), QStringLiteral("'+v+'"));
        QCOMPARE(o.platform.clipboardWrites, QStringList{QStringLiteral("'+v+'")});
        QCOMPARE(w.Label2->text(), QStringLiteral("已复制转换后的代码"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.Frame1->isVisible(), 5000);

        // Convert only: no paste, copy or reminder; an empty source leaves the output empty.
        w.Command1->click();
        QCOMPARE(w.outputText(), QStringLiteral("'v\\n'\r\n"));
        QVERIFY(!w.Frame1->isVisible());
        w.setSourceText(QString());
        w.Command1->click();
        QCOMPARE(w.outputText(), QString());
        QCOMPARE(o.platform.clipboardWrites.size(), 1);
    }

    // A second action while the reminder shows gives it its full time again.
    void secondActionRestartsReminder() {
        Opened o;
        Form2& w = o.w();
        QTest::mouseClick(w.Command9, Qt::LeftButton);
        QVERIFY(w.Timer1->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(w.Timer1->remainingTime() < 600, 5000);
        QVERIFY(w.Frame1->isVisible());
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QVERIFY(w.Frame1->isVisible());
        QVERIFY(w.Timer1->remainingTime() > 800);
    }

    // The window frame's close control discards the window as 关闭 does.
    void closeControlDeletesWindow() {
        Opened o;
        o.w().close();
        QTRY_VERIFY(o.window.isNull());
    }

    // ---- opening from the main window ----

    void openFromMainWindow() {
        TempAppFolder app({QStringLiteral("fuwuqi=http://127.0.0.1:1/")});
        FakePlatform platform;
        auto main = std::make_unique<Form1>(app.context(&platform));
        main->startUp();
        main->show();

        main->Command25->click();
        QPointer<Form2> first = openConversionWindow();
        QVERIFY(first);
        QCOMPARE(first->parentWidget(), nullptr);
        QCOMPARE(first->sourceText(), convertstr::SampleSource);

        // Shown again with its texts while it is open.
        QTest::mouseClick(first->Check1, Qt::LeftButton);
        first->setSourceText(QStringLiteral("x"));
        QTest::mouseClick(first->Command4, Qt::LeftButton);
        main->Command25->click();
        QCOMPARE(openConversionWindow(), first.data());
        QCOMPARE(first->sourceText(), QStringLiteral("x"));
        QCOMPARE(first->outputText(), QStringLiteral("'x\\n'\r\n"));

        // Closing the main window leaves it open.
        main->close();
        QVERIFY(first->isVisible());
        main->show();

        // Closed, it is created afresh with the sample, an empty output and the options as stored.
        QTest::mouseClick(first->Command8, Qt::LeftButton);
        main->Command25->click();
        QPointer<Form2> second = openConversionWindow();
        QVERIFY(second);
        QVERIFY(second != first);
        QCOMPARE(second->sourceText(), convertstr::SampleSource);
        QCOMPARE(second->outputText(), QString());
        QVERIFY(second->Check1->isChecked());
        QVERIFY(!second->Check2->isChecked());
        QVERIFY(!second->Frame1->isVisible());
        QTRY_VERIFY(first.isNull());

        // The main window takes a still-open conversion window with it when it goes.
        main.reset();
        QVERIFY(second.isNull());
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
