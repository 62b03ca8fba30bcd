#include "settings/Gbk.h"
#include "settings/IniFile.h"
#include "settings/MK.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
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

} // namespace

class TestIni final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << "[Dravonel]\r\nquenra=D:\\Q\\Quenra.exe\r\n"
                               << "Dravonel"
                               << "quenra"
                               << "D:\\Q\\Quenra.exe";
        QTest::newRow("key in capitals") << "[Dravonel]\r\nQUENRA=x\r\n"
                                         << "Dravonel"
                                         << "quenra"
                                         << "x";
        QTest::newRow("section other case") << "[dravonel]\r\nbanben=1\r\n"
                                            << "Dravonel"
                                            << "banben"
                                            << "1";
        QTest::newRow("no such section") << "[Other]\r\nbanben=1\r\n"
                                         << "Dravonel"
                                         << "banben"
                                         << "";
        QTest::newRow("no such key") << "[Dravonel]\r\nbanben=1\r\n"
                                     << "Dravonel"
                                     << "pifu"
                                     << "";
        QTest::newRow("double quotes removed") << "[D]\r\nk=\"a b\"\r\n"
                                               << "D"
                                               << "k"
                                               << "a b";
        QTest::newRow("single quotes removed") << "[D]\r\nk='a'\r\n"
                                               << "D"
                                               << "k"
                                               << "a";
        QTest::newRow("mismatched quotes kept") << "[D]\r\nk=\"a'\r\n"
                                                << "D"
                                                << "k"
                                                << "\"a'";
        QTest::newRow("lone quote kept") << "[D]\r\nk=\"\r\n"
                                         << "D"
                                         << "k"
                                         << "\"";
        QTest::newRow("inner quote kept") << "[D]\r\nk=a\"b\"\r\n"
                                          << "D"
                                          << "k"
                                          << "a\"b\"";
        QTest::newRow("blanks trimmed") << "[D]\r\n  k  =   v w  \r\n"
                                        << "D"
                                        << "k"
                                        << "v w";
        QTest::newRow("blanks in header") << "[ D ]\r\nk=v\r\n"
                                          << "D"
                                          << "k"
                                          << "v";
        QTest::newRow("header ends at last bracket") << "[a]b]\r\nk=v\r\n"
                                                     << "a]b"
                                                     << "k"
                                                     << "v";
        QTest::newRow("catalog header with trailing space") << "[AHT20] \r\n库名=温湿度\r\n"
                                                            << "AHT20"
                                                            << "库名"
                                                            << "温湿度";
        QTest::newRow("LF only") << "[D]\nk=v\n"
                                 << "D"
                                 << "k"
                                 << "v";
        QTest::newRow("lone CR") << "[D]\rk=v\r"
                                 << "D"
                                 << "k"
                                 << "v";
        QTest::newRow("no final newline") << "[D]\r\nk=v"
                                          << "D"
                                          << "k"
                                          << "v";
        QTest::newRow("value with equals") << "[D]\r\nk=a=b\r\n"
                                           << "D"
                                           << "k"
                                           << "a=b";
        QTest::newRow("empty value") << "[D]\r\nk=\r\n"
                                     << "D"
                                     << "k"
                                     << "";
        QTest::newRow("line without equals is no key") << "[D]\r\nk\r\nk=v\r\n"
                                                       << "D"
                                                       << "k"
                                                       << "v";
        QTest::newRow("first key wins") << "[D]\r\nk=1\r\nk=2\r\n"
                                        << "D"
                                        << "k"
                                        << "1";
        QTest::newRow("only first section searched") << "[D]\r\na=1\r\n[D]\r\nk=2\r\n"
                                                     << "D"
                                                     << "k"
                                                     << "";
        QTest::newRow("key of next section not taken") << "[D]\r\n[E]\r\nk=2\r\n"
                                                       << "D"
                                                       << "k"
                                                       << "";
        QTest::newRow("text before first section") << "k=0\r\n[D]\r\nk=1\r\n"
                                                   << "D"
                                                   << "k"
                                                   << "1";
        QTest::newRow("unclosed header is not a section") << "[D\r\nk=1\r\n"
                                                          << "D"
                                                          << "k"
                                                          << "";
        QTest::newRow("chinese key and value") << "[AHT20]\r\n库版本=1.2\r\n"
                                               << "AHT20"
                                               << "库版本"
                                               << "1.2";
    }
    void read() {
        QFETCH(QString, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(ini::findValue(text, section, key), expected);
        QCOMPARE(ini::Document::parse(text).value(section, key), expected);
    }

    void readValueFromFileIsGbkAndWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        const QString longPath =
            QStringLiteral("D:\\") + QString(300, QChar(0x5E93)) + QStringLiteral("\\Quenra.exe");
        writeAll(path,
                 gbk::encode(QStringLiteral("[Dravonel]\r\nquenra=") + longPath + QStringLiteral("\r\n")));
        // Values are returned whole: a long host path must not lose its "\Quenra.exe".
        QCOMPARE(MK::ReadIniValue(QStringLiteral("Dravonel"), QStringLiteral("quenra"), path), longPath);
        QCOMPARE(MK::ReadIniValue(QStringLiteral("Dravonel"), QStringLiteral("quenra"),
                                  dir.filePath(QStringLiteral("missing.ini"))),
                 QString());
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("missing file") << QByteArray() << "Dravonel"
                                      << "k"
                                      << "v" << QByteArray("[Dravonel]\r\nk=v\r\n");
        QTest::newRow("replace in place keeps other bytes")
            << QByteArray("; note\r\n[Dravonel]\r\nbanben=1.03\nK=old\r\n\r\n[X]\r\nk=x\r\n") << "Dravonel"
            << "k"
            << "new" << QByteArray("; note\r\n[Dravonel]\r\nbanben=1.03\nK=new\r\n\r\n[X]\r\nk=x\r\n");
        QTest::newRow("add key at end of section before blank lines")
            << QByteArray("[Dravonel]\r\na=1\r\n\r\n[X]\r\n") << "Dravonel"
            << "b"
            << "2" << QByteArray("[Dravonel]\r\na=1\r\nb=2\r\n\r\n[X]\r\n");
        QTest::newRow("add key to last section without final newline")
            << QByteArray("[Dravonel]\r\na=1") << "Dravonel"
            << "b"
            << "2" << QByteArray("[Dravonel]\r\na=1\r\nb=2\r\n");
        QTest::newRow("add section at end") << QByteArray("[X]\r\na=1\r\n") << "Dravonel"
                                            << "b"
                                            << "2" << QByteArray("[X]\r\na=1\r\n[Dravonel]\r\nb=2\r\n");
        QTest::newRow("add section after missing newline")
            << QByteArray("[X]\r\na=1") << "D"
            << "b"
            << "2" << QByteArray("[X]\r\na=1\r\n[D]\r\nb=2\r\n");
        QTest::newRow("only first of duplicate sections")
            << QByteArray("[D]\r\na=1\r\n[D]\r\nk=2\r\n") << "D"
            << "k"
            << "3" << QByteArray("[D]\r\na=1\r\nk=3\r\n[D]\r\nk=2\r\n");
        QTest::newRow("value written unchanged") << QByteArray("[D]\r\n") << "D"
                                                 << "k"
                                                 << " \"q\" " << QByteArray("[D]\r\nk= \"q\" \r\n");
        QTest::newRow("invalid GBK elsewhere kept byte for byte")
            << QByteArray("[D]\r\njunk=\x81\xff\x80\r\nk=1\r\n") << "D"
            << "k"
            << "2" << QByteArray("[D]\r\njunk=\x81\xff\x80\r\nk=2\r\n");
        QTest::newRow("text before first section kept") << QByteArray("top=1\r\n[D]\r\n") << "D"
                                                        << "top"
                                                        << "2" << QByteArray("top=1\r\n[D]\r\ntop=2\r\n");
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QCOMPARE(ini::withValue(before, section, key, value), after);
    }

    void writeBoardTwiceLeavesOneLine() {
        QTemporaryDir dir;
        AppFolder folder{dir.path(), QLatin1Char('/')};
        QDir(dir.path()).mkpath(QStringLiteral("Dravonel"));
        Settings settings(folder);
        QVERIFY(settings.write(QStringLiteral("Kuliebiao"), QStringLiteral("Arduino Uno")));
        QVERIFY(settings.write(QStringLiteral("Kuliebiao"), QStringLiteral("掌控板 v2")));
        const QByteArray bytes = readAll(folder.settingsFile());
        QCOMPARE(bytes.count("Kuliebiao="), 1);
        QVERIFY(bytes.contains(gbk::encode(QStringLiteral("Kuliebiao=掌控板 v2"))));
        QCOMPARE(settings.read(QStringLiteral("kuliebiao")), QStringLiteral("掌控板 v2"));
    }

    void handEditSeenByNextRead() {
        QTemporaryDir dir;
        AppFolder folder{dir.path(), QLatin1Char('/')};
        QDir(dir.path()).mkpath(QStringLiteral("Dravonel"));
        Settings settings(folder);
        settings.write(QStringLiteral("pifu"), QStringLiteral("a.qss"));
        writeAll(folder.settingsFile(), "[Dravonel]\r\npifu=b.qss\r\n");
        QCOMPARE(settings.read(QStringLiteral("pifu")), QStringLiteral("b.qss"));
    }

    void driveRootDoubledSeparatorNamesSameFile() {
        QTemporaryDir dir;
        // A program in a root folder: the folder ends with the separator, so the joined path has two.
        AppFolder folder{dir.path() + QLatin1Char('/'), QLatin1Char('/')};
        QVERIFY(folder.settingsFile().contains(QStringLiteral("//Dravonel/config.ini")));
        QDir(dir.path()).mkpath(QStringLiteral("Dravonel"));
        Settings(folder).write(QStringLiteral("banben"), QStringLiteral("1.03"));
        QCOMPARE(MK::ReadIniValue(QStringLiteral("Dravonel"), QStringLiteral("banben"),
                                  dir.path() + QStringLiteral("/Dravonel/config.ini")),
                 QStringLiteral("1.03"));
    }

    void failedWritesLeaveFileUntouched() {
        QTemporaryDir dir;
        AppFolder missing{dir.path() + QStringLiteral("/nowhere"), QLatin1Char('/')};
        QVERIFY(!Settings(missing).write(QStringLiteral("k"), QStringLiteral("v")));
        QVERIFY(!QFile::exists(missing.settingsFile()));

        AppFolder folder{dir.path(), QLatin1Char('/')};
        QDir(dir.path()).mkpath(QStringLiteral("Dravonel"));
        const QByteArray original("[Dravonel]\r\nk=old\r\n");
        writeAll(folder.settingsFile(), original);
        // A value with a line break would add lines to the file: refused.
        QVERIFY(!Settings(folder).write(QStringLiteral("k"), QStringLiteral("a\r\nquenra=evil")));
        QCOMPARE(readAll(folder.settingsFile()), original);
        // A read-only settings file stays as it is, for every user.
        QFile::setPermissions(folder.settingsFile(), QFile::ReadOwner);
        QVERIFY(!Settings(folder).write(QStringLiteral("k"), QStringLiteral("new")));
        QCOMPARE(readAll(folder.settingsFile()), original);
        QVERIFY(QDir(dir.path() + QStringLiteral("/Dravonel")).entryList(QDir::Files).size() == 1);
    }

    void badInputReadsWithoutCrash_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("binary junk before section")
            << QByteArray("\x00\x01\xfe\xff\r\n[D]\r\nk=v\r\n", 14) << "v";
        QTest::newRow("invalid GBK in value")
            << QByteArray("[D]\r\nk=\x81\r\n") << QString(QChar::ReplacementCharacter);
        QTest::newRow("one megabyte line") << QByteArray("[D]\r\nk=") + QByteArray(1 << 20, 'x') + "\r\n"
                                           << QString(1 << 20, QLatin1Char('x'));
        QTest::newRow("duplicate keys") << QByteArray("[D]\r\nk=1\r\nK=2\r\n") << "1";
        QTest::newRow("nothing but brackets") << QByteArray("[]\r\n[\r\n]\r\n=\r\n") << "";
    }
    void badInputReadsWithoutCrash() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.ini"));
        writeAll(path, bytes);
        QCOMPARE(MK::ReadIniValue(QStringLiteral("D"), QStringLiteral("k"), path), expected);
    }
};

QTEST_APPLESS_MAIN(TestIni)
#include "tst_ini.moc"
