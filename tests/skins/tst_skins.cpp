#include "skins/SkinFolder.h"
#include "skins/StyleSheetCheck.h"
#include "ui/SkinEngine.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

class TestSkins final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void styleSheetShape_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<bool>("usable");
        QTest::newRow("selectors of every kind")
            << "QPushButton:hover, QComboBox::drop-down:!editable, *[tone=\"link\"], QWidget > QLabel#Label2 "
               "{ border: 1px solid #123; }"
            << true;
        QTest::newRow("functions, no final semicolon")
            << "QPushButton { background: qlineargradient(x1: 0, stop: 0 #fff); image: url(:/a.xpm) }"
            << true;
        QTest::newRow("charset, comments, strings, empty block")
            << "@charset \"UTF-8\"; /* 经典 */ QLabel /* x */ { font-family: \"a{b\"; } QFrame { }" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("unclosed block") << "QLabel { color: red;" << false;
        QTest::newRow("no selector") << "{ color: red; }" << false;
        QTest::newRow("declaration without colon") << "QLabel { color red; }" << false;
        QTest::newRow("declaration without value") << "QLabel { color: ; }" << false;
        QTest::newRow("text after the last rule") << "QLabel { color: red; } trailing" << false;
        QTest::newRow("unclosed comment") << "QLabel { color: red; } /* cut" << false;
        QTest::newRow("unclosed string") << "QLabel { font-family: \"Sim; }" << false;
        QTest::newRow("unbalanced parenthesis") << "QLabel { background: qlineargradient(x1: 0; }" << false;
        QTest::newRow("at-rule with a block") << "@media screen { QLabel { color: red; } }" << false;
        // Inside a comment, where nothing else refuses them.
        QTest::newRow("control byte") << QString::fromLatin1("QLabel { color: red; } /* \x01 */") << false;
        QTest::newRow("DEL") << QString::fromLatin1("QLabel { color: red; } /* \x7f */") << false;
    }
    void styleSheetShape() {
        QFETCH(QString, sheet);
        QFETCH(bool, usable);
        QCOMPARE(isUsableStyleSheet(sheet), usable);
    }

    // The lists are list views: a skin's QListWidget type selector names QListView, nothing else does.
    void listSelectors_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("applied");
        QTest::newRow("type, name, sub-control")
            << "QListWidget#List2, QListWidget::item:selected { color: red; }"
            << "QListView#List2, QListView::item:selected { color: red; }";
        QTest::newRow("comment and string kept")
            << "/* QListWidget */ QLabel { font-family: \"QListWidget\"; }"
            << "/* QListWidget */ QLabel { font-family: \"QListWidget\"; }";
        QTest::newRow("longer names kept") << "QListWidgetX, MyQListWidget { }"
                                           << "QListWidgetX, MyQListWidget { }";
    }
    void listSelectors() {
        QFETCH(QString, sheet);
        QFETCH(QString, applied);
        QCOMPARE(forListViews(sheet), applied);
    }

    // A file read as a skin: UTF-8 without its byte-order mark, or nothing.
    void loadSkinFile_data() {
        QTest::addColumn<QByteArray>("bytes"); // "<folder>": the bare skin folder; "<pipe>": a FIFO
        QTest::addColumn<QString>("expected"); // null: refused
        const QByteArray sheet = "QLabel { color: red; }\n";
        QTest::newRow("UTF-8") << QByteArray("/* 暗夜 */ ") + sheet
                               << QStringLiteral("/* 暗夜 */ QLabel { color: red; }\n");
        QTest::newRow("byte-order mark dropped")
            << QByteArray("\xEF\xBB\xBF") + sheet << QString::fromUtf8(sheet);
        QTest::newRow("invalid UTF-8") << QByteArray("/* \xB0\xB5\xD2\xB9 */ ") + sheet << QString();
        QTest::newRow("too large") << sheet.repeated(MaxSkinFileBytes / sheet.size() + 1) << QString();
        QTest::newRow("missing") << QByteArray() << QString();
        // The bare skin folder is what a start with no stored skin names; a pipe must not hang.
        QTest::newRow("folder") << QByteArray("<folder>") << QString();
        QTest::newRow("pipe") << QByteArray("<pipe>") << QString();
    }
    void loadSkinFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("skin.qss"));
        QFile f(path);
        if (bytes == "<folder>") {
            path = dir.path() + QLatin1Char('/');
        } else if (bytes == "<pipe>") {
#ifdef Q_OS_WIN
            QSKIP("Windows has no named pipe in the file system");
#else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        } else if (!bytes.isEmpty()) {
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
            f.close();
        }
        QCOMPARE(::loadSkinFile(path), expected.isNull() ? std::nullopt : std::optional(expected));
    }

    // Every shipped skin loads, and every glyph it names is there.
    void shippedSkins() {
        SkinH_Attach(); // makes the glyphs available
        const QString folder =
            qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/data/Dravonel/SkinH/");
        const SkinFolderListing listing = listSkinFolder(folder);
        QVERIFY(listing.fileNames.size() >= 4);
        static const QRegularExpression url(QStringLiteral(R"(url\((:/[^)]+)\))"));
        int glyphs = 0;
        for (const QString& name : listing.fileNames) {
            const std::optional<QString> text = ::loadSkinFile(folder + name);
            QVERIFY2(text, qPrintable(name));
            for (const QRegularExpressionMatch& m : url.globalMatch(*text)) {
                QVERIFY2(!QImage(m.captured(1)).isNull(),
                         qPrintable(name + QLatin1Char(' ') + m.captured(1)));
                ++glyphs;
            }
        }
        QVERIFY(glyphs > 0);
    }
};

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
