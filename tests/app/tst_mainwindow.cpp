#include "AppWindow.h"
#include "ControlsTable.h"
#include "ui/Twips.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

struct Started : AppWindow {
    QByteArray configBeforeStart;
    // Nothing listens on port 1: the start-up catalog download fails at once.
    explicit Started(QStringList config)
        : AppWindow(config << QStringLiteral("fuwuqi=http://127.0.0.1:1/")) {
        configBeforeStart = app.configBytes();
        start();
    }
};

QRectF twipsGeometry(const QWidget* w) {
    return QRectF(twips::fromPx(w->x()), twips::fromPx(w->y()), twips::fromPx(w->width()),
                  twips::fromPx(w->height()));
}

} // namespace

class TestMainWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storedHostPath_data() {
        QTest::addColumn<QString>("path"); // empty: no setting
        QTest::addColumn<bool>("valid");
        QTest::newRow("first start") << QString() << false;
        QTest::newRow("exact name") << QStringLiteral("/opt/Quenra/Quenra.exe") << true;
        QTest::newRow("lower-case file name") << QStringLiteral("/opt/Quenra/quenra.exe") << false;
    }
    void storedHostPath() {
        QFETCH(QString, path);
        QFETCH(bool, valid);
        Started s(path.isEmpty() ? QStringList() : QStringList{QStringLiteral("quenra=") + path});
        MainWindow& w = *s.window;
        QCOMPARE(child<QLineEdit>(w, "Text8")->text(), path);
        QCOMPARE(child<QGroupBox>(w, "Frame9")->isVisible(), !valid);
        QCOMPARE(child<QPushButton>(w, "Command17")->isEnabled(), valid);
        QCOMPARE(child<QPushButton>(w, "Command21")->isEnabled(), valid);
        QCOMPARE(s.app.configBytes(), s.configBeforeStart); // the user's file is left as it was
    }

    void captionsAndHiddenControls_data() {
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
    void captionsAndHiddenControls() {
        QFETCH(QStringList, config);
        QFETCH(QString, title);
        QFETCH(QString, about);
        QFETCH(QString, toolsCaption);
        Started s(config);
        const MainWindow& w = *s.window;
        QCOMPARE(child<QLabel>(w, "Label4")->text(), title);
        QCOMPARE(child<QLabel>(w, "Label50")->text(), about);
        QCOMPARE(child<QGroupBox>(w, "Frame4")->title(), toolsCaption);
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Quenra小助手") + QString(50, QLatin1Char(' ')) +
                                           QStringLiteral("By:")));
        for (QWidget* c : std::initializer_list<QWidget*>{
                 child<QPushButton>(w, "Command3"), child<QListView>(w, "List7"),
                 child<QPlainTextEdit>(w, "Text11"), child<QPushButton>(w, "Command13"),
                 child<QPushButton>(w, "Command6"), child<QPushButton>(w, "Command19"),
                 child<QPushButton>(w, "Command101"), child<QPushButton>(w, "Command202"),
                 child<QLabel>(w, "Label1")}) {
            QVERIFY2(!c->isVisible(), qPrintable(c->objectName()));
        }
    }

    void overlayToggles_data() {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("closer");
        QTest::addColumn<QString>("panel");
        QTest::newRow("skin") << "pifu" << QStringLiteral("Command24") << QStringLiteral("Frame11");
        QTest::newRow("about") << "guanyu" << QStringLiteral("Command4") << QStringLiteral("Frame8");
        QTest::newRow("donation") << "Label7" << QStringLiteral("Command31") << QStringLiteral("Frame15");
        QTest::newRow("recommended sites")
            << "Command28" << QStringLiteral("Command26") << QStringLiteral("Frame13");
    }
    void overlayToggles() {
        QFETCH(QString, opener);
        QFETCH(QString, closer);
        QFETCH(QString, panel);
        Started s({}); // no host path: the path panel shows, and no overlay may hide it
        MainWindow& w = *s.window;
        auto* box = w.findChild<QGroupBox*>(panel);
        QVERIFY(box);
        QGroupBox* other = box == child<QGroupBox>(w, "Frame8") ? child<QGroupBox>(w, "Frame11")
                                                                : child<QGroupBox>(w, "Frame8");
        press(w, other == child<QGroupBox>(w, "Frame8") ? "guanyu" : "pifu");
        QVERIFY(other->isVisible());
        press(w, qPrintable(opener));
        QVERIFY(box->isVisible());
        QVERIFY(box->findChild<QPushButton*>(closer)); // built when first shown
        QVERIFY(!other->isVisible());                  // one at a time
        // Centred in the window's outer size.
        const QRectF g = twipsGeometry(box);
        QVERIFY(qAbs(g.left() - (w.outerWidthTwips() - g.width()) / 2) <= 15);
        QVERIFY(qAbs(g.top() - (w.outerHeightTwips() - g.height()) / 2) <= 15);
        press(w, qPrintable(closer));
        QVERIFY(!box->isVisible());
        press(w, qPrintable(opener));
        press(w, qPrintable(opener));
        QVERIFY(!box->isVisible());
        QVERIFY(child<QGroupBox>(w, "Frame9")->isVisible());
    }

    void closingExamplesLeavesFocusOnExampleButton() {
        Started s({QStringLiteral("quenra=/opt/Quenra/Quenra.exe")});
        MainWindow& w = *s.window;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        press(w, "Command29");
        child<QListView>(w, "List6")->setFocus();
        QTest::mouseClick(child<QPushButton>(w, "Command27"), Qt::LeftButton);
        QVERIFY(!child<QGroupBox>(w, "Frame14")->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(child<QPushButton>(w, "Command29")));
    }

    // Tab walks each panel's buttons in reading order: top to bottom, left to right in a row.
    void tabReachesButtonsInVisualOrder() {
        Started s({QStringLiteral("quenra=/opt/Quenra/Quenra.exe")});
        for (QGroupBox* panel : s.window->findChildren<QGroupBox*>()) {
            QList<QPushButton*> buttons = panel->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
            QList<QPushButton*> chain;
            for (QWidget* w = buttons.value(0); w && chain.size() < buttons.size();) {
                w = w->nextInFocusChain();
                if (auto* b = qobject_cast<QPushButton*>(w); b && buttons.contains(b) && !chain.contains(b)) {
                    chain << b;
                }
            }
            std::ranges::sort(buttons, [](const QWidget* a, const QWidget* b) {
                return a->geometry().center().y() < b->y() ||
                       (a->y() <= b->geometry().center().y() && a->x() < b->x());
            });
            std::ranges::rotate(chain, std::ranges::find(chain, buttons.value(0)));
            QCOMPARE(chain, buttons);
        }
    }

    void noticeScrollsAndWraps() {
        Started s({});
        MainWindow& w = *s.window;
        child<QTimer>(w, "Timer1")->stop();
        child<QLabel>(w, "Label18")->setText(QString(200, QChar(0x516C)));
        child<QLabel>(w, "Label18")->adjustSize();
        QVERIFY(child<QLabel>(w, "Label18")->width() > child<QGroupBox>(w, "Frame12")->width());
        int previous = child<QLabel>(w, "Label18")->x();
        int ticks = 0;
        for (tick(w, "Timer1"); child<QLabel>(w, "Label18")->x() < previous && ticks < 100000; ++ticks) {
            previous = child<QLabel>(w, "Label18")->x();
            tick(w, "Timer1");
        }
        // It restarts at the panel's right edge only once its right end has passed the left edge,
        // moving 20 twips a tick.
        QVERIFY(previous <= -child<QLabel>(w, "Label18")->width() + 2);
        QCOMPARE(child<QLabel>(w, "Label18")->x(), child<QGroupBox>(w, "Frame12")->width());
        const double trip = (twips::fromPx(child<QLabel>(w, "Label18")->width()) +
                             twips::fromPx(child<QGroupBox>(w, "Frame12")->width())) /
                            20.0;
        QVERIFY(qAbs(ticks - trip) < 3);
    }

    // docs/controls.md lists every named control as the windows build them, each with a purpose.
    void controlsDocumentIsCurrent() {
        const QString live = controlsDocument();
        for (const QString& row : live.split(QLatin1Char('\n'))) {
            QVERIFY2(!row.startsWith(QLatin1String("| ")) || !row.endsWith(QLatin1String("|  |")),
                     qPrintable(row));
        }
        QFile committed(qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/docs/controls.md"));
        QVERIFY(committed.open(QIODevice::ReadOnly));
        QVERIFY2(QString::fromUtf8(committed.readAll()) == live,
                 "docs/controls.md differs from the windows: quenra_screenshot --controls docs/controls.md");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
