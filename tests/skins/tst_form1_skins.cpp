#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "app/Form1.h"
#include "settings/Settings.h"
#include "skins/SkinEngine.h"
#include "skins/SkinStrings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// Nothing listens on port 1: the start-up catalog download fails at once.
const QString kNoServer = QStringLiteral("fuwuqi=http://127.0.0.1:1/");

const QByteArray kTeal = "QWidget { background-color: #123456; }\n";
const QByteArray kRust = "QWidget { background-color: #654321; }\n";
const QColor kTealColour(0x12, 0x34, 0x56);
const QColor kRustColour(0x65, 0x43, 0x21);

struct Started {
    std::unique_ptr<TempAppFolder> app;
    FakePlatform platform;
    std::unique_ptr<Form1> window;

    // A new start of the program on the same application folder.
    void restart() {
        window.reset();
        platform.clear();
        window = std::make_unique<Form1>(app->context(&platform));
        window->startUp();
        window->show();
    }
    QString storedSkin() const { return Settings(app->folder()).read(QStringLiteral("pifu")); }
};

std::unique_ptr<Started> start(QStringList config, const QMap<QString, QByteArray>& skinFolder = {}) {
    config << kNoServer;
    auto s = std::make_unique<Started>();
    s->app = std::make_unique<TempAppFolder>(config);
    for (auto it = skinFolder.cbegin(); it != skinFolder.cend(); ++it) {
        s->app->writeFile(QStringLiteral("Dravonel/SkinH/") + it.key(), it.value());
    }
    s->window = std::make_unique<Form1>(s->app->context(&s->platform));
    s->window->startUp();
    s->window->show();
    return s;
}

// The colour of a widget's own background, taken from a corner no child covers.
QColor colourOf(QWidget* w) {
    return w->grab().toImage().pixelColor(2, 2);
}

// Clicks the entry of List4 with this text, as the user does.
void chooseSkin(Form1& w, const QString& name) {
    const QList<QListWidgetItem*> found = w.List4->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    if (!w.Frame11->isVisible()) {
        w.pifu->trigger();
    }
    QVERIFY(w.Frame11->isVisible());
    const QRect r = w.List4->visualItemRect(found.first());
    QTest::mouseClick(w.List4->viewport(), Qt::LeftButton, {}, r.center());
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

QStringList listed(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        names << list->item(i)->text();
    }
    return names;
}

} // namespace

class TestForm1Skins final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void firstStartShowsBaseLookAndNoMessage() {
        auto s = start({QStringLiteral("banben=1.03")});
        QVERIFY(s->storedSkin().isEmpty());
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        QVERIFY(!s->platform.messageTexts().contains(skinstr::FolderMissing));

