#include "AppWindow.h"
#include "settings/Settings.h"
#include "ui/SkinEngine.h"

#include <QImage>

namespace {

const QByteArray kTeal = "QWidget { background-color: #123456; }\n";
const QByteArray kRust = "QWidget { background-color: #654321; }\n";
const QColor kTealColour(0x12, 0x34, 0x56);
const QColor kRustColour(0x65, 0x43, 0x21);
const QString kFolderMissing = QStringLiteral("指定的文件夹不存在，请检查路径！");

// The program started with `skins` in its skin folder and no server.
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
    // Takes a skin from List4 with a click or, in a row tagged "Enter", the arrow keys, then Enter.
    void choose(const QString& name) const {
        auto* list = child<QListView>(*window, "List4");
        if (!child<QGroupBox>(*window, "Frame11")->isVisible()) {
            press(*window, "pifu");
        }
        if (QByteArray(QTest::currentDataTag()).contains("Enter")) {
            list->setCurrentIndex(rowOf(list, name));
            QVERIFY(child<QGroupBox>(*window, "Frame11")->isVisible());
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            clickRow(list, name);
        }
    }
    QStringList listed() const { return rows(child<QListView>(*window, "List4")); }
};

// The colour of a widget's own background, taken from a corner no child covers.
QColor colourOf(QWidget* w) {
    return w->grab().toImage().pixelColor(2, 2);
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

class TestSkinWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { qApp->setStyleSheet(QString()); }

    // With nothing stored, nothing is shown or changed; List4 holds every file, read once per start.
    void skinFolderListing() {
        Started s({}, {{QStringLiteral("说明.txt"), "本文件夹存放皮肤。"},
                       {QStringLiteral("engine.dll"), QByteArray("MZ\x90\x00", 4)},
                       {QStringLiteral(".hidden"), kTeal},
                       {QStringLiteral("图片/check.png"), "x"},
                       {QStringLiteral("folder.qss/a.qss"), kTeal}});
        QCOMPARE(s.platform.messageTexts(),
                 QStringList{QStringLiteral("库文件更新解析失败！请检查网络后重试！")});
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
        QVERIFY(s.storedSkin().isEmpty());
        const QStringList expected{QStringLiteral(".hidden"), QStringLiteral("engine.dll"),
                                   QStringLiteral("说明.txt")};
        QCOMPARE(sorted(s.listed()), expected);
        s.app.writeFile(QStringLiteral("Dravonel/SkinH/新.qss"), kRust);
        press(*s.window, "pifu");
        QCOMPARE(sorted(s.listed()), expected);
        s.restart();
        QVERIFY(s.listed().contains(QStringLiteral("新.qss")));

        // A file where the skin folder should be counts as a missing folder.
        QVERIFY(QDir(s.app.file(QStringLiteral("Dravonel/SkinH"))).removeRecursively());
        s.app.writeFile(QStringLiteral("Dravonel/SkinH"), "x");
        s.restart();
        const qsizetype i = s.platform.messageTexts().indexOf(kFolderMissing);
        QVERIFY(i >= 0);
        QCOMPARE(s.platform.messages.at(i).icon, Platform::Icon::None);
        press(*s.window, "pifu");
        QVERIFY(child<QGroupBox>(*s.window, "Frame11")->isVisible());
        QCOMPARE(s.listed(), QStringList());
    }

    // Any entry is stored and closes the panel; a usable skin shows at once (in the conversion window
    // too) and at the next start, anything else leaves the look and gives the base one at restart.
    void choosingStoresAndSurvivesRestart_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("usable");
        QTest::newRow("Chinese name") << "暗夜.qss" << kTeal << true;
        QTest::newRow("taken with Enter") << "键盘.qss" << kTeal << true;
        QTest::newRow("binary") << "engine.dll" << QByteArray("MZ\x90\x00\x03\x00", 6) << false;
    }
    void choosingStoresAndSurvivesRestart() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, usable);
        Started s({QStringLiteral("pifu=rust.qss")}, {{QStringLiteral("rust.qss"), kRust}, {name, bytes}});
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")), kRustColour);
        const QString before = qApp->styleSheet();

        press(*s.window, "Command25"); // the conversion window follows the change
        QTRY_VERIFY(QApplication::activeWindow() && QApplication::activeWindow()->objectName() == "Form2");
        QWidget* conversion = QApplication::activeWindow();
        s.platform.clear();
        s.choose(name);
        QCOMPARE(s.storedSkin(), name);
        QVERIFY(!child<QGroupBox>(*s.window, "Frame11")->isVisible());
        QVERIFY(s.platform.messages.isEmpty());
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")), usable ? kTealColour : kRustColour);
        QVERIFY(usable || qApp->styleSheet() == before);
        QCOMPARE(colourOf(conversion), colourOf(child<QWidget>(*s.window, "client")));
        conversion->close();

        s.restart();
        QCOMPARE(colourOf(child<QWidget>(*s.window, "client")),
                 usable ? kTealColour : QApplication::palette().color(QPalette::Window));
        QVERIFY(!s.platform.messageTexts().contains(kFolderMissing));
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
