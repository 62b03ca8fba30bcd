#include "AppWindow.h"
#include "settings/Gbk.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <optional>

namespace {

// Texts the user sees, spelled out here so a changed constant shows up as a failure.
const QString kInvalidPath = QStringLiteral("Quenra程序路径选择错误,请重新选择！");
const QString kTooOld = QStringLiteral("您的Quenra版本过低!（非2.0_RC4或3.0版本）是否现在前往下载最新版？");
const QString kBoardRequired = QStringLiteral("板卡为必选项！请选择对应板卡！");
const QString kBoards = QStringLiteral("host/resources/app/src/boards/default/");
const QString kEsp = QStringLiteral("ESP32");
const QString kDht = QStringLiteral("DHT11");
const QString kZk = QStringLiteral("掌控板 v2");

enum HostPath { Unset, Stored };

QString lib(const QString& board, const QString& library) {
    return board + QStringLiteral("/libraries/ThirdParty/") + library;
}

struct Window : AppWindow {
    QByteArray configWritten;
    QStringList startUpMessages;

    QString exe() const { return app.file(QStringLiteral("host/Quenra.exe")); }
    QString setting(const QString& key) const { return Settings(app.folder()).read(key); }
    void addBoardFolders(const QStringList& relative) const {
        for (const QString& r : relative) {
            QVERIFY(QDir().mkpath(app.file(kBoards + r)));
        }
    }
    // The only message shown: its text, the program's title, the critical icon and `buttons`.
    void expectMessage(const QString& text, Platform::Buttons buttons = Platform::Buttons::Ok) const {
        QCOMPARE(platform.messageTexts(), QStringList{text});
        QCOMPARE(platform.messages.first().title, QStringLiteral("Quenra小助手"));
        QCOMPARE(platform.messages.first().icon, Platform::Icon::Critical);
        QCOMPARE(platform.messages.first().buttons, buttons);
    }
};

// A started window on a fresh application folder holding a host installation at host/; the catalog
// server is unreachable, so start-up fails its download at once.
std::unique_ptr<Window> open(QStringList config = {}, HostPath host = Unset,
                             const QStringList& boardFolders = {}) {
    auto s = std::make_unique<Window>();
    config << QStringLiteral("fuwuqi=http://127.0.0.1:1/");
    if (host == Stored) {
        config << QStringLiteral("quenra=") + s->exe();
    }
    s->app.writeConfig(config);
    s->app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    s->addBoardFolders(boardFolders);
    s->configWritten = s->app.configBytes();
    s->start();
    s->startUpMessages = s->platform.messageTexts();
    s->platform.clear();
    return s;
}

template <class W> QStringList items(const W* widget) {
    QStringList texts;
    for (int i = 0; i < widget->count(); ++i) {
        texts << widget->model()->index(i, 0).data().toString();
    }
    return texts;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

// The user picks the last entry of that text: the first entry is the stored board.
void pick(QComboBox* combo, const QString& text) {
    const int index = items(combo).lastIndexOf(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

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
        auto s = open({QStringLiteral("Kuliebiao=ESP32"), QStringLiteral("quenraBanben=Quenra 3.0 rc0")},
                      Stored, {lib(kEsp, kDht)});
        MainWindow& w = s->w();
        const QStringList boardsBefore = items(child<QComboBox>(w, "Combo2"));
        if (chooser == QLatin1String("Command7")) {
            child<QLineEdit>(w, "Text8")->setText(*answer);
        } else {
            s->platform.fileAnswers << answer;
        }

        w.findChild<QPushButton*>(chooser)->click();

        QCOMPARE(child<QLineEdit>(w, "Text8")->text(), answer.value_or(QString()));
        s->expectMessage(kInvalidPath);
        QCOMPARE(s->app.configBytes(), s->configWritten); // the next start-up restores the stored path
        QVERIFY(!child<QPushButton>(w, "Command17")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "Command21")->isEnabled());
        const bool toolsChooser = chooser == QLatin1String("Command16");
        for (QWidget* c : std::initializer_list<QWidget*>{
                 child<QPushButton>(w, "Command14"), child<QComboBox>(w, "Combo2"),
                 child<QListView>(w, "List2"), child<QListView>(w, "List3")}) {
            QVERIFY2(c->isEnabled() != toolsChooser, qPrintable(c->objectName()));
        }
        QCOMPARE(items(child<QComboBox>(w, "Combo2")), boardsBefore);
    }

    void dialogKeepsFilterAndName() {
        auto s = open();
        MainWindow& w = s->w();
        const QString exe = s->exe();
        s->platform.fileAnswers << exe << std::nullopt << std::nullopt;
        press(w, "Command5");
        press(w, "Command16");
        press(w, "Command5");
        const QString filter = QStringLiteral("Quenra.exe文件(*.exe)|*.exe");
        const QList<QPair<QString, QString>> expected{{QString(), QString()}, {filter, exe}, {filter, exe}};
        QCOMPARE(s->platform.fileDialogs, expected);
        // A cancelled dialog keeps the last name, which passes the test again.
        QCOMPARE(child<QLineEdit>(w, "Text8")->text(), exe);
        QVERIFY(child<QPushButton>(w, "Command17")->isEnabled());
        QCOMPARE(s->setting(keys::HostPath), exe);
    }

    // The panel choosers rebuild the board list before the version check, the tools chooser checks
    // the version first: is the board list filled when the prompt shows? Only a web page from the
    // settings file is opened, and only on OK. The stored version stays.
    void tooOldPrompt_data() {
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("pageOpened");
        QTest::addColumn<bool>("boardsListedFirst");
        QTest::addColumn<bool>("panelLeftUp"); // the confirm button hides it whatever the version
        const QString web = QStringLiteral("https://files.example.com/s/quenra-ide");
        using A = Platform::Answer;
        QTest::newRow("Command5, OK") << "Command5" << A::Ok << web << true << true << true;
        QTest::newRow("Command7, Cancel") << "Command7" << A::Cancel << web << false << true << false;
        QTest::newRow("Command16, OK, not a web address")
            << "Command16" << A::Ok << QStringLiteral("C:\\Windows\\notepad.exe") << false << false << true;
    }
    void tooOldPrompt() {
        QFETCH(QString, chooser);
        QFETCH(Platform::Answer, answer);
        QFETCH(QString, page);
        QFETCH(bool, pageOpened);
        QFETCH(bool, boardsListedFirst);
        QFETCH(bool, panelLeftUp);
        auto s = open({QStringLiteral("Kuliebiao=ESP32"), QStringLiteral("quenraBanben=old"),
                       QStringLiteral("xiazai=") + page},
                      Unset, {lib(kEsp, kDht)});
        MainWindow& w = s->w();
        child<QLineEdit>(w, "Text8")->setText(s->exe());
        s->platform.fileAnswers << s->exe();
        s->platform.answers << answer;
        QPair<int, int> listedAtPrompt{-1, -1};
        s->platform.onMessage = [&](const Platform::Message&) -> std::optional<Platform::Answer> {
            listedAtPrompt = {child<QComboBox>(w, "Combo2")->count(),
                              child<QListView>(w, "List3")->model()->rowCount()};
            return std::nullopt;
        };
        QTest::mouseClick(w.findChild<QPushButton*>(chooser), Qt::LeftButton);

        s->expectMessage(kTooOld, Platform::Buttons::OkCancel);
        QCOMPARE(s->platform.opened, pageOpened ? QStringList{page} : QStringList{});
        QCOMPARE(listedAtPrompt, boardsListedFirst ? qMakePair(2, 1) : qMakePair(0, 0));
        QCOMPARE(items(child<QComboBox>(w, "Combo2")), (QStringList{kEsp, kEsp}));
        QCOMPARE(rows(child<QListView>(w, "List3")), QStringList{kDht});
        QCOMPARE(child<QGroupBox>(w, "Frame9")->isVisible(), panelLeftUp);
        QCOMPARE(child<QGroupBox>(w, "Frame4")->title(), QStringLiteral("old"));
        QCOMPARE(s->setting(keys::HostVersion), QStringLiteral("old"));
        QCOMPARE(s->setting(keys::HostPath), s->exe());
        QVERIFY(child<QPushButton>(w, "Command17")->isEnabled());
        QVERIFY(child<QPushButton>(w, "Command21")->isEnabled());
    }

    // The stored board comes first, and again among the folders in enumeration order; its libraries
    // show at once; start-up asks for no board and writes nothing.
    void boardsAtStartUp_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("libraries");
        const QString mine = QStringLiteral("MyLocalLib");
        QTest::newRow("stored board listed twice")
            << QStringLiteral("Kuliebiao=ESP32") << QStringList{lib(kEsp, kDht), lib(kEsp, mine), "Uno"}
            << kEsp << QStringList{kDht, mine};
        QTest::newRow("no stored board")
            << QString() << QStringList{lib(kEsp, kDht)} << QString() << QStringList{};
    }
    void boardsAtStartUp() {
        QFETCH(QString, stored);
        QFETCH(QStringList, folders);
        QFETCH(QString, first);
        QFETCH(QStringList, libraries);
        auto s = open({stored}, Stored, folders);
        MainWindow& w = s->w();
        const QStringList onDisk =
            QDir(s->app.file(kBoards), QString(), QDir::Unsorted, QDir::Dirs | QDir::NoDotAndDotDot)
                .entryList();
        QCOMPARE(items(child<QComboBox>(w, "Combo2")), QStringList{first} + onDisk);
        QCOMPARE(child<QComboBox>(w, "Combo2")->currentIndex(), 0);
        QCOMPARE(sorted(rows(child<QListView>(w, "List3"))), libraries);
        QVERIFY(!s->startUpMessages.contains(kBoardRequired));
        QCOMPARE(s->app.configBytes(), s->configWritten);
    }

