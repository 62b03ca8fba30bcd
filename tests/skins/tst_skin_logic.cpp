#include "skins/SkinFolder.h"
#include "skins/StyleSheetCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestSkinLogic final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void styleSheetShape_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<bool>("usable");

        QTest::newRow("one rule") << "QPushButton { color: red; }" << true;
        QTest::newRow("last declaration without semicolon") << "QLabel { color: red }" << true;
        QTest::newRow("empty block") << "QLabel { }" << true;
        QTest::newRow("selector list, states, sub-controls")
            << "QPushButton:hover, QComboBox::drop-down:!editable { border: 1px solid #123; }" << true;
        QTest::newRow("attribute and id selectors")
            << "*[tone=\"link\"] { color: blue; } QLabel#Label2 { color: red; }" << true;
        QTest::newRow("descendant and child selectors")
            << "QComboBox QAbstractItemView { color: red; } QWidget > QLabel { color: blue; }" << true;
        QTest::newRow("gradient with commas and colons")
            << "QPushButton { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #fff, stop: 1 "
               "#ddd); }"
            << true;
        QTest::newRow("resource url with colon")
            << "QCheckBox::indicator { image: url(:/skinh/a.xpm); }" << true;
        QTest::newRow("comments anywhere")
            << "/* 经典 */ QLabel /* x */ { /* y */ color: red; /* z */ }" << true;
        QTest::newRow("brace inside a quoted value") << "QLabel { font-family: \"a{b\"; }" << true;
        QTest::newRow("charset statement") << "@charset \"UTF-8\"; QLabel { color: red; }" << true;
        QTest::newRow("Chinese in comments and values")
            << "/* 暗夜 */ QLabel { font-family: \"宋体\"; }" << true;

        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << " \r\n\t " << false;
        QTest::newRow("comment only") << "/* nothing */" << false;
        QTest::newRow("unclosed block") << "QLabel { color: red;" << false;
        QTest::newRow("stray closing brace") << "QLabel { color: red; } }" << false;
        QTest::newRow("closing brace first") << "} QLabel { color: red; }" << false;
        QTest::newRow("nested block") << "QLabel { QPushButton { color: red; } }" << false;
        QTest::newRow("no selector") << "{ color: red; }" << false;
        QTest::newRow("empty selector in list") << "QLabel, { color: red; }" << false;
        QTest::newRow("declaration without colon") << "QLabel { color red; }" << false;
        QTest::newRow("declaration without value") << "QLabel { color: ; }" << false;
        QTest::newRow("bad property name") << "QLabel { 1color: red; }" << false;
        QTest::newRow("text after the last rule") << "QLabel { color: red; } trailing" << false;
        QTest::newRow("declarations outside a block") << "color: red;" << false;
        QTest::newRow("unclosed comment") << "QLabel { color: red; } /* cut" << false;
        QTest::newRow("unclosed string") << "QLabel { font-family: \"Sim; }" << false;
        QTest::newRow("unbalanced parenthesis") << "QLabel { background: qlineargradient(x1: 0; }" << false;
        QTest::newRow("at-rule with a block") << "@media screen { QLabel { color: red; } }" << false;
        QTest::newRow("binary junk") << QString::fromLatin1("QLabel { color: red; }\x01\x02\x7f", 25)
                                     << false;
        QTest::newRow("NUL byte") << QString(QStringLiteral("QLabel { color: red; }") + QChar(0)) << false;
        QTest::newRow("plain text") << "这是一个说明文件，不是皮肤。" << false;
    }
    void styleSheetShape() {
        QFETCH(QString, sheet);
        QFETCH(bool, usable);
        QCOMPARE(isUsableStyleSheet(sheet), usable);
    }

    void loadSkinFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // null: not loaded
        const QByteArray sheet = "QLabel { color: red; }\n";
        QTest::newRow("UTF-8 sheet") << QByteArray("/* 暗夜 */ ") + sheet
                                     << QStringLiteral("/* 暗夜 */ QLabel { color: red; }\n");
        QTest::newRow("byte-order mark dropped")
            << QByteArray("\xEF\xBB\xBF") + sheet << QString::fromUtf8(sheet);
        QTest::newRow("invalid UTF-8") << QByteArray("/* \xB0\xB5\xD2\xB9 */ ") + sheet << QString();
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("zip signature") << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8) << QString();
    }
    void loadSkinFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("skin.qss"));
        writeBytes(path, bytes);
        const std::optional<QString> loaded = ::loadSkinFile(path);
        QCOMPARE(loaded.has_value(), !expected.isNull());
        if (loaded) {
            QCOMPARE(*loaded, expected);
        }
    }

    void loadSkinFileRefusesWhatIsNoFile() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QVERIFY(!::loadSkinFile(folder)); // the skin folder itself, as a first start names it
        QVERIFY(!::loadSkinFile(dir.filePath(QStringLiteral("missing.qss"))));
        QVERIFY(!::loadSkinFile(QString()));
        QDir(dir.path()).mkdir(QStringLiteral("folder.qss"));
        QVERIFY(!::loadSkinFile(dir.filePath(QStringLiteral("folder.qss"))));
    }

    void loadSkinFileRefusesHugeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("huge.qss"));
        QByteArray sheet;
        const QByteArray rule = "QLabel { color: red; }\n";
        while (sheet.size() <= MaxSkinFileBytes) {
            sheet += rule;
        }
        writeBytes(path, sheet);
        QVERIFY(!::loadSkinFile(path));
    }

