#include "settings/Gbk.h"
#include "settings/IniFile.h"
#include "settings/MK.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A settings folder with an empty Dravonel/ in a fresh temporary folder; `dirSuffix` is appended to
// the application folder as the running program would name it.
struct SettingsFolder {
    QTemporaryDir dir;
    AppFolder folder;
    explicit SettingsFolder(const QString& dirSuffix = {})
        : folder{dir.path() + dirSuffix, QLatin1Char('/')} {
        QDir(dir.path()).mkpath(QStringLiteral("Dravonel"));
    }
};

} // namespace

class TestIni final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every look-up asks for key "k" of section "D": in the text, and in a file through ReadIniValue.
    void read_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QByteArray(text) << QString::fromUtf8(expected);
        };
        row("plain", "[D]\r\nk=D:\\Q\\Quenra.exe\r\n", "D:\\Q\\Quenra.exe");
        row("section other case", "[d]\r\nk=1\r\n", "1");
        row("no such section", "[Other]\r\nk=1\r\n", "");
        row("no such key", "[D]\r\nbanben=1\r\n", "");
        row("double quotes removed", "[D]\r\nk=\"a b\"\r\n", "a b");
        row("single quotes removed", "[D]\r\nk='a'\r\n", "a");
        row("mismatched quotes kept", "[D]\r\nk=\"a'\r\n", "\"a'");
        row("lone quote kept", "[D]\r\nk=\"\r\n", "\"");
        row("blanks trimmed", "[ D ]\r\n  k  =   v w  \r\n", "v w");
        row("header ends at last bracket", "[D]]\r\nk=v\r\n", "");
        row("catalog header with trailing space", "[D] \r\nk=v\r\n", "v");
        row("LF only", "[D]\nk=v\n", "v");
        row("lone CR", "[D]\rk=v\r", "v");
        row("no final newline", "[D]\r\nk=v", "v");
        row("value with equals", "[D]\r\nk=a=b\r\n", "a=b");
        row("first key wins", "[D]\r\nk=1\r\nK=2\r\n", "1");
        row("only first section searched", "[D]\r\na=1\r\n[D]\r\nk=2\r\n", "");
        row("key of next section not taken", "[D]\r\n[E]\r\nk=2\r\n", "");
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
        QCOMPARE(ini::SectionIndex::build(text).section(text, u"d").value(u"d", u"k"), expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ini"));
        if (!bytes.isEmpty()) {
            writeAll(path, bytes);
        }
        QCOMPARE(MK::ReadIniValue(QStringLiteral("D"), QStringLiteral("k"), path), expected);
    }

    // Every write sets key "k" of section "D".
    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const char* before, const char* value, const char* after) {
            QTest::newRow(name) << QByteArray(before) << QString::fromUtf8(value) << QByteArray(after);
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
        row("value written unchanged", "[D]\r\n", " \"q\" ", "[D]\r\nk= \"q\" \r\n");
        row("invalid GBK elsewhere kept byte for byte", "[D]\r\njunk=\x81\xff\x80\r\nk=1\r\n", "2",
            "[D]\r\njunk=\x81\xff\x80\r\nk=2\r\n");
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QCOMPARE(ini::withValue(before, u"D", u"k", value), after);
    }

    // Values written to a file through writeValue(): the bytes the file then holds, and the value
    // read back whole.
    void storedValues_data() {
        QTest::addColumn<QByteArray>("before"); // empty: no file
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, const char* value,
                            const QByteArray& after) {
            QTest::newRow(name) << before << QString::fromUtf8(value) << after;
        };
        row("blank at the start", "", " lead.qss", "[D]\r\nk=\" lead.qss\"\r\n");
        row("enclosing double quotes", "", "\"a\"", "[D]\r\nk=\"\"a\"\"\r\n");
        row("beyond GBK", "", "björn/😀.qss",
            "[D]\r\nk=" + QByteArray::fromHex("626a81308b32726e2f9439fc362e717373") + "\r\n");
        row("UTF-8 with a byte-order mark", "\xEF\xBB\xBF[D]\r\nk=old\r\n", "新",
            "\xEF\xBB\xBF[D]\r\nk=\xE6\x96\xB0\r\n");
        const auto utf16 = [](const char* text, QStringConverter::Encoding e) {
            return QByteArray(
                QStringEncoder(e, QStringConverter::Flag::WriteBom).encode(QString::fromUtf8(text)));
        };
        row("UTF-16 BE, section added", utf16("[X]\r\n", QStringConverter::Utf16BE), "新",
            utf16("[X]\r\n[D]\r\nk=新\r\n", QStringConverter::Utf16BE));
    }
    void storedValues() {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ini"));
        if (!before.isEmpty()) {
            writeAll(path, before);
        }
        QVERIFY(ini::writeValue(path, u"D", u"k", value));
        QCOMPARE(readAll(path), after);
        QCOMPARE(ini::readValue(path, u"D", u"k"), value);
    }

    void settingsWriteThenRead() {
        // A program in a root folder: the folder ends with the separator, so its paths hold two.
        SettingsFolder s(QStringLiteral("/"));
        QVERIFY(s.folder.settingsFile().contains(QStringLiteral("//Dravonel/config.ini")));
        QCOMPARE((AppFolder{QStringLiteral("C:\\Q"), QLatin1Char('\\')}.settingsFile()),
                 QStringLiteral("C:\\Q\\Dravonel\\config.ini"));
        const Settings settings(s.folder);
        QVERIFY(settings.write(QStringLiteral("Kuliebiao"), QStringLiteral("Arduino Uno")));
        QVERIFY(settings.write(QStringLiteral("Kuliebiao"), QStringLiteral("掌控板 v2")));
        const QString file = s.dir.filePath(QStringLiteral("Dravonel/config.ini"));
        QCOMPARE(readAll(file), gbk::encode(QStringLiteral("[Dravonel]\r\nKuliebiao=掌控板 v2\r\n")));
        QCOMPARE(settings.read(QStringLiteral("kuliebiao")), QStringLiteral("掌控板 v2"));
        // Nothing is cached: a hand edit is seen by the next read.
        writeAll(file, "[Dravonel]\r\nKuliebiao=b\r\n");
        QCOMPARE(settings.read(QStringLiteral("Kuliebiao")), QStringLiteral("b"));
    }

    void failedWritesLeaveFileUntouched() {
        SettingsFolder s;
        const AppFolder missing{s.dir.path() + QStringLiteral("/nowhere"), QLatin1Char('/')};
        QVERIFY(!Settings(missing).write(QStringLiteral("k"), QStringLiteral("v")));
        QVERIFY(!QFile::exists(missing.settingsFile()));

        const QByteArray original("[Dravonel]\r\nk=old\r\n");
        writeAll(s.folder.settingsFile(), original);
        // A value with a line break would add lines to the file: refused.
        for (const char* value : {"a\rquenra=evil", "a\nquenra=evil"}) {
            QVERIFY(!Settings(s.folder).write(QStringLiteral("k"), QString::fromLatin1(value)));
        }
        QCOMPARE(readAll(s.folder.settingsFile()), original);
        // A read-only settings file stays as it is, for every user.
        QFile::setPermissions(s.folder.settingsFile(), QFile::ReadOwner);
        QVERIFY(!Settings(s.folder).write(QStringLiteral("k"), QStringLiteral("new")));
        QCOMPARE(readAll(s.folder.settingsFile()), original);
        QCOMPARE(QDir(s.dir.filePath(QStringLiteral("Dravonel"))).entryList(QDir::Files).size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestIni)
#include "tst_ini.moc"