    void pickBoard_data() {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QStringList>("libraries");
        QTest::newRow("empty first entry") << QString() << QStringList{};
        QTest::newRow("no library root") << QStringLiteral("Bare") << QStringList{};
        QTest::newRow("space and Chinese")
            << kZk << QStringList{QStringLiteral("OLED"), QStringLiteral("RGB灯带")};
    }
    void pickBoard() {
        QFETCH(QString, board);
        QFETCH(QStringList, libraries);
        auto s = open(
            {}, Stored,
            {lib(kZk, QStringLiteral("RGB灯带")), lib(kZk, QStringLiteral("OLED")), QStringLiteral("Bare")});
        pick(child<QComboBox>(s->w(), "Combo2"), board);
        QCOMPARE(sorted(rows(child<QListView>(s->w(), "List3"))), libraries);
        if (board.isEmpty()) {
            s->expectMessage(kBoardRequired);
            QCOMPARE(s->app.configBytes(), s->configWritten);
        } else {
            QVERIFY(s->platform.messages.isEmpty());
            QCOMPARE(s->setting(keys::Board), board);
            QVERIFY(
                s->app.configBytes().contains(gbk::encode(QStringLiteral("Kuliebiao=%1\r\n").arg(board))));
        }
    }

    void refreshListsLibrariesAgain() {
        auto s = open({QStringLiteral("Kuliebiao=ESP32")}, Stored, {lib(kEsp, kDht)});
        MainWindow& w = s->w();
        QVERIFY(QDir(s->app.file(kBoards + lib(kEsp, kDht))).removeRecursively());
        s->addBoardFolders({lib(kEsp, QStringLiteral("AHT20"))});
        QCOMPARE(rows(child<QListView>(w, "List3")), QStringList{kDht}); // until refreshed
        child<QAction>(w, "bendiku")->trigger();
        QCOMPARE(rows(child<QListView>(w, "List3")), QStringList{QStringLiteral("AHT20")});
    }

