#include "AppWindow.h"
#include "settings/Settings.h"
#include "ui/SkinEngine.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QByteArray kTeal = "QWidget { background-color: #123456; }\n";
const QByteArray kRust = "QWidget { background-color: #654321; }\n";
const QColor kTealColour(0x12, 0x34, 0x56);
const QColor kRustColour(0x65, 0x43, 0x21);
const QString kFolderMissing = QStringLiteral("指定的文件夹不存在，请检查路径！");

// The program started on a fresh application folder holding `skins` in its skin folder.
// No server: the catalog fails at once.
struct Started : AppWindow {
    Started(const QStringList& config, const QMap<QString, QByteArray>& skins)
        : AppWindow(config + QStringList{QStringLiteral("fuwuqi=http://127.0.0.1:1/")}) {
        for (auto it = skins.cbegin(); it != skins.cend(); ++it) {
            app.writeFile(QStringLiteral("Dravonel/SkinH/") + it.key(), it.value());
        }
        restart();
    }
    void restart() {
        window.reset();
        platform.clear();
        start();
    }
    QString storedSkin() const { return Settings(app.folder()).read(QStringLiteral("pifu")); }
    // Clicks the entry of List4 with this text, as the user does.
    void choose(const QString& name) {
        auto* list = child<QListView>(*window, "List4");
        const int found = int(rows(list).indexOf(name));
        QVERIFY2(found >= 0, qPrintable(name));
        if (!child<QGroupBox>(*window, "Frame11")->isVisible()) {
            child<QAction>(*window, "pifu")->trigger();
        }
        const QModelIndex row = list->model()->index(found, 0);
        if (QByteArray(QTest::currentDataTag()).contains("Enter")) {
            // The arrow keys move to a skin without taking it; Enter takes it.
            list->setCurrentIndex(row);
            QVERIFY(child<QGroupBox>(*window, "Frame11")->isVisible());
            QTest::keyClick(list, Qt::Key_Return);
            return;
        }
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    }
    QStringList listed() const {
        QStringList names = rows(child<QListView>(*window, "List4"));
        names.sort();
        return names;
    }
};

// The colour of a widget's own background, taken from a corner no child covers.
QColor colourOf(QWidget* w) {
    return w->grab().toImage().pixelColor(2, 2);
}

} // namespace

class TestSkinWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { qApp->setStyleSheet(QString()); }

    // With nothing stored the bare skin folder is named: nothing shown, nothing changed.
    void firstStartShowsBaseLookAndNothingElse() {
        Started s({}, {});
        // The catalog's failure is the only message.
        QCOMPARE(s.platform.messageTexts(),
                 QStringList{QStringLiteral("库文件更新解析失败！请检查网络后重试！")});
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        QVERIFY(s.storedSkin().isEmpty());
    }

    // Every file, hidden ones too, but no sub-folder; read once per start.
    void listsEveryFileOncePerStart() {
        Started s({}, {{QStringLiteral("说明.txt"), "本文件夹存放皮肤。"},
                       {QStringLiteral("engine.dll"), QByteArray("MZ\x90\x00", 4)},
                       {QStringLiteral("暗夜.qss"), kTeal},
                       {QStringLiteral(".hidden"), kTeal},
                       {QStringLiteral("图片/check.png"), "x"},
                       {QStringLiteral("folder.qss/a.qss"), kTeal}});
        const QStringList expected{QStringLiteral(".hidden"), QStringLiteral("engine.dll"),
                                   QStringLiteral("暗夜.qss"), QStringLiteral("说明.txt")};
        QCOMPARE(s.listed(), expected);

        s.app.writeFile(QStringLiteral("Dravonel/SkinH/新.qss"), kRust);
        child<QAction>(*s.window, "pifu")->trigger();
        QCOMPARE(s.listed(), expected);
        s.restart();
        QVERIFY(s.listed().contains(QStringLiteral("新.qss")));
    }

    void missingSkinFolderIsReported_data() {
        QTest::addColumn<bool>("fileInItsPlace");
        QTest::newRow("removed") << false;
        QTest::newRow("a file in its place") << true;
    }
    void missingSkinFolderIsReported() {
        QFETCH(bool, fileInItsPlace);
        Started s({}, {});
        QVERIFY(QDir(s.app.file(QStringLiteral("Dravonel/SkinH"))).removeRecursively());
        if (fileInItsPlace) {
            s.app.writeFile(QStringLiteral("Dravonel/SkinH"), "x");
        }
        s.restart();
        const qsizetype i = s.platform.messageTexts().indexOf(kFolderMissing);
        QVERIFY(i >= 0);
        QCOMPARE(s.platform.messages.at(i).title, QStringLiteral("Quenra小助手"));
        QCOMPARE(s.platform.messages.at(i).icon, Platform::Icon::None);
        QCOMPARE(s.platform.messages.at(i).buttons, Platform::Buttons::Ok);
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        child<QAction>(*s.window, "pifu")->trigger();
        QVERIFY(child<QGroupBox>(*s.window, "Frame11")->isVisible());
        QCOMPARE(child<QListView>(*s.window, "List4")->model()->rowCount(), 0);
    }

    // Any entry is stored, closes the panel and says nothing; a usable skin shows at once and again at
    // the next start, anything else leaves the look as it was and gives the base look at the next start.
    void choosingStoresAndSurvivesRestart_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("usable");
        QTest::newRow("Chinese name") << "暗夜.qss" << kTeal << true;
        QTest::newRow("taken with Enter") << "键盘.qss" << kTeal << true;
        QTest::newRow("no extension") << "teal" << kTeal << true;
        QTest::newRow("unbalanced braces")
            << "broken.qss" << QByteArray("QWidget { background-color: #123456;") << false;
        QTest::newRow("binary") << "engine.dll" << QByteArray("MZ\x90\x00\x03\x00", 6) << false;
    }
    void choosingStoresAndSurvivesRestart() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, usable);
        Started s({QStringLiteral("pifu=rust.qss")}, {{QStringLiteral("rust.qss"), kRust}, {name, bytes}});
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")), kRustColour);
        const QString before = qApp->styleSheet();

        s.platform.clear();
        s.choose(name);
        QCOMPARE(s.storedSkin(), name);
        QVERIFY(!child<QGroupBox>(*s.window, "Frame11")->isVisible());
        QVERIFY(s.platform.messages.isEmpty());
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")), usable ? kTealColour : kRustColour);
        QVERIFY(usable || qApp->styleSheet() == before);

        s.restart();
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")),
                 usable ? kTealColour : QApplication::palette().color(QPalette::Window));
        QVERIFY(!s.platform.messageTexts().contains(kFolderMissing));
    }

    // Opened after a skin was chosen, the conversion window carries it and follows a later change.
    void conversionWindowCarriesSkinAndFollowsChange() {
        Started s({}, {{QStringLiteral("青.qss"), kTeal}, {QStringLiteral("锈.qss"), kRust}});
        s.choose(QStringLiteral("青.qss"));
        QTest::mouseClick(child<QPushButton>(*s.window, "Command25"), Qt::LeftButton);
        QWidget* conversion = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("Form2") && top->isVisible()) {
                conversion = top;
            }
        }
        QVERIFY(conversion);
        QCOMPARE(colourOf(conversion), kTealColour);

        s.choose(QStringLiteral("锈.qss"));
        QCOMPARE(colourOf(conversion), kRustColour);
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")), kRustColour);
        conversion->close();
    }

    // Regression: the path shown after a choice in the path-settings panel kept a fixed colour that
    // no skin could change (black on the dark skin).
    void chosenPathTakesSkinTextColour() {
        Started s(
            {QStringLiteral("pifu=night.qss")},
            {{QStringLiteral("night.qss"), "QLineEdit { color: #00ff00; background-color: #000000; }"}});
        QVERIFY(child<QGroupBox>(*s.window, "Frame9")->isVisible());
        s.platform.fileAnswers << QStringLiteral("/somewhere/else.exe");
        QTest::mouseClick(child<QPushButton>(*s.window, "Command5"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(*s.window, "Text1")->palette().color(QPalette::Text),
                 QColor(0x00, 0xff, 0x00));
    }
};

QTEST_MAIN(TestSkinWindow)
#include "tst_skinwindow.moc"
