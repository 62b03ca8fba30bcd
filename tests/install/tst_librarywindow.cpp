#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "app/Form1.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// Texts the user sees, spelled out so a changed constant shows up as a failure.
const QString kTitle = QStringLiteral("Quenra小助手");
const QString kNoBoard = QStringLiteral("请先选择对应板块后重试！！");
const QString kWrongXml = QStringLiteral("库文件选择错误，请选择库文件夹下的.xml文件！");
const QString kInstalled = QStringLiteral("安装成功");
const QString kOpenHost = QStringLiteral("是否打开Quenra？");

const QString kNoServer = QStringLiteral("fuwuqi=http://127.0.0.1:1/");
const QString kRoot = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty/");

const QString kCatalog =
    QStringLiteral("公告=欢迎\r\n"
                   "[AHT20]\r\n"
                   "库名=AHT20温湿度传感器\r\n作者=张三\r\n库版本=1.2\r\n适用板卡=Uno\r\n"
                   "更新日期=2024-03-01\r\n联系方式=QQ 1\r\n网址=https://e.example/aht20\r\n"
                   "库简介=温湿度\r\n"
                   "[NoName]\r\n作者=李四\r\n库版本=0.1\r\n");

QString readme(const QString& section, const QString& version) {
    return QStringLiteral("[") + section + QStringLiteral("]\r\n库名=") + section +
           QStringLiteral("\r\n库版本=") + version + QStringLiteral("\r\n");
}

struct Window {
    std::unique_ptr<TempAppFolder> app = std::make_unique<TempAppFolder>();
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    Form1& w() const { return *form; }
    QString exe() const { return app->file(QStringLiteral("host/Quenra.exe")); }
    QString root() const { return app->file(kRoot).chopped(1); }
    void writeReadme(const QString& library, const QString& text) const {
        app->writeGbk(kRoot + library + QStringLiteral("/readme.txt"), text);
    }
    void writeCatalog(const QString& text) const {
        app->writeGbk(QStringLiteral("Dravonel/ku/Ku.txt"), text);
    }
};

// A window whose host installation lies below the application folder, with board `board` stored and
// the catalog cache written; List2 holds AHT20 and NoName.
std::unique_ptr<Window> open(const QString& board = QStringLiteral("Uno"),
                             const std::function<void(const Window&)>& prepare = {}) {
    auto s = std::make_unique<Window>();
    s->app->writeConfig(
        {kNoServer, QStringLiteral("quenra=") + s->exe(), QStringLiteral("Kuliebiao=") + board});
    s->app->writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    QDir().mkpath(s->root());
    if (prepare) {
        prepare(*s);
    }
    s->form = std::make_unique<Form1>(s->app->context(&s->platform));
    s->form->startUp();
    s->form->show();
    s->writeCatalog(kCatalog);
    s->form->List2->clear();
    s->form->List2->addItems({QStringLiteral("AHT20"), QStringLiteral("NoName")});
    s->platform.clear();
    return s;
}

