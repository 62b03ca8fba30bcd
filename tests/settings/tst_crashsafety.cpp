// A process killed while it writes the settings file or the catalog cache leaves the old file or the
// new one, whole. The writer is this executable started with --writer, killed with SIGKILL.
#include "settings/IniFile.h"
#include "settings/SafeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// Other lines of the settings file, which every write must keep byte for byte.
const QByteArray SettingsBefore("; kept\r\n[Dravonel]\r\nbanben=1.03\r\nquenra=\r\n\r\n[Other]\r\nk=v\r\n");

QByteArray cacheVersion(char fill) {
    return QByteArray("公告：") + QByteArray(4 << 20, fill) + QByteArray("\r\nEND\r\n");
}
QString settingsValue(char fill) {
    return QString(200000, QLatin1Char(fill));
}
QByteArray settingsVersion(char fill) {
    return ini::withValue(SettingsBefore, u"Dravonel", u"quenra", settingsValue(fill));
}

constexpr int KeysPerCopy = 40;

int runWriter(const QString& mode, const QString& path) {
    if (mode.startsWith(QLatin1String("keys"))) {
        // One running copy of the program setting keys of its own, all at once with another copy.
        for (int i = 0; i < KeysPerCopy; ++i) {
            ini::writeValue(path, u"Dravonel", mode + QString::number(i), QStringLiteral("v"));
        }
        return 0;
    }
    for (int i = 0;; ++i) {
        const char fill = (i % 2) ? 'b' : 'a';
        if (mode == QLatin1String("settings")) {
            ini::writeValue(path, u"Dravonel", u"quenra", settingsValue(fill));
        } else {
            safefile::writeAtomically(path, cacheVersion(fill));
        }
        std::printf("w\n");
        std::fflush(stdout);
    }
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCrashSafety final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWriterLeavesWholeFile_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("writesBeforeKill");
        for (int n : {1, 2, 3, 5, 8}) {
            QTest::addRow("settings after %d writes", n) << QStringLiteral("settings") << n;
            QTest::addRow("catalog cache after %d writes", n) << QStringLiteral("cache") << n;
        }
    }
    void killedWriterLeavesWholeFile() {
        QFETCH(QString, mode);
        QFETCH(int, writesBeforeKill);
        const bool settings = mode == QLatin1String("settings");
        QTemporaryDir dir;
        const QString path = dir.filePath(settings ? QStringLiteral("config.ini") : QStringLiteral("Ku.txt"));
        if (settings) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(SettingsBefore);
        }
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), mode, path});
        QVERIFY(writer.waitForStarted());
        for (int writes = 0; writes < writesBeforeKill;) {
            QVERIFY(writer.waitForReadyRead(30000));
            writes += writer.readAll().count('\n');
        }
        writer.kill(); // somewhere inside the next write
        QVERIFY(writer.waitForFinished());

        const QByteArray bytes = readAll(path);
        const auto whole = [&](char fill) {
            return bytes == (settings ? settingsVersion(fill) : cacheVersion(fill));
        };
        QVERIFY2(whole('a') || whole('b'), "the file is not one whole version");
    }

    // Two running copies writing at the same moment lose none of each other's keys.
    void twoCopiesLoseNoKey() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config.ini"));
        QProcess a;
        QProcess b;
        a.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--writer"), QStringLiteral("keysA"), path});
        b.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--writer"), QStringLiteral("keysB"), path});
        QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
        for (const char* copy : {"keysA", "keysB"}) {
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
        return runWriter(args[2], args[3]);
    }
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_crashsafety.moc"
