#include "Files.h"
#include "settings/Gbk.h"
#include "settings/IniFile.h"
#include "settings/MK.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int KeysPerCopy = 40;
}

class TestIni final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Beyond GBK, GB18030's own forms; a pair cut off at the end is U+FFFD, in long texts too.
    void gbk_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("encodes"); // the text encodes to the bytes too
        const QString fffd(QChar::ReplacementCharacter);
        const auto row = [](const char* name, const QString& text, const QByteArray& hex,
                            bool encodes = false) {
            QTest::newRow(name) << text << QByteArray::fromHex(hex) << encodes;
        };
        row("brackets", QStringLiteral("将【AHT20】加入"), "bdaba1be4148543230a1bfbcd3c8eb", true);
        row("beyond GBK", QStringLiteral("björn/😀.qss"), "626a81308b32726e2f9439fc362e717373", true);
        row("euro as code page 936 writes it", QStringLiteral("€"), "80", true);
        row("lone first byte", QStringLiteral("abc") + fffd, "61626381");
        // Code page 936 maps 0xFF on its own (to U+F8F5), so it starts no pair.
        row("0xff stands alone", QString(3, QChar(0xF8F5)) + fffd, "ffffffab");
        row("whole pair is kept", QStringLiteral("A公"), "41b9ab");
        row("long text", QString(100000, QLatin1Char('x')) + QStringLiteral("公") + fffd,
            QByteArray(100000, 'x').toHex() + "b9abb9");
    }
    void gbk() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, encodes);
        QCOMPARE(gbk::decode(bytes), text);
        if (encodes) {
            QCOMPARE(gbk::encode(text), bytes);
        }
    }

    // The codec's own tables give what the ICU converter gives: every two- and four-byte code, and
    // every character (but the two that code page 936 writes as single bytes).
    void gb18030() {
        if (!QStringDecoder("GB18030").isValid()) {
            QSKIP("no GB18030 converter in this Qt to compare with");
        }
        QByteArray codes;
        for (int a = 0x81; a <= 0xFE; ++a) {
            for (int b = 0x30; b <= 0xFE; ++b) {
                for (int c = 0x81; b <= 0x39 && c <= 0xFE; ++c) {
                    for (int d = 0x30; d <= 0x39; ++d) {
                        codes += char(a) + QByteArray(1, char(b)) + char(c) + char(d);
                    }
                }
                codes += b >= 0x40 && b != 0x7F && b != 0xFF ? QByteArray{char(a), char(b)} : QByteArray();
            }
        }
        QCOMPARE(gbk::decode(codes), QStringDecoder("GB18030").decode(codes));
        QString all;
        for (char32_t c = 0x80; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 251) {
            all += c == 0x20AC || c == 0xF8F5 || QChar::isSurrogate(c) ? QString() : QString::fromUcs4(&c, 1);
        }
        QCOMPARE(gbk::encode(all), QByteArray(QStringEncoder("GB18030").encode(all)));
    }

    // Every look-up asks for key "k" of section "D": in the text, and in a file through ReadIniValue.
    void read_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QByteArray(text) << QString::fromUtf8(expected);
        };
        row("plain", "[D]\r\nk=D:\\Q\\Quenra.exe\r\n", "D:\\Q\\Quenra.exe");
        row("no such section", "[Other]\r\nk=1\r\n", "");
        row("double quotes removed", "[D]\r\nk=\"a b\"\r\n", "a b");
        row("mismatched quotes kept", "[D]\r\nk=\"a'\r\n", "\"a'");
        row("lone quote kept", "[D]\r\nk=\"\r\n", "\"");
        row("blanks trimmed", "[ D ]\r\n  k  =   v w  \r\n", "v w");
        row("header ends at last bracket", "[D]]\r\nk=v\r\n", "");
        row("lone CR", "[D]\rk=v\r", "v");
        row("no final newline", "[D]\r\nk=v", "v");
        row("first key wins", "[D]\r\nk=1\r\nK=2\r\n", "1");
        row("only first section searched", "[D]\r\na=1\r\n[D]\r\nk=2\r\n", "");
        // The platform's own reader cuts values at 254 bytes; a long host path must stay whole.
        const QString longPath =
            QStringLiteral("D:\\") + QString(300, QChar(0x5E93)) + QStringLiteral("\\Quenra.exe");
        QTest::newRow("long GBK value whole")
            << gbk::encode(QStringLiteral("[D]\r\nk=") + longPath) << longPath;
        QString many; // the index grows past its first size, and other names share its slots
        for (int i = 0; i < 300; ++i) {
            many += QStringLiteral("[S%1]\r\nk=%1\r\n").arg(i);
        }
        QTest::newRow("after many sections") << gbk::encode(many + QStringLiteral("[D]\r\nk=v\r\n")) << "v";
        row("missing file", "", "");
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString text = gbk::decode(bytes);
        QCOMPARE(ini::findValue(text, u"D", u"k"), expected);
        QCOMPARE(ini::Document::parse(text).value(u"D", u"k"), expected);
        QCOMPARE(ini::SectionIndex::build(bytes).section(bytes, u"d").value(u"d", u"k"), expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ini"));
        if (!bytes.isEmpty()) {
            writeFile(path, bytes);
        }
        QCOMPARE(MK::ReadIniValue(QStringLiteral("D"), QStringLiteral("k"), path), expected);
    }

    // Sets key "k" of section "D" in memory, or ("file" rows) through writeValue(), which quotes what
    // a read would strip, keeps the file's encoding and reads back whole.
    void write_data() {
        QTest::addColumn<QByteArray>("before"); // empty: no file
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, const char* value,
                            const QByteArray& after) {
            QTest::newRow(name) << before << QString::fromUtf8(value) << after;
        };
        row("missing file", "", "v", "[D]\r\nk=v\r\n");
        row("replace in place keeps other bytes", "; note\r\n[D]\r\nbanben=1.03\nK=old\r\n\r\n[X]\r\nk=x\r\n",
            "new", "; note\r\n[D]\r\nbanben=1.03\nK=new\r\n\r\n[X]\r\nk=x\r\n");
        row("add key at end of section before blank lines", "[D]\r\na=1\r\n\r\n[X]\r\n", "2",
            "[D]\r\na=1\r\nk=2\r\n\r\n[X]\r\n");
        row("key added to an LF file keeps its line ends", "[D]\na=1\n", "2", "[D]\na=1\nk=2\r\n");
        row("add key to last section without final newline", "[D]\r\na=1", "2", "[D]\r\na=1\r\nk=2\r\n");
        row("add section at end", "[X]\r\na=1\r\n", "2", "[X]\r\na=1\r\n[D]\r\nk=2\r\n");
        row("only first of duplicate sections", "[D]\r\na=1\r\n[D]\r\nk=2\r\n", "3",
            "[D]\r\na=1\r\nk=3\r\n[D]\r\nk=2\r\n");
        row("invalid GBK elsewhere kept byte for byte", "[D]\r\njunk=\x81\xff\x80\r\nk=1\r\n", "2",
            "[D]\r\njunk=\x81\xff\x80\r\nk=2\r\n");
        row("file: blank at the start", "", " lead.qss", "[D]\r\nk=\" lead.qss\"\r\n");
        row("file: beyond GBK", "", "björn/😀.qss",
            "[D]\r\nk=" + QByteArray::fromHex("626a81308b32726e2f9439fc362e717373") + "\r\n");
        row("file: UTF-8 with a byte-order mark", "\xEF\xBB\xBF[D]\r\nk=old\r\n", "新",
            "\xEF\xBB\xBF[D]\r\nk=\xE6\x96\xB0\r\n");
        const auto utf16 = [](const char* text) {
            return QByteArray(QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)
                                  .encode(QString::fromUtf8(text)));
        };
        row("file: UTF-16 BE, section added", utf16("[X]\r\n"), "新", utf16("[X]\r\n[D]\r\nk=新\r\n"));
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!QByteArray(QTest::currentDataTag()).startsWith("file: ")) {
            QCOMPARE(ini::withValue(before, u"D", u"k", value), after);
            return;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ini"));
        if (!before.isEmpty()) {
            writeFile(path, before);
        }
        QVERIFY(ini::writeValue(path, u"D", u"k", value));
        QCOMPARE(readFile(path), after);
        QCOMPARE(ini::readValue(path, u"D", u"k"), value);
    }

    // Nothing is cached: a hand edit is seen by the next read. A failed write leaves the file.
    void settingsWriteThenRead() {
        QTemporaryDir dir;
        const AppFolder folder{dir.path() + QStringLiteral("/"), QLatin1Char('/')};
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Dravonel")));
        QVERIFY(folder.settingsFile().endsWith(QStringLiteral("//Dravonel/config.ini")));
        QCOMPARE((AppFolder{QStringLiteral("C:\\Q"), QLatin1Char('\\')}.settingsFile()),
                 QStringLiteral("C:\\Q\\Dravonel\\config.ini"));
        const Settings settings(folder);
        QVERIFY(settings.write(QStringLiteral("Kuliebiao"), QStringLiteral("掌控板 v2")));
        QCOMPARE(settings.read(QStringLiteral("kuliebiao")), QStringLiteral("掌控板 v2"));
        writeFile(folder.settingsFile(), "[Dravonel]\r\nKuliebiao=b\r\n");
        QCOMPARE(settings.read(QStringLiteral("Kuliebiao")), QStringLiteral("b"));

        QVERIFY(!Settings(AppFolder{dir.filePath(QStringLiteral("nowhere")), QLatin1Char('/')})
                     .write(QStringLiteral("k"), QStringLiteral("v")));
        for (const char* value : {"a\rquenra=evil", "a\nquenra=evil"}) {
            QVERIFY(!settings.write(QStringLiteral("k"), QString::fromLatin1(value)));
        }
        QFile::setPermissions(folder.settingsFile(), QFile::ReadOwner);
        QVERIFY(!settings.write(QStringLiteral("k"), QStringLiteral("new")));
        QCOMPARE(readFile(folder.settingsFile()), QByteArray("[Dravonel]\r\nKuliebiao=b\r\n"));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("Dravonel"))).entryList(QDir::Files).size(), 1);
    }

    // Two copies of the program (this executable with --writer) writing at once lose no key.
    void twoCopiesLoseNoKey() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        QProcess a;
        QProcess b;
        a.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--writer"), QStringLiteral("A"), path});
        b.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--writer"), QStringLiteral("B"), path});
        QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
        for (const char* copy : {"A", "B"}) {
            for (int i = 0; i < KeysPerCopy; ++i) {
                QCOMPARE(ini::readValue(path, u"Dravonel", QLatin1String(copy) + QString::number(i)),
                         QStringLiteral("v"));
            }
        }
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--writer")) {
        for (int i = 0; i < KeysPerCopy; ++i) {
            ini::writeValue(args[3], u"Dravonel", args[2] + QString::number(i), QStringLiteral("v"));
        }
        return 0;
    }
    TestIni test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ini.moc"
