#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "app/Form1.h"
#include "app/Twips.h"

#include "app/ClickableLabel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Nothing listens on port 1: the start-up catalog download fails at once.
const QString kNoServer = QStringLiteral("fuwuqi=http://127.0.0.1:1/");

struct Started {
    std::unique_ptr<TempAppFolder> app;
    FakePlatform platform;
    std::unique_ptr<Form1> window;
};

std::unique_ptr<Started> start(QStringList config) {
    config << kNoServer;
    auto s = std::make_unique<Started>();
    s->app = std::make_unique<TempAppFolder>(config);
    s->window = std::make_unique<Form1>(s->app->context(&s->platform));
    s->window->startUp();
    s->window->show();
    return s;
}

QRectF twipsGeometry(const QWidget* w) {
    return QRectF(twips::fromPx(w->x()), twips::fromPx(w->y()), twips::fromPx(w->width()),
                  twips::fromPx(w->height()));
}

} // namespace

class TestForm1 final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartShowsPathPanelOverWindow() {
        auto s = start({QStringLiteral("banben=1.03")});
        Form1& w = *s->window;
        QVERIFY(w.Frame9->isVisible());
        const QRectF g = twipsGeometry(w.Frame9);
        // left 20, top 0, 150 narrower and 750 lower than the window (within a pixel's rounding)
        QVERIFY(qAbs(g.left() - 20) <= 15);
        QCOMPARE(g.top(), 0.0);
        QVERIFY(qAbs(g.width() - (w.outerWidthTwips() - 150)) <= 15);
        QVERIFY(qAbs(g.height() - (w.outerHeightTwips() - 750)) <= 15);
        QVERIFY(!w.Command17->isEnabled());
        QVERIFY(!w.Command21->isEnabled());
        QCOMPARE(w.Combo2->count(), 0);
    }

    void storedHostPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("valid");
        QTest::newRow("exact name") << QStringLiteral("/opt/Quenra/Quenra.exe") << true;
        QTest::newRow("lower-case file name") << QStringLiteral("/opt/Quenra/quenra.exe") << false;
        QTest::newRow("no separator before name") << QStringLiteral("/opt/QuenraQuenra.exe") << false;
        QTest::newRow("trailing blank") << QStringLiteral("/opt/Quenra/Quenra.exe ") << false;
    }
    void storedHostPath() {
        QFETCH(QString, path);
        QFETCH(bool, valid);
        // Quoted, so a trailing blank survives the reader's trimming.
        auto s = start({QStringLiteral("quenra=\"") + path + QLatin1Char('"')});
        Form1& w = *s->window;
        QCOMPARE(w.Text8->text(), path);
        QCOMPARE(w.Frame9->isVisible(), !valid);
        QCOMPARE(w.Command17->isEnabled(), valid);
        QCOMPARE(w.Command21->isEnabled(), valid);
    }

    void versionCaptions_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("about");
        QTest::addColumn<QString>("toolsCaption");
        QTest::newRow("no banben") << QStringList{} << QStringLiteral("Quenra小助手V版")
                                   << QStringLiteral("当前版本：V版") << QString();
        QTest::newRow("banben and host version")
            << QStringList{QStringLiteral("banben=1.03"), QStringLiteral("quenraBanben=Quenra 3.0 rc0")}
            << QStringLiteral("Quenra小助手V1.03版") << QStringLiteral("当前版本：V1.03版")
            << QStringLiteral("Quenra 3.0 rc0");
    }
    void versionCaptions() {
        QFETCH(QStringList, config);
        QFETCH(QString, title);
        QFETCH(QString, about);
        QFETCH(QString, toolsCaption);
        auto s = start(config);
        QCOMPARE(s->window->Label4->text(), title);
        QCOMPARE(s->window->Label50->text(), about);
        QCOMPARE(s->window->CurrentVersion, config.isEmpty() ? QString() : QStringLiteral("1.03"));
        QCOMPARE(s->window->Frame4->title(), toolsCaption);
    }

    void startUpTouchesNoSetting() {
        auto s = start({QStringLiteral("banben=1.03")});
        const QByteArray before = s->app->configBytes();
        s->window.reset();
        auto again = std::make_unique<Form1>(s->app->context(&s->platform));
        again->startUp();
        QCOMPARE(s->app->configBytes(), before);
    }

    void overlayToggles_data() {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("closer");
        QTest::addColumn<QString>("panel");
        QTest::newRow("skin") << "pifu"
                              << "Command24"
                              << "Frame11";
        QTest::newRow("about") << "guanyu"
                               << "Command4"
                               << "Frame8";
        QTest::newRow("donation") << "Label7"
                                  << "Command31"
                                  << "Frame15";
        QTest::newRow("recommended sites") << "Command28"
                                           << "Command26"
                                           << "Frame13";
    }
    void overlayToggles() {
        QFETCH(QString, opener);
        QFETCH(QString, closer);
        QFETCH(QString, panel);
        auto s = start({});
        Form1& w = *s->window;
        auto* box = w.findChild<QGroupBox*>(panel);
        QVERIFY(box);
        QVERIFY(!box->isVisible());
        auto trigger = [&](const QString& name) {
            if (auto* action = w.findChild<QAction*>(name)) {
                action->trigger();
            } else if (auto* b = w.findChild<QPushButton*>(name)) {
                QTest::mouseClick(b, Qt::LeftButton);
            } else if (auto* l = w.findChild<QLabel*>(name)) {
                QTest::mouseClick(l, Qt::LeftButton);
            } else {
                QFAIL(qPrintable(QStringLiteral("no control ") + name));
            }
        };
        trigger(opener);
        QVERIFY(box->isVisible());
        // Centred in the window's outer size.
        const QRectF g = twipsGeometry(box);
        QVERIFY(qAbs(g.left() - (w.outerWidthTwips() - g.width()) / 2) <= 15);
        QVERIFY(qAbs(g.top() - (w.outerHeightTwips() - g.height()) / 2) <= 15);
        trigger(closer);
        QVERIFY(!box->isVisible());
        trigger(opener);
        QVERIFY(box->isVisible());
        trigger(opener);
        QVERIFY(!box->isVisible());
    }

    void atMostOneOverlayVisible() {
        auto s = start({});
        Form1& w = *s->window;
        w.pifu->trigger();
        QVERIFY(w.Frame11->isVisible());
        w.guanyu->trigger();
        QVERIFY(w.Frame8->isVisible());
        QVERIFY(!w.Frame11->isVisible());
        QTest::mouseClick(w.Command28, Qt::LeftButton);
        QVERIFY(w.Frame13->isVisible());
        QVERIFY(!w.Frame8->isVisible());
        QTest::mouseClick(w.Label7, Qt::LeftButton);
        QVERIFY(w.Frame15->isVisible());
        QVERIFY(!w.Frame13->isVisible());
        w.guanyu->trigger();
        w.guanyu->trigger();
        for (QGroupBox* p : {w.Frame11, w.Frame8, w.Frame13, w.Frame14, w.Frame15}) {
            QVERIFY(!p->isVisible());
        }
    }

    void overlaysLeavePathPanelAlone() {
        auto s = start({});
        Form1& w = *s->window;
        QVERIFY(w.Frame9->isVisible());
        w.guanyu->trigger();
        w.guanyu->trigger();
        w.HideOverlayPanels();
        QVERIFY(w.Frame9->isVisible());
    }

    void closingExamplesLeavesFocusOnExampleButton() {
        auto s = start({QStringLiteral("quenra=/opt/Quenra/Quenra.exe")});
        Form1& w = *s->window;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.toggleOverlay(w.Frame14);
        QVERIFY(w.Frame14->isVisible());
        w.List6->setFocus();
        QTest::mouseClick(w.Command27, Qt::LeftButton);
        QVERIFY(!w.Frame14->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Command29));
    }

    void noticeScrollsAndWraps() {
        auto s = start({});
        Form1& w = *s->window;
        w.Timer1->stop();
        w.Label18->setText(QString(200, QChar(0x516C)));
        w.Label18->adjustSize();
        QVERIFY(w.Label18->width() > w.Frame12->width());
        const int startX = w.Label18->x();
        w.Timer1_Timer();
        QVERIFY(w.Label18->x() < startX);
        int previous = w.Label18->x();
        int ticks = 0;
        while (w.Label18->x() <= previous && ticks < 100000) {
            previous = w.Label18->x();
            w.Timer1_Timer();
            ++ticks;
        }
        // It restarted only once its right end had passed the panel's left edge...
        QVERIFY(previous <= -w.Label18->width() + 2);
        // ...and restarts at the right edge of the panel.
        QCOMPARE(w.Label18->x(), w.Frame12->width());
        // 20 twips a tick: the trip takes (panel + label width) / 20 twips ticks.
        const double expected =
            (twips::fromPx(w.Label18->width()) + twips::fromPx(w.Frame12->width())) / 20.0;
        QVERIFY(qAbs(ticks - expected) < 3);
    }

    void hiddenControlsStayHidden() {
        auto s = start({});
        Form1& w = *s->window;
        for (QWidget* c : std::initializer_list<QWidget*>{
                 w.Command9, w.Command3, w.Command10, w.Command18, w.List7, w.Text11, w.Command13, w.Command6,
                 w.Command19, w.Command101, w.Command202, w.Label1}) {
            QVERIFY2(!c->isVisible(), qPrintable(c->objectName()));
        }
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Quenra小助手") + QString(50, QLatin1Char(' ')) +
                                           QStringLiteral("By:")));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
