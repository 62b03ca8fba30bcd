#include "AppWindow.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

namespace {

const QString kInvalidPath = QStringLiteral("Quenra程序路径选择错误,请重新选择！");
const QString kTooOld = QStringLiteral("您的Quenra版本过低!（非2.0_RC4或3.0版本）是否现在前往下载最新版？");
const QString kBoardRequired = QStringLiteral("板卡为必选项！请选择对应板卡！");
const QString kEsp = QStringLiteral("ESP32");
const QString kDht = QStringLiteral("DHT11");

// The board list as the user sees it dropped down.
QStringList boardRows(const MainWindow& w) {
    return rows(child<QComboBox>(w, "Combo2")->view());
}

// A started window with a host installation at host/ (board ESP32, library DHT11) and no server.
struct Window : AppWindow {
    QByteArray configWritten;
    QStringList startUpMessages;

    Window(QStringList config, bool hostStored) {
        config << QStringLiteral("fuwuqi=http://127.0.0.1:1/");
        if (hostStored) {
            config << QStringLiteral("quenra=") + exe();
        }
        app.writeConfig(config);
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        QVERIFY(QDir().mkpath(app.file(
            QStringLiteral("host/resources/app/src/boards/default/ESP32/libraries/ThirdParty/DHT11"))));
        configWritten = app.configBytes();
        start();
        startUpMessages = platform.messageTexts();
        platform.clear();
    }
    QString exe() const { return app.file(QStringLiteral("host/Quenra.exe")); }
    QString setting(const QString& key) const { return Settings(app.folder()).read(key); }
    QStringList libraries() const { return rows(child<QListView>(*window, "List3")); }
    // The only message shown: its text, the program's title, the critical icon and `buttons`.
    void expectMessage(const QString& text, Platform::Buttons buttons = Platform::Buttons::Ok) const {
        QCOMPARE(platform.messageTexts(), QStringList{text});
        QCOMPARE(platform.messages.first().title, QStringLiteral("Quenra小助手"));
        QCOMPARE(platform.messages.first().icon, Platform::Icon::Critical);
        QCOMPARE(platform.messages.first().buttons, buttons);
    }
};

} // namespace

class TestHostWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void invalidChoiceStoresNothing_data() {
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<std::optional<QString>>("answer"); // the dialog's, or what Text8 holds for Command7
        const QString lower = QStringLiteral("/opt/Quenra/quenra.exe");
        for (const char* chooser : {"Command5", "Command16", "Command7"}) {
            QTest::addRow("%s, lower-case name", chooser) << chooser << std::optional<QString>(lower);
        }
        QTest::newRow("Command5, cancelled first use") << "Command5" << std::optional<QString>();
    }
    void invalidChoiceStoresNothing() {
        QFETCH(QString, chooser);
        QFETCH(std::optional<QString>, answer);
        Window s({QStringLiteral("Kuliebiao=ESP32"), QStringLiteral("quenraBanben=Quenra 3.0 rc0")}, true);
        MainWindow& w = s.w();
        // The stored board comes first and again among the folders, its libraries shown at once.
        QCOMPARE(boardRows(w), (QStringList{kEsp, kEsp}));
        QCOMPARE(s.libraries(), QStringList{kDht});
        QVERIFY(!s.startUpMessages.contains(kBoardRequired));
        if (chooser == QLatin1String("Command7")) {
            child<QLineEdit>(w, "Text8")->setText(*answer);
        } else {
            s.platform.fileAnswers << answer;
        }
        press(w, qPrintable(chooser));
        QCOMPARE(child<QLineEdit>(w, "Text8")->text(), answer.value_or(QString()));
        s.expectMessage(kInvalidPath);
        QCOMPARE(s.app.configBytes(), s.configWritten); // the next start-up restores the stored path
        QVERIFY(!child<QPushButton>(w, "Command17")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "Command21")->isEnabled());
        // Only the tools panel's chooser takes the library controls with it.
        for (const char* name : {"Command14", "Combo2", "List2", "List3"}) {
            QVERIFY2(child<QWidget>(w, name)->isEnabled() != (chooser == QLatin1String("Command16")), name);
        }
        QCOMPARE(boardRows(w), (QStringList{kEsp, kEsp}));
    }

    // A version file naming neither version: OK opens the download page if it is a web address; the
    // path is taken and the stored version stays.
    void tooOldPrompt_data() {
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("pageOpened");
        QTest::addColumn<bool>("panelLeftUp");
        const QString web = QStringLiteral("https://files.example.com/s/quenra-ide");
        using A = Platform::Answer;
        QTest::newRow("Command5, OK") << "Command5" << A::Ok << web << true << true;
        QTest::newRow("Command7, Cancel") << "Command7" << A::Cancel << web << false << false;
        QTest::newRow("Command16, OK, not a web address")
            << "Command16" << A::Ok << QStringLiteral("C:\\Windows\\notepad.exe") << false << true;
    }
    void tooOldPrompt() {
        QFETCH(QString, chooser);
        QFETCH(Platform::Answer, answer);
        QFETCH(QString, page);
        QFETCH(bool, pageOpened);
        QFETCH(bool, panelLeftUp);
        Window s({QStringLiteral("Kuliebiao=ESP32"), QStringLiteral("quenraBanben=old"),
                  QStringLiteral("xiazai=") + page},
                 false);
        MainWindow& w = s.w();
        child<QLineEdit>(w, "Text8")->setText(s.exe());
        s.platform.fileAnswers << s.exe();
        s.platform.answers << answer;
        press(w, qPrintable(chooser));
        s.expectMessage(kTooOld, Platform::Buttons::OkCancel);
        QCOMPARE(s.platform.opened, pageOpened ? QStringList{page} : QStringList{});
        QCOMPARE(child<QGroupBox>(w, "Frame9")->isVisible(), panelLeftUp);
        QCOMPARE(child<QGroupBox>(w, "Frame4")->title(), QStringLiteral("old"));
        QCOMPARE(s.setting(keys::HostVersion), QStringLiteral("old"));
        QCOMPARE(s.setting(keys::HostPath), s.exe());
        QVERIFY(child<QPushButton>(w, "Command17")->isEnabled());
    }

    // The demo installation chosen in the tools panel, read in place, run; the empty board is refused.
    void demoInstallation() {
        const QString exe =
            qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/demo/host/Quenra.exe");
        Window s({}, false);
        s.platform.fileAnswers << exe << std::nullopt;
        press(s.w(), "Command16");
        s.expectMessage(kBoardRequired);
        QCOMPARE(s.setting(keys::Board), QString());
        QCOMPARE(child<QGroupBox>(s.w(), "Frame4")->title(), QStringLiteral("Quenra 3.0 rc0"));
        QVERIFY(!child<QGroupBox>(s.w(), "Frame9")->isVisible());
        QStringList boards = boardRows(s.w());
        boards.sort();
        QCOMPARE(boards,
                 (QStringList{QString(), QStringLiteral("Arduino Uno"), kEsp, QStringLiteral("掌控板 v2")}));
        // The dialog shows the last name; a cancelled one keeps it, and it passes the test again.
        press(s.w(), "Command5");
        const QString filter = QStringLiteral("Quenra.exe文件(*.exe)|*.exe");
        QCOMPARE(s.platform.fileDialogs,
                 (QList<QPair<QString, QString>>{{filter, QString()}, {filter, exe}}));
        QCOMPARE(s.setting(keys::HostPath), exe);
        // The host starts from the chosen path; a failed start is not reported.
        s.platform.clear();
        s.platform.startProgramResult = false;
        press(s.w(), "Command17");
        QCOMPARE(s.platform.started, QStringList{exe});
        QVERIFY(s.platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