        // Applying the stored (empty) choice names the bare skin folder: still nothing shown or changed.
        s->platform.clear();
        s->window->ApplySkin();
        QVERIFY(s->platform.messages.isEmpty());
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        QVERIFY(s->storedSkin().isEmpty());
    }

    void listsEveryFileButNoSubFolder() {
        auto s = start({}, {{QStringLiteral("说明.txt"), "本文件夹存放皮肤。"},
                            {QStringLiteral("engine.dll"), QByteArray("MZ\x90\x00", 4)},
                            {QStringLiteral("暗夜.qss"), kTeal},
                            {QStringLiteral("图片/check.png"), "x"}});
        QCOMPARE(
            sorted(listed(s->window->List4)),
            sorted({QStringLiteral("说明.txt"), QStringLiteral("engine.dll"), QStringLiteral("暗夜.qss")}));
    }

    void missingSkinFolderIsReported() {
        TempAppFolder app({kNoServer});
        QVERIFY(QDir(app.file(QStringLiteral("Dravonel/SkinH"))).removeRecursively());
        FakePlatform platform;
        Form1 w(app.context(&platform));
        w.startUp();
        w.show();

        const auto it =
            std::find_if(platform.messages.cbegin(), platform.messages.cend(),
                         [](const Platform::Message& m) { return m.text == skinstr::FolderMissing; });
        QVERIFY(it != platform.messages.cend());
        QCOMPARE(it->title, QStringLiteral("Quenra小助手"));
        QCOMPARE(it->icon, Platform::Icon::None);
        QCOMPARE(it->buttons, Platform::Buttons::Ok);
        QCOMPARE(w.List4->count(), 0);
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());

        // The panel still opens, empty.
        w.pifu->trigger();
        QVERIFY(w.Frame11->isVisible());
    }

    void choosingStoresAppliesAndSurvivesRestart_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Chinese name") << QStringLiteral("暗夜.qss");
        QTest::newRow("blanks in the name") << QStringLiteral("my skin.qss");
        QTest::newRow("no extension") << QStringLiteral("teal");
    }
    void choosingStoresAppliesAndSurvivesRestart() {
        QFETCH(QString, name);
        auto s = start({}, {{name, kTeal}, {QStringLiteral("other.qss"), kRust}});
        Form1& w = *s->window;
        QCOMPARE(colourOf(w.client), QColor(QApplication::palette().color(QPalette::Window)));

        chooseSkin(w, name);
        QCOMPARE(s->storedSkin(), name);
        QVERIFY(!w.Frame11->isVisible());
        QCOMPARE(colourOf(w.client), kTealColour);

        s->restart();
        QCOMPARE(colourOf(s->window->client), kTealColour);
        QCOMPARE(s->storedSkin(), name);
    }

    // The conversion window is opened after the skin was chosen; it is drawn with the skin and
    // follows a later change at once, like the main window.
    void conversionWindowCarriesSkinAndFollowsChange() {
        auto s = start({}, {{QStringLiteral("青.qss"), kTeal}, {QStringLiteral("锈.qss"), kRust}});
        Form1& w = *s->window;
        chooseSkin(w, QStringLiteral("青.qss"));
        QTest::mouseClick(w.Command25, Qt::LeftButton);
        QWidget* conversion = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("Form2") && top->isVisible()) {
                conversion = top;
            }
        }
        QVERIFY(conversion);
        QCOMPARE(colourOf(conversion), kTealColour);

        chooseSkin(w, QStringLiteral("锈.qss"));
        QCOMPARE(colourOf(conversion), kRustColour);
        QCOMPARE(colourOf(w.client), kRustColour);
        conversion->close();
    }

    // The path shown after a choice in the path-settings panel is drawn in the skin's text colour.
    void chosenPathTakesSkinTextColour() {
        auto s = start(
            {QStringLiteral("pifu=night.qss")},
            {{QStringLiteral("night.qss"), "QLineEdit { color: #00ff00; background-color: #000000; }"}});
        Form1& w = *s->window;
        QVERIFY(w.Frame9->isVisible());
        s->platform.fileAnswers << QStringLiteral("/somewhere/else.exe");
        QTest::mouseClick(w.Command5, Qt::LeftButton);
        const QImage text = w.Text1->grab().toImage();
        bool green = false;
        for (int y = 0; y < text.height() && !green; ++y) {
            for (int x = 0; x < text.width() && !green; ++x) {
                const QColor c = text.pixelColor(x, y);
                green = c.green() > 160 && c.red() < 80 && c.blue() < 80;
            }
        }
        QVERIFY(green);
    }

    void brokenSkinLeavesLook_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("unbalanced braces")
            << QStringLiteral("broken.qss") << QByteArray("QWidget { background-color: #654321;");
        QTest::newRow("empty") << QStringLiteral("empty.qss") << QByteArray();
        QTest::newRow("binary") << QStringLiteral("engine.dll") << QByteArray("MZ\x90\x00\x03\x00", 6);
        QTest::newRow("text") << QStringLiteral("说明.txt") << QByteArray("皮肤说明");
    }
    void brokenSkinLeavesLook() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        auto s =
            start({QStringLiteral("pifu=good.qss")}, {{QStringLiteral("good.qss"), kTeal}, {name, bytes}});
        Form1& w = *s->window;
        const QString before = qApp->styleSheet();
        QCOMPARE(colourOf(w.client), kTealColour);

        s->platform.clear();
        chooseSkin(w, name);
        // Stored like any other name, the panel closes, nothing is said and the look stays.
        QCOMPARE(s->storedSkin(), name);
        QVERIFY(!w.Frame11->isVisible());
        QVERIFY(s->platform.messages.isEmpty());
        QCOMPARE(qApp->styleSheet(), before);
        QCOMPARE(colourOf(w.client), kTealColour);

        // At the next start the stored name is no skin: the base look, nothing said.
        s->restart();
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        QVERIFY(!s->platform.messageTexts().contains(skinstr::FolderMissing));
    }

    void storedSkinThatIsGoneGivesBaseLook() {
        auto s = start({QStringLiteral("pifu=gone.qss")});
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        QCOMPARE(s->storedSkin(), QStringLiteral("gone.qss"));
    }

    void openingSkinPanelHidesOtherPanels_data() {
        QTest::addColumn<QString>("panel");
        QTest::newRow("about") << "Frame8";
        QTest::newRow("donation") << "Frame15";
        QTest::newRow("examples") << "Frame14";
        QTest::newRow("recommended sites") << "Frame13";
    }
    void openingSkinPanelHidesOtherPanels() {
        QFETCH(QString, panel);
        auto s = start({});
        Form1& w = *s->window;
        auto* other = w.findChild<QGroupBox*>(panel);
        QVERIFY(other);
        w.toggleOverlay(other);
        QVERIFY(other->isVisible());

        w.pifu->trigger();
        QVERIFY(w.Frame11->isVisible());
        QVERIFY(!other->isVisible());

        // The menu item again, or the close button, closes it.
        w.pifu->trigger();
        QVERIFY(!w.Frame11->isVisible());
        w.pifu->trigger();
        QTest::mouseClick(w.Command24, Qt::LeftButton);
        QVERIFY(!w.Frame11->isVisible());
    }

    // Start-up reads the skin folder once; a file added later shows at the next start.
    void listIsFilledOncePerStart() {
        auto s = start({}, {{QStringLiteral("a.qss"), kTeal}});
        s->app->writeFile(QStringLiteral("Dravonel/SkinH/b.qss"), kRust);
        s->window->pifu->trigger();
        QCOMPARE(listed(s->window->List4), QStringList{QStringLiteral("a.qss")});
        s->restart();
        QCOMPARE(sorted(listed(s->window->List4)),
                 sorted({QStringLiteral("a.qss"), QStringLiteral("b.qss")}));
    }
};

QTEST_MAIN(TestForm1Skins)
#include "tst_form1_skins.moc"