#if defined(Q_OS_UNIX)
    // A pipe in the skin folder is listed like any other entry; choosing it must not hang the program.
    void loadSkinFileDoesNotBlockOnPipe() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pipe.qss"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QVERIFY(!::loadSkinFile(path));
    }
#endif

    void listsFilesNotFolders() {
        QTemporaryDir dir;
        QDir root(dir.path());
        writeBytes(root.filePath(QStringLiteral("说明.txt")), "not a skin");
        writeBytes(root.filePath(QStringLiteral("engine.dll")), QByteArray("MZ\x90\x00", 4));
        writeBytes(root.filePath(QStringLiteral("暗夜.qss")), "QLabel { color: red; }");
        writeBytes(root.filePath(QStringLiteral("noextension")), "");
        writeBytes(root.filePath(QStringLiteral(".hidden.qss")), "QLabel { color: red; }");
        root.mkdir(QStringLiteral("images"));
        root.mkdir(QStringLiteral("folder.qss"));
        writeBytes(root.filePath(QStringLiteral("images/inside.qss")), "QLabel { color: red; }");

        const SkinFolderListing listing = listSkinFolder(dir.path() + QLatin1Char('/'));
        QVERIFY(listing.folderExists);
        QStringList names = listing.fileNames;
        names.sort();
        QStringList expected{QStringLiteral(".hidden.qss"), QStringLiteral("engine.dll"),
                             QStringLiteral("noextension"), QStringLiteral("暗夜.qss"),
                             QStringLiteral("说明.txt")};
        expected.sort();
        QCOMPARE(names, expected);
    }

    void missingFolder() {
        QTemporaryDir dir;
        const SkinFolderListing missing = listSkinFolder(dir.filePath(QStringLiteral("SkinH/")));
        QVERIFY(!missing.folderExists);
        QVERIFY(missing.fileNames.isEmpty());

        // A file where the folder should be is no folder either.
        writeBytes(dir.filePath(QStringLiteral("SkinH")), "x");
        QVERIFY(!listSkinFolder(dir.filePath(QStringLiteral("SkinH"))).folderExists);
    }

    void emptyFolder() {
        QTemporaryDir dir;
        const SkinFolderListing listing = listSkinFolder(dir.path());
        QVERIFY(listing.folderExists);
        QVERIFY(listing.fileNames.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSkinLogic)
#include "tst_skin_logic.moc"
