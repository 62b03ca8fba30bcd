#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "app/Form1.h"
#include "settings/Gbk.h"
#include "settings/SettingsKeys.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <optional>

namespace {

// Texts the user sees, spelled out here so a changed constant shows up as a failure.
const QString kInvalidPath = QStringLiteral("Quenra程序路径选择错误,请重新选择！");
const QString kTooOld = QStringLiteral("您的Quenra版本过低!（非2.0_RC4或3.0版本）是否现在前往下载最新版？");
const QString kBoardRequired = QStringLiteral("板卡为必选项！请选择对应板卡！");
const QString kTitle = QStringLiteral("Quenra小助手");
const QString kDownloadPage = QStringLiteral("https://files.example.com/s/quenra-ide");

// Nothing listens on port 1: the start-up catalog download fails at once.
const QString kNoServer = QStringLiteral("fuwuqi=http://127.0.0.1:1/");

const QString kBoards = QStringLiteral("host/resources/app/src/boards/default/");
const QString kVersionFile = QStringLiteral("host/resources/app/src/sw-config.json");

struct Window {
    std::unique_ptr<TempAppFolder> app;
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    Form1& w() const { return *form; }
    // The host executable of the installation made below the application folder.
    QString exe() const { return app->file(QStringLiteral("host/Quenra.exe")); }
    QString setting(const QString& key) const { return form->settings().read(key); }
    void mkdir(const QString& relative) const { QVERIFY(QDir().mkpath(app->file(relative))); }
    void addLibrary(const QString& board, const QString& library) const {
        mkdir(kBoards + board + QStringLiteral("/libraries/ThirdParty/") + library);
    }
};

// A window on a fresh application folder with `config`; `hostStored` adds the host path of the
// installation below the application folder. `prepare` lays out that installation before start-up.
std::unique_ptr<Window> start(QStringList config, bool hostStored,
                              const std::function<void(const Window&)>& prepare) {
    auto s = std::make_unique<Window>();
    s->app = std::make_unique<TempAppFolder>();
    config << kNoServer << QStringLiteral("xiazai=") + kDownloadPage;
    if (hostStored) {
        config << QStringLiteral("quenra=") + s->exe();
    }
    s->app->writeConfig(config);
    s->app->writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    if (prepare) {
        prepare(*s);
    }
    s->form = std::make_unique<Form1>(s->app->context(&s->platform));
    s->form->startUp();
    s->form->show();
    // Start-up's own messages (the catalog) are not what these tests look at.
    s->platform.clear();
    return s;
}

std::unique_ptr<Window> open(const QStringList& config,
                             const std::function<void(const Window&)>& prepare = {}) {
    return start(config, false, prepare);
}

std::unique_ptr<Window> openWithHost(const QStringList& config,
                                     const std::function<void(const Window&)>& prepare = {}) {
    return start(config, true, prepare);
}

QStringList items(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
        texts << combo->itemText(i);
    }
    return texts;
}

QStringList items(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->item(i)->text();
    }
    return texts;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

// The user picks the entry `index` of the board list.
void pick(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void pick(QComboBox* combo, const QString& text) {
    // The last entry of that text: the first entry is the stored board, the others are folders.
    const int index = items(combo).lastIndexOf(text);
    QVERIFY2(index >= 0, qPrintable(text));
    pick(combo, index);
}

void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir()) {
            QVERIFY(QDir().mkpath(target));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()));
            QVERIFY(QFile::copy(path, target));
        }
    }
}

} // namespace

class TestHostWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ---- choosing the host program ----

    void invalidChoiceStoresNothing_data() {
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("expectedText8");
        const QString lower = QStringLiteral("/opt/Quenra/quenra.exe");
        for (const char* chooser : {"Command5", "Command16"}) {
            QTest::addRow("%s, lower-case name", chooser)
                << chooser << std::optional<QString>(lower) << lower;
            QTest::addRow("%s, cancelled first use", chooser)
                << chooser << std::optional<QString>() << QString();
        }
        // The confirm button tests what was typed into the box.
        QTest::newRow("Command7, lower-case name") << "Command7" << std::optional<QString>(lower) << lower;
        const QString folder = QStringLiteral("/opt/Quenra/Quenra.exe/");
        QTest::newRow("Command7, trailing separator")
            << "Command7" << std::optional<QString>(folder) << folder;
    }
    void invalidChoiceStoresNothing() {
        QFETCH(QString, chooser);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, expectedText8);
        auto s = openWithHost(
            {QStringLiteral("Kuliebiao=ESP32"), QStringLiteral("quenraBanben=Quenra 3.0 rc0")},
            [](const Window& s) { s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11")); });
        Form1& w = s->w();
        const QByteArray before = s->app->configBytes();
        const QStringList boardsBefore = items(w.Combo2);
        if (chooser == QLatin1String("Command7")) {
            w.Text8->setText(*answer);
        } else {
            s->platform.fileAnswers << answer;
        }

        w.findChild<QPushButton*>(chooser)->click();

        QCOMPARE(w.Text8->text(), expectedText8);
        QCOMPARE(s->platform.messages.size(), 1);
        const Platform::Message& m = s->platform.messages.first();
        QCOMPARE(m.text, kInvalidPath);
        QCOMPARE(m.title, kTitle);
        QCOMPARE(m.icon, Platform::Icon::Critical);
        QCOMPARE(m.buttons, Platform::Buttons::Ok);
        // quenra keeps its old value: the next start-up restores the stored path.
        QCOMPARE(s->app->configBytes(), before);
        QVERIFY(!w.Command17->isEnabled());
        QVERIFY(!w.Command21->isEnabled());
        const bool toolsChooser = chooser == QLatin1String("Command16");
        for (QWidget* c : std::initializer_list<QWidget*>{w.Command14, w.Combo2, w.List2, w.List3}) {
            QVERIFY2(c->isEnabled() != toolsChooser, qPrintable(c->objectName()));
        }
        QCOMPARE(items(w.Combo2), boardsBefore);
        QVERIFY(s->platform.opened.isEmpty());
    }

    void dialogKeepsFilterAndName() {
        auto s = open({});
        Form1& w = s->w();
        const QString exe = s->exe();
        s->platform.fileAnswers << exe << std::nullopt << std::nullopt;
        w.Command5_Click();
        w.Command16_Click();
        w.Command5_Click();
        const QString filter = QStringLiteral("Quenra.exe文件(*.exe)|*.exe");
        const QList<QPair<QString, QString>> expected{
            {QString(), QString()}, {filter, exe}, {filter, exe}}; // the filter stays set for Command5
        QCOMPARE(s->platform.fileDialogs, expected);
        // A cancelled dialog keeps the last name, which passes the test again.
        QCOMPARE(w.Text8->text(), exe);
        QVERIFY(w.Command17->isEnabled());
        QCOMPARE(s->setting(keys::HostPath), exe);
    }

    void pathPanelChooserShowsChoice() {
        auto s = open({});
        Form1& w = s->w();
        const QString grey = w.Text1->styleSheet();
        s->platform.fileAnswers << QStringLiteral("/somewhere/else.exe");
        QTest::mouseClick(w.Command5, Qt::LeftButton);
        QCOMPARE(w.Text1->text(), QStringLiteral("/somewhere/else.exe"));
        QVERIFY(w.Text1->styleSheet() != grey);
        QVERIFY(!w.Text1->styleSheet().contains(QStringLiteral("grey")));
        // An invalid choice leaves the panel up.
        QVERIFY(w.Frame9->isVisible());
    }

    // ---- the version check ----

    void versionFile_data() {
        QTest::addColumn<std::optional<QByteArray>>("content");
        QTest::addColumn<QString>("version"); // empty: the too-old prompt
        using Bytes = std::optional<QByteArray>;
        QTest::newRow("3.0") << Bytes("{\n  \"version\": \"Quenra 3.0 rc0\"\n}\n")
                             << QStringLiteral("Quenra 3.0 rc0");
        QTest::newRow("2.0") << Bytes("Quenra 2.0 rc4") << QStringLiteral("Quenra 2.0 rc4");
        QTest::newRow("both") << Bytes("Quenra 3.0 rc0\r\nQuenra 2.0 rc4\r\n")
                              << QStringLiteral("Quenra 2.0 rc4");
        QTest::newRow("GBK around") << Bytes(gbk::encode(u"版本：Quenra 3.0 rc0，中文"))
                                    << QStringLiteral("Quenra 3.0 rc0");
        QTest::newRow("lower case") << Bytes("quenra 3.0 rc0") << QString();
        QTest::newRow("empty") << Bytes("") << QString();
        QTest::newRow("missing") << Bytes() << QString();
    }
    void versionFile() {
        QFETCH(std::optional<QByteArray>, content);
        QFETCH(QString, version);
        auto s = open({QStringLiteral("quenraBanben=old")}, [&](const Window& s) {
            if (content) {
                s.app->writeFile(kVersionFile, *content);
            }
        });
        Form1& w = s->w();
        QVERIFY(w.Frame9->isVisible());
        s->platform.fileAnswers << s->exe();
        QTest::mouseClick(w.Command5, Qt::LeftButton);

        // The path is stored either way.
        QCOMPARE(s->setting(keys::HostPath), s->exe());
        QVERIFY(w.Command17->isEnabled());
        QVERIFY(w.Command21->isEnabled());
        if (version.isEmpty()) {
            QCOMPARE(s->platform.messages.size(), 1);
            const Platform::Message& m = s->platform.messages.first();
            QCOMPARE(m.text, kTooOld);
            QCOMPARE(m.title, kTitle);
            QCOMPARE(m.icon, Platform::Icon::Critical);
            QCOMPARE(m.buttons, Platform::Buttons::OkCancel);
            QVERIFY(w.Frame9->isVisible());
            QCOMPARE(w.Frame4->title(), QStringLiteral("old"));
            QCOMPARE(s->setting(keys::HostVersion), QStringLiteral("old"));
        } else {
            QVERIFY(s->platform.messages.isEmpty());
            QVERIFY(!w.Frame9->isVisible());
            QCOMPARE(w.Frame4->title(), version);
            QCOMPARE(s->setting(keys::HostVersion), version);
        }
    }

    void tooOldPromptAnswer_data() {
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("OK") << Platform::Answer::Ok << kDownloadPage << QStringList{kDownloadPage};
        QTest::newRow("Cancel") << Platform::Answer::Cancel << kDownloadPage << QStringList{};
        // Only a web page is opened from the settings file.
        QTest::newRow("OK, not a web address")
            << Platform::Answer::Ok << QStringLiteral("C:\\Windows\\notepad.exe") << QStringList{};
        QTest::newRow("OK, no address") << Platform::Answer::Ok << QString() << QStringList{};
    }
    void tooOldPromptAnswer() {
        QFETCH(Platform::Answer, answer);
        QFETCH(QString, page);
        QFETCH(QStringList, opened);
        auto s = open({});
        s->app->writeConfig({kNoServer, QStringLiteral("xiazai=") + page});
        s->platform.fileAnswers << s->exe();
        s->platform.answers << answer;
        s->w().Command5_Click();
        QCOMPARE(s->platform.messageTexts(), QStringList{kTooOld});
        QCOMPARE(s->platform.opened, opened);
        QVERIFY(s->platform.started.isEmpty());
    }

    void confirmHidesPanelWhateverTheVersion() {
        auto s = open({});
        Form1& w = s->w();
        w.Text8->setText(s->exe());
        QTest::mouseClick(w.Command7, Qt::LeftButton);
        QCOMPARE(s->platform.messageTexts(), QStringList{kTooOld});
        QVERIFY(!w.Frame9->isVisible());
        QCOMPARE(s->setting(keys::HostPath), s->exe());
        QVERIFY(w.Command17->isEnabled());
        QVERIFY(w.Command21->isEnabled());
    }

    // The panel choosers rebuild the board list before the version check; the tools chooser checks
    // the version first. Seen from the prompt: is the board list already filled when it shows?
    void versionCheckOrder_data() {
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<bool>("boardsListedFirst");
        QTest::newRow("Command5") << "Command5" << true;
        QTest::newRow("Command7") << "Command7" << true;
        QTest::newRow("Command16") << "Command16" << false;
    }
    void versionCheckOrder() {
        QFETCH(QString, chooser);
        QFETCH(bool, boardsListedFirst);
        auto s = open({QStringLiteral("Kuliebiao=ESP32")}, [](const Window& s) {
            s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11"));
        });
        Form1& w = s->w();
        QCOMPARE(w.Combo2->count(), 0);
        w.Text8->setText(s->exe());
        s->platform.fileAnswers << s->exe();
        int boardsAtPrompt = -1;
        int librariesAtPrompt = -1;
        s->platform.onMessage = [&](const Platform::Message&) -> std::optional<Platform::Answer> {
            boardsAtPrompt = w.Combo2->count();
            librariesAtPrompt = w.List3->count();
            return std::nullopt;
        };
        QTest::mouseClick(w.findChild<QPushButton*>(chooser), Qt::LeftButton);
        QCOMPARE(s->platform.messageTexts(), QStringList{kTooOld});
        QCOMPARE(boardsAtPrompt, boardsListedFirst ? 2 : 0);
        QCOMPARE(librariesAtPrompt, boardsListedFirst ? 1 : 0);
        QCOMPARE(items(w.Combo2), (QStringList{QStringLiteral("ESP32"), QStringLiteral("ESP32")}));
        QCOMPARE(items(w.List3), QStringList{QStringLiteral("DHT11")});
    }

    void runStartsHost() {
        auto s = openWithHost({});
        Form1& w = s->w();
        QVERIFY(w.Command17->isEnabled());
        QTest::mouseClick(w.Command17, Qt::LeftButton);
        QCOMPARE(s->platform.started, QStringList{s->exe()});
        // The current text of the box is what starts, also when edited by hand.
        w.Text8->setText(QStringLiteral("/elsewhere/Quenra.exe"));
        QTest::mouseClick(w.Command17, Qt::LeftButton);
        QCOMPARE(s->platform.started.last(), QStringLiteral("/elsewhere/Quenra.exe"));
        QVERIFY(s->platform.messages.isEmpty());
    }

    // ---- boards and installed libraries ----

    void storedBoardListedTwice() {
        auto s = openWithHost({QStringLiteral("Kuliebiao=ESP32")}, [](const Window& s) {
            s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11"));
            s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("MyLocalLib"));
            s.mkdir(kBoards + QStringLiteral("Arduino Uno"));
        });
        Form1& w = s->w();
        const QStringList folders =
            QDir(s->app->file(kBoards), QString(), QDir::Unsorted, QDir::Dirs | QDir::NoDotAndDotDot)
                .entryList();
        QCOMPARE(items(w.Combo2), QStringList{QStringLiteral("ESP32")} + folders);
        QCOMPARE(w.Combo2->currentIndex(), 0);
        // The stored board's libraries are listed at start-up, without a message or a write.
        QCOMPARE(sorted(items(w.List3)),
                 (QStringList{QStringLiteral("DHT11"), QStringLiteral("MyLocalLib")}));
        QVERIFY(s->platform.messages.isEmpty());
    }

    void noStoredBoard() {
        auto s = openWithHost(
            {}, [](const Window& s) { s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11")); });
        Form1& w = s->w();
        QCOMPARE(items(w.Combo2), (QStringList{QString(), QStringLiteral("ESP32")}));
        QCOMPARE(w.Combo2->currentText(), QString());
        QVERIFY(s->platform.messages.isEmpty());
        QCOMPARE(w.List3->count(), 0);

        const QByteArray before = s->app->configBytes();
        pick(w.Combo2, 0);
        QCOMPARE(s->platform.messages.size(), 1);
        QCOMPARE(s->platform.messages.first().text, kBoardRequired);
        QCOMPARE(s->platform.messages.first().title, kTitle);
        QCOMPARE(s->platform.messages.first().icon, Platform::Icon::Critical);
        QCOMPARE(s->app->configBytes(), before);
        QCOMPARE(w.List3->count(), 0);
    }

    void missingBoardsFolder() {
        auto s = openWithHost({QStringLiteral("Kuliebiao=Arduino Uno")});
        QCOMPARE(items(s->w().Combo2), QStringList{QStringLiteral("Arduino Uno")});
        QCOMPARE(s->w().List3->count(), 0);
        QVERIFY(s->platform.messages.isEmpty());
    }

    void boardWithoutLibraryRoot() {
        auto s = openWithHost({QStringLiteral("Kuliebiao=ESP32")}, [](const Window& s) {
            s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11"));
            s.mkdir(kBoards + QStringLiteral("Bare"));
        });
        Form1& w = s->w();
        QCOMPARE(w.List3->count(), 1);
        pick(w.Combo2, QStringLiteral("Bare"));
        QCOMPARE(w.List3->count(), 0);
        QCOMPARE(s->setting(keys::Board), QStringLiteral("Bare"));
        QVERIFY(s->platform.messages.isEmpty());
    }

    void boardNameWithSpaceAndChinese() {
        const QString board = QStringLiteral("掌控板 v2");
        auto s = openWithHost({}, [&](const Window& s) {
            s.addLibrary(board, QStringLiteral("RGB灯带"));
            s.addLibrary(board, QStringLiteral("OLED"));
        });
        Form1& w = s->w();
        pick(w.Combo2, board);
        QCOMPARE(sorted(items(w.List3)), (QStringList{QStringLiteral("OLED"), QStringLiteral("RGB灯带")}));
        QCOMPARE(s->setting(keys::Board), board);
        QVERIFY(s->app->configBytes().contains(gbk::encode(u"Kuliebiao=掌控板 v2\r\n")));
        QVERIFY(s->platform.messages.isEmpty());
    }

    void listBoardsNeedsValidPath() {
        auto s = openWithHost({QStringLiteral("Kuliebiao=ESP32")},
                              [](const Window& s) { s.mkdir(kBoards + "ESP32"); });
        Form1& w = s->w();
        w.Command17->setEnabled(false);
        w.Combo2->clear();
        w.Combo2->addItems({QStringLiteral("left"), QStringLiteral("alone")});
        w.Combo2->setCurrentIndex(1);
        w.ListBoards();
        QCOMPARE(items(w.Combo2), (QStringList{QStringLiteral("left"), QStringLiteral("alone")}));
        QCOMPARE(w.Combo2->currentIndex(), 1);
    }

    void refreshListsLibrariesAgain_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("menu") << "bendiku";
        QTest::newRow("hidden button") << "Command18";
    }
    void refreshListsLibrariesAgain() {
        QFETCH(QString, trigger);
        auto s = openWithHost({QStringLiteral("Kuliebiao=ESP32")}, [](const Window& s) {
            s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11"));
        });
        Form1& w = s->w();
        QCOMPARE(items(w.List3), QStringList{QStringLiteral("DHT11")});
        // The list keeps its rows after the disk changes, until refreshed.
        QVERIFY(QDir(s->app->file(kBoards + QStringLiteral("ESP32/libraries/ThirdParty/DHT11")))
                    .removeRecursively());
        s->addLibrary(QStringLiteral("ESP32"), QStringLiteral("AHT20"));
        QCOMPARE(items(w.List3), QStringList{QStringLiteral("DHT11")});
        if (trigger == QLatin1String("bendiku")) {
            w.bendiku->trigger();
        } else {
            w.Command18->click();
        }
        QCOMPARE(items(w.List3), QStringList{QStringLiteral("AHT20")});
    }

    void startUpWithStoredBoardWritesNothing() {
        // A hand-edited value keeps its quotes: start-up only reads.
        auto s = openWithHost({QStringLiteral("Kuliebiao=\"ESP32\"")}, [](const Window& s) {
            s.addLibrary(QStringLiteral("ESP32"), QStringLiteral("DHT11"));
        });
        const QByteArray before = s->app->configBytes();
        s->form.reset();
        s->form = std::make_unique<Form1>(s->app->context(&s->platform));
        s->form->startUp();
        QCOMPARE(items(s->w().List3), QStringList{QStringLiteral("DHT11")});
        QCOMPARE(s->app->configBytes(), before);
    }

    // ---- the demo installation ----

    void demoInstallation() {
        const QString source = qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/demo/host");
        QVERIFY2(QFileInfo::exists(source + QStringLiteral("/Quenra.exe")), qPrintable(source));
        auto s = open({});
        copyTree(source, s->app->file(QStringLiteral("demo")));
        const QString exe = s->app->file(QStringLiteral("demo/Quenra.exe"));
        QVERIFY(QFileInfo(exe).isExecutable());
        Form1& w = s->w();
        s->platform.fileAnswers << exe;
        QTest::mouseClick(w.Command16, Qt::LeftButton);

        QVERIFY(s->platform.messages.size() == 1); // no board stored yet: the board is asked for
        QCOMPARE(s->platform.messages.first().text, kBoardRequired);
        QCOMPARE(w.Frame4->title(), QStringLiteral("Quenra 3.0 rc0"));
        QCOMPARE(s->setting(keys::HostVersion), QStringLiteral("Quenra 3.0 rc0"));
        QCOMPARE(items(w.Combo2).first(), QString());
        const QString uno = QStringLiteral("Arduino Uno");
        const QString esp = QStringLiteral("ESP32");
        const QString zk = QStringLiteral("掌控板 v2");
        QCOMPARE(sorted(items(w.Combo2).mid(1)), (QStringList{uno, esp, zk}));

        const QList<QPair<QString, QStringList>> expected{
            {uno, {QStringLiteral("AHT20"), QStringLiteral("OLED")}},
            {esp, {QStringLiteral("DHT11"), QStringLiteral("MyLocalLib")}},
            {zk, {QStringLiteral("RGB灯带")}},
        };
        for (const auto& [board, libraries] : expected) {
            pick(w.Combo2, board);
            QCOMPARE(sorted(items(w.List3)), libraries);
            QCOMPARE(s->setting(keys::Board), board);
        }
        QTest::mouseClick(w.Command17, Qt::LeftButton);
        QCOMPARE(s->platform.started, QStringList{exe});
    }
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