    // The demo installation as a new user meets it: chosen in the tools panel, read in place, run.
    void demoInstallation() {
        const QString exe =
            qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/demo/host/Quenra.exe");
        QVERIFY2(QFileInfo(exe).isExecutable(), qPrintable(exe));
        auto s = open();
        MainWindow& w = s->w();
        s->platform.fileAnswers << exe;
        QTest::mouseClick(child<QPushButton>(w, "Command16"), Qt::LeftButton);

        s->expectMessage(kBoardRequired); // no board stored yet
        QCOMPARE(child<QGroupBox>(w, "Frame4")->title(), QStringLiteral("Quenra 3.0 rc0"));
        QVERIFY(!child<QGroupBox>(w, "Frame9")->isVisible());
        QCOMPARE(s->setting(keys::HostVersion), QStringLiteral("Quenra 3.0 rc0"));
        QCOMPARE(sorted(items(child<QComboBox>(w, "Combo2"))),
                 (QStringList{QString(), QStringLiteral("Arduino Uno"), kEsp, kZk}));
        pick(child<QComboBox>(w, "Combo2"), kZk);
        QCOMPARE(rows(child<QListView>(w, "List3")), QStringList{QStringLiteral("RGB灯带")});
        // The host starts from the chosen path; a failed start is not reported.
        s->platform.startProgramResult = false;
        QTest::mouseClick(child<QPushButton>(w, "Command17"), Qt::LeftButton);
        QCOMPARE(s->platform.started, QStringList{exe});
        QCOMPARE(s->platform.messageTexts(), QStringList{kBoardRequired});
    }
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