void click(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

// Which action buttons are shown: i install, r reinstall, u update, o the five open buttons.
QString shownButtons(const Form1& w) {
    QString s;
    if (w.Command13->isVisible()) {
        s += QLatin1Char('i');
    }
    if (w.Command6->isVisible()) {
        s += QLatin1Char('r');
    }
    if (w.Command19->isVisible()) {
        s += QLatin1Char('u');
    }
    const bool open = w.Command101->isVisible();
    for (const QPushButton* b : {w.Command102, w.Command200, w.Command201, w.Command202}) {
        if (b->isVisible() != open) {
            return QStringLiteral("open buttons disagree");
        }
    }
    if (open) {
        s += QLatin1Char('o');
    }
    return s;
}

QStringList lines(const Form1& w) {
    return w.Text11->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

class TestLibraryWindow final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void details_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("readmeText"); // empty: no description file
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QString>("firstLines"); // the first three lines, joined by "|"
        QTest::addColumn<QString>("buttons");
        QTest::newRow("current version") << "List2"
                                         << "AHT20" << readme("AHT20", "1.2") << "网络库信息" << 10
                                         << "库名：AHT20温湿度传感器|作者：张三|本地版本：1.2"
                                         << "ro";
        QTest::newRow("not installed")
            << "List2"
            << "AHT20"
            << ""
            << "网络库信息" << 9 << "库名：AHT20温湿度传感器|作者：张三|网络库版本：1.2"
            << "i";
        QTest::newRow("local only") << "List3"
                                    << "MyLocalLib" << readme("MyLocalLib", "0.1") << "本地库信息" << 8
                                    << "库名：MyLocalLib|作者：|网络库版本："
                                    << "o";
    }
    void details() {
        QFETCH(QString, list);
        QFETCH(QString, library);
        QFETCH(QString, readmeText);
        QFETCH(QString, caption);
        QFETCH(int, lineCount);
        QFETCH(QString, firstLines);
        QFETCH(QString, buttons);
        auto s = open(QStringLiteral("Uno"), [&](const Window& win) {
            QDir().mkpath(win.root() + QLatin1Char('/') + library);
            if (!readmeText.isEmpty()) {
                win.writeReadme(library, readmeText);
            }
        });
        Form1& w = s->w();
        if (list == QLatin1String("List3")) {
            w.Combo2_Click(); // lists the installed folders
            click(w.List3, library);
        } else {
            click(w.List2, library);
        }
        QCOMPARE(w.SelectedLibrary, library);
        QCOMPARE(w.Frame7->title(), caption);
        QVERIFY(w.Text11->isVisible());
        QCOMPARE(lines(w).size(), lineCount);
        QCOMPARE(lines(w).mid(0, 3).join(QLatin1Char('|')), firstLines);
        QCOMPARE(lines(w).at(lineCount - 2), QString());
        QCOMPARE(shownButtons(w), buttons);
        QVERIFY(s->platform.messages.isEmpty());
    }

    void installedCopyIgnoredWithoutBoardOrExactHostName_data() {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("hostFile");
        QTest::newRow("no board") << ""
                                  << "Quenra.exe";
        QTest::newRow("host file name in other case") << "Uno"
                                                      << "quenra.exe";
    }
    void installedCopyIgnoredWithoutBoardOrExactHostName() {
        QFETCH(QString, board);
        QFETCH(QString, hostFile);
        auto s = open(board, [](const Window& win) {
            win.writeReadme(QStringLiteral("AHT20"), readme("AHT20", "1.2"));
        });
        Form1& w = s->w();
        w.Text8->setText(s->app->file(QStringLiteral("host/")) + hostFile);
        s->platform.clear();
        click(w.List2, QStringLiteral("AHT20"));
        QCOMPARE(shownButtons(w), QStringLiteral("i"));
        QCOMPARE(lines(w).size(), 9);
    }

    void detailsReadAnewAtEveryClick() {
        auto s = open(QStringLiteral("Uno"), [](const Window& win) {
            win.writeReadme(QStringLiteral("AHT20"), readme("AHT20", "1.2"));
        });
        Form1& w = s->w();
        click(w.List2, QStringLiteral("AHT20"));
        QCOMPARE(shownButtons(w), QStringLiteral("ro"));

        // A hand edit of the description file shows at the next click.
        s->writeReadme(QStringLiteral("AHT20"), readme("AHT20", "1.1"));
        click(w.List2, QStringLiteral("NoName"));
        click(w.List2, QStringLiteral("AHT20"));
        QCOMPARE(shownButtons(w), QStringLiteral("uo"));

        // A mouse click on the row that is already selected reads the details again too.
        s->writeReadme(QStringLiteral("AHT20"), readme("AHT20", "1.2"));
        QListWidgetItem* item = w.List2->currentItem();
        QTest::mouseClick(w.List2->viewport(), Qt::LeftButton, {}, w.List2->visualItemRect(item).center());
        QCOMPARE(shownButtons(w), QStringLiteral("ro"));
    }

    void openButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("examples") << "Command101"
                                  << "AHT20/examples/";
        QTest::newRow("folder") << "Command102"
                                << "AHT20";
        QTest::newRow("xml") << "Command200"
                             << "AHT20/AHT20.xml";
        QTest::newRow("block") << "Command201"
                               << "AHT20/block/AHT20.js";
        QTest::newRow("generator") << "Command202"
                                   << "AHT20/generator/AHT20.js";
    }
    void openButtons() {
        QFETCH(QString, button);
        QFETCH(QString, suffix);
        auto s = open();
        Form1& w = s->w();
        click(w.List2, QStringLiteral("AHT20")); // not installed: the paths are opened all the same
        w.findChild<QPushButton*>(button)->click();
        QCOMPARE(s->platform.opened, QStringList{s->app->file(kRoot) + suffix});
        QVERIFY(s->platform.messages.isEmpty());
    }

    void libraryFolderButtonNeedsBoard() {
        auto s = open(QString());
        s->w().Command21->click();
        QCOMPARE(s->platform.messageTexts(), QStringList{kNoBoard});
        QCOMPARE(s->platform.messages.first().icon, Platform::Icon::Critical);
        QVERIFY(s->platform.opened.isEmpty());

        auto t = open();
        t->w().Command21->click();
        QCOMPARE(t->platform.opened, QStringList{t->root()});
    }

    void localInstallRefusals_data() {
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled at first use
        QTest::newRow("upper-case suffix") << "lib/bar/foo.XML";
        QTest::newRow("cancelled, no earlier choice") << "";
    }
    void localInstallRefusals() {
        QFETCH(QString, chosen);
        auto s = open();
        if (!chosen.isEmpty()) {
            s->platform.fileAnswers << s->app->file(chosen);
        }
        s->w().Command14->click();
        QCOMPARE(s->platform.fileDialogs.size(), 1);
        QCOMPARE(s->platform.fileDialogs.first().first, QStringLiteral("(*.xml)|*.xml"));
        QCOMPARE(s->platform.messageTexts(), QStringList{kWrongXml});
        QCOMPARE(s->platform.messages.first().icon, Platform::Icon::Critical);
    }

    void localInstallCopiesTheFolder() {
        auto s = open();
        s->app->writeFile(QStringLiteral("lib/bar/foo.xml"), "<xml/>");
        s->app->writeFile(QStringLiteral("lib/bar/block/bar.js"), "js");
        s->platform.fileAnswers << s->app->file(QStringLiteral("lib/bar/foo.xml"));
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok << Platform::Answer::Ok;
        Form1& w = s->w();
        w.Command14->click();
        QCOMPARE(w.Text18->text(), s->app->file(QStringLiteral("lib/bar/foo.xml")));
        QCOMPARE(
            s->platform.messageTexts(),
            (QStringList{QStringLiteral("是否确定将【foo】加入到【Uno】库中？"), kInstalled, kOpenHost}));
        const Platform::Message& question = s->platform.messages.first();
        QCOMPARE(question.icon, Platform::Icon::Question);
        QCOMPARE(question.buttons, Platform::Buttons::OkCancel);
        QCOMPARE(question.defaultButton, Platform::Answer::Cancel);
        QCOMPARE(question.title, kTitle);
        QCOMPARE(s->platform.messages.at(1).icon, Platform::Icon::None);
        QVERIFY(QFile::exists(s->root() + QStringLiteral("/bar/foo.xml")));
        QVERIFY(QFile::exists(s->root() + QStringLiteral("/bar/block/bar.js")));
        QVERIFY(!w.List3->findItems(QStringLiteral("bar"), Qt::MatchExactly).isEmpty());
        QCOMPARE(s->platform.started, QStringList{s->exe()});
    }

    void localInstallOfAnInstalledLibrarySucceeds() {
        auto s = open();
        s->writeReadme(QStringLiteral("bar"), readme("bar", "1"));
        s->app->writeFile(kRoot + QStringLiteral("bar/bar.xml"), "<xml/>");
        s->platform.fileAnswers << s->root() + QStringLiteral("/bar/bar.xml");
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok << Platform::Answer::Cancel;
        s->w().Command14->click();
        QCOMPARE(
            s->platform.messageTexts(),
            (QStringList{QStringLiteral("是否确定将【bar】加入到【Uno】库中？"), kInstalled, kOpenHost}));
        QVERIFY(s->platform.started.isEmpty());
        QCOMPARE(QDir(s->root() + QStringLiteral("/bar")).entryList(QDir::Files),
                 (QStringList{QStringLiteral("bar.xml"), QStringLiteral("readme.txt")}));
    }

    void localInstallCopyFailureIsReported() {
        auto s = open();
        s->app->writeFile(QStringLiteral("lib/bar/foo.xml"), "<xml/>");
        // A file stands where the library folder would go.
        s->app->writeFile(kRoot + QStringLiteral("bar"), "in the way");
        s->platform.fileAnswers << s->app->file(QStringLiteral("lib/bar/foo.xml"));
        s->platform.answers << Platform::Answer::Ok << Platform::Answer::Ok;
        s->w().Command14->click();
        QCOMPARE(s->platform.messages.size(), 2);
        QVERIFY(s->platform.messages.at(1).text.startsWith(QStringLiteral("库文件夹复制失败")));
        QCOMPARE(s->platform.messages.at(1).icon, Platform::Icon::Exclamation);
        QVERIFY(!s->platform.messageTexts().contains(kInstalled));
    }

    void localInstallCancelledCopiesNothing() {
        auto s = open();
        s->app->writeFile(QStringLiteral("lib/bar/foo.xml"), "<xml/>");
        s->platform.fileAnswers << s->app->file(QStringLiteral("lib/bar/foo.xml"));
        s->w().Command14->click(); // the question's default answer is Cancel
        QCOMPARE(s->platform.messages.size(), 1);
        QVERIFY(!QFileInfo::exists(s->root() + QStringLiteral("/bar")));
    }

    void installNeedsBoard() {
        auto s = open(QString());
        click(s->w().List2, QStringLiteral("AHT20"));
        for (QPushButton* b : {s->w().Command13, s->w().Command19, s->w().Command6}) {
            s->platform.clear();
            b->click();
            QCOMPARE(s->platform.messageTexts(), QStringList{kNoBoard});
            QCOMPARE(s->platform.messages.first().icon, Platform::Icon::Critical);
            QVERIFY(s->platform.progressLabels.isEmpty());
        }
        QVERIFY(QDir(s->app->file(QStringLiteral("Dravonel/ku/Wenjian"))).isEmpty());
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
