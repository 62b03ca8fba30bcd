#include "skins/SkinEngine.h"
#include "skins/SkinFolder.h"
#include "skins/StyleSheetCheck.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

QString writeSkin(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
    return path;
}

QString shippedSkinFolder() {
    return qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/data/Dravonel/SkinH/");
}

// The colour a fresh top-level window is drawn with, in its middle.
QColor windowColour() {
    QWidget w;
    w.resize(40, 40);
    w.show();
    return w.grab().toImage().pixelColor(20, 20);
}

} // namespace

class TestSkinEngine final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qApp->setStyleSheet(QString()); }
    void cleanupTestCase() { qApp->setStyleSheet(QString()); }

    void attachSetsBaseLook() {
        QVERIFY(isUsableStyleSheet(baseStyleSheet()));
        QVERIFY(SkinH_Attach());
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
    }

    void attachExAppliesAndReplaces() {
        QTemporaryDir dir;
        const QString teal =
            writeSkin(dir, QStringLiteral("青.qss"), "QWidget { background-color: #123456; }");
        const QString rust =
            writeSkin(dir, QStringLiteral("锈.qss"), "QWidget { background-color: #654321; }");
        SkinH_Attach();
        QVERIFY(SkinH_AttachEx(teal, QString()));
        QCOMPARE(windowColour(), QColor(0x12, 0x34, 0x56));

        // A window that is already open takes the next skin at once.
        QWidget open;
        open.resize(40, 40);
        open.show();
        QVERIFY(SkinH_AttachEx(rust, QString()));
        QCOMPARE(open.grab().toImage().pixelColor(20, 20), QColor(0x65, 0x43, 0x21));
        QVERIFY(qApp->styleSheet().startsWith(baseStyleSheet()));

        // Getting ready again drops the skin.
        SkinH_Attach();
        QCOMPARE(qApp->styleSheet(), baseStyleSheet());
    }

    void unusableSkinLeavesLook_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty name with no bytes: the folder itself
        QTest::newRow("skin folder itself") << QString() << QByteArray();
        QTest::newRow("missing file") << QStringLiteral("missing.qss") << QByteArray();
        QTest::newRow("unbalanced braces")
            << QStringLiteral("broken.qss") << QByteArray("QWidget { background-color: #654321; ");
        QTest::newRow("empty file") << QStringLiteral("empty.qss") << QByteArray("");
        QTest::newRow("binary") << QStringLiteral("engine.dll")
                                << QByteArray("MZ\x90\x00\x03\x00\x00\x00", 8);
        QTest::newRow("text file") << QStringLiteral("说明.txt") << QByteArray("本文件夹存放皮肤文件。");
    }
    void unusableSkinLeavesLook() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString good =
            writeSkin(dir, QStringLiteral("good.qss"), "QWidget { background-color: #123456; }");
        if (!name.isEmpty() && name != QStringLiteral("missing.qss")) {
            writeSkin(dir, name, bytes);
        }
        SkinH_Attach();
        SkinH_AttachEx(good, QString());
        const QString before = qApp->styleSheet();

        QVERIFY(!SkinH_AttachEx(dir.path() + QLatin1Char('/') + name, QString()));
        QCOMPARE(qApp->styleSheet(), before);
        QCOMPARE(windowColour(), QColor(0x12, 0x34, 0x56));
    }

    // Every skin shipped in the working-folder template is a usable style sheet the engine takes.
    void shippedSkinsAreAccepted() {
        const SkinFolderListing listing = listSkinFolder(shippedSkinFolder());
        QVERIFY2(listing.folderExists, qPrintable(shippedSkinFolder()));
        QVERIFY(listing.fileNames.size() >= 4);
        for (const QString& name : listing.fileNames) {
            const QString path = shippedSkinFolder() + name;
            const std::optional<QString> text = loadSkinFile(path);
            QVERIFY2(text, qPrintable(name));
            SkinH_Attach();
            QVERIFY2(SkinH_AttachEx(path, QString()), qPrintable(name));
            QCOMPARE(qApp->styleSheet(), baseStyleSheet() + QLatin1Char('\n') + *text);
        }
    }

    // The glyphs the shipped skins name are there.
    void shippedSkinGlyphsExist() {
        SkinH_Attach();
        const SkinFolderListing listing = listSkinFolder(shippedSkinFolder());
        static const QRegularExpression url(QStringLiteral(R"(url\((:/[^)]+)\))"));
        int seen = 0;
        for (const QString& name : listing.fileNames) {
            const std::optional<QString> text = loadSkinFile(shippedSkinFolder() + name);
            QVERIFY(text);
            for (const QRegularExpressionMatch& m : url.globalMatch(*text)) {
                QVERIFY2(!QImage(m.captured(1)).isNull(),
                         qPrintable(name + QStringLiteral(": ") + m.captured(1)));
                ++seen;
            }
        }
        QVERIFY(seen > 0);
    }
};

QTEST_MAIN(TestSkinEngine)
#include "tst_skin_engine.moc"
