// A process killed in the middle of writing the settings file or the catalog cache leaves the old
// file or the new one, whole. The writer runs in a child process (this executable started with
// --writer) that is killed with SIGKILL while it writes.
#include "settings/IniFile.h"
#include "settings/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// Two versions of each file, each recognisable as a whole.
QByteArray cacheVersion(char fill) {
    return QByteArray("公告：") + QByteArray(4 << 20, fill) + QByteArray("\r\nEND\r\n");
}
QString settingsValue(char fill) {
    return QString(200000, QLatin1Char(fill));
}

int runWriter(const QString& mode, const QString& path) {
    for (int i = 0;; ++i) {
        const char fill = (i % 2) ? 'b' : 'a';
        if (mode == QLatin1String("settings")) {
            ini::writeValue(path, QStringLiteral("Dravonel"), QStringLiteral("quenra"), settingsValue(fill));
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
        QTemporaryDir dir;
        const QString path = dir.filePath(mode == QLatin1String("settings") ? QStringLiteral("config.ini")
                                                                            : QStringLiteral("Ku.txt"));
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), mode, path});
        QVERIFY(writer.waitForStarted());
        int writes = 0;
        while (writes < writesBeforeKill) {
            QVERIFY(writer.waitForReadyRead(30000));
            writes += writer.readAll().count('\n');
        }
        writer.kill(); // SIGKILL, somewhere inside the next write
        QVERIFY(writer.waitForFinished());

        const QByteArray bytes = readAll(path);
        if (mode == QLatin1String("settings")) {
            const QString value = ini::readValue(path, QStringLiteral("Dravonel"), QStringLiteral("quenra"));
            QVERIFY(value == settingsValue('a') || value == settingsValue('b'));
            QVERIFY(bytes.endsWith("\r\n"));
        } else {
            QVERIFY2(bytes == cacheVersion('a') || bytes == cacheVersion('b'), "cache file is not whole");
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
