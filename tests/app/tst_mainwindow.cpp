#include "AppWindow.h"

#include <QProcess>

namespace {

// Nothing listens on port 1: the start-up catalog download fails at once.
const QString NoServer = QStringLiteral("fuwuqi=http://127.0.0.1:1/");

} // namespace

class TestMainWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A stored host path is taken, none shows the path panel; captions come from the settings.
    void startUp_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("validPath");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("toolsCaption");
        QTest::newRow("first start") << QStringList{} << false << QStringLiteral("Quenra小助手V版")
                                     << QString();
        QTest::newRow("exact name, banben and host version")
            << QStringList{QStringLiteral("quenra=/opt/Quenra/Quenra.exe"), QStringLiteral("banben=1.03"),
                           QStringLiteral("quenraBanben=Quenra 3.0 rc0")}
            << true << QStringLiteral("Quenra小助手V1.03版") << QStringLiteral("Quenra 3.0 rc0");
    }
    void startUp() {
        QFETCH(QStringList, config);
        QFETCH(bool, validPath);
        QFETCH(QString, title);
        QFETCH(QString, toolsCaption);
        AppWindow s(config << NoServer);
        const QByteArray before = s.app.configBytes();
        s.start();
        const MainWindow& w = s.w();
        const QString path = config.filter(QStringLiteral("quenra=")).value(0).mid(7);
        QCOMPARE(child<QLineEdit>(w, "Text8")->text(), path);
        QCOMPARE(child<QGroupBox>(w, "Frame9")->isVisible(), !validPath);
        QCOMPARE(child<QPushButton>(w, "Command17")->isEnabled(), validPath);
        QCOMPARE(child<QPushButton>(w, "Command21")->isEnabled(), validPath);
        QCOMPARE(s.app.configBytes(), before); // the user's file is left as it was
        QCOMPARE(child<QLabel>(w, "Label4")->text(), title);
        QCOMPARE(child<QLabel>(w, "Label50")->text(), QStringLiteral("当前版本：") + title.mid(9));
        QCOMPARE(child<QGroupBox>(w, "Frame4")->title(), toolsCaption);
    }

    // Opener and closer toggle each overlay, one at a time, over the path panel; closing the examples
    // leaves the focus on their button.
    void overlayToggles() {
        AppWindow s({NoServer});
        s.start();
        MainWindow& w = s.w();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QList<std::tuple<const char*, const char*, const char*>> overlays{
            {"pifu", "Command24", "Frame11"},
            {"guanyu", "Command4", "Frame8"},
            {"Label7", "Command31", "Frame15"},
            {"Command28", "Command26", "Frame13"},
            {"Command29", "Command27", "Frame14"}};
        QGroupBox* previous = nullptr;
        for (const auto& [opener, closer, panel] : overlays) {
            auto* box = child<QGroupBox>(w, panel);
            press(w, opener);
            QVERIFY2(box->isVisible() && !(previous && previous->isVisible()), panel);
            // Built when first shown: child() below would build it too, and hide a panel that failed to.
            QVERIFY2(box->findChild<QObject*>(QLatin1String(closer)), panel);
            press(w, closer);
            QVERIFY2(!box->isVisible(), panel);
            press(w, opener);
            previous = box;
        }
        QVERIFY(child<QGroupBox>(w, "Frame9")->isVisible());
        child<QWidget>(w, "Command27")->setFocus(); // as a click on it does
        press(w, "Command27");
        QVERIFY(!previous->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), child<QWidget>(w, "Command29"));
    }

    // docs/controls.md is what the screenshot tool writes, a purpose in every row.
    void controlsDocumentIsCurrent() {
        const QString tool = qEnvironmentVariable("QUENRA_SCREENSHOT");
        QVERIFY2(!tool.isEmpty(), "QUENRA_SCREENSHOT names the built screenshot tool (CTest sets it)");
        QTemporaryDir dir;
        const QString written = dir.filePath(QStringLiteral("controls.md"));
        QCOMPARE(QProcess::execute(tool, {QStringLiteral("--controls"), written}), 0);
        const QString live = QString::fromUtf8(readFile(written));
        for (const QString& row : live.split(QLatin1Char('\n'))) {
            QVERIFY2(!row.startsWith(QLatin1String("| ")) || !row.endsWith(QLatin1String("|  |")),
                     qPrintable(row));
        }
        QVERIFY2(QString::fromUtf8(readFile(qEnvironmentVariable("QUENRA_SOURCE_DIR") +
                                            QStringLiteral("/docs/controls.md"))) == live,
                 "docs/controls.md differs from the windows: quenra_screenshot --controls docs/controls.md");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
