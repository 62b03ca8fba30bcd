// Two running copies of the program writing the settings file at the same moment lose none of each
// other's keys. The copies are this executable started with --writer. (A write cut short, by a full
// disk or a read-only file, is in the fault table of the window flows.)
#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int KeysPerCopy = 40;

} // namespace

class TestTwoCopies final : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        // One copy setting keys of its own, all at once with the other copy.
        for (int i = 0; i < KeysPerCopy; ++i) {
            ini::writeValue(args[3], u"Dravonel", args[2] + QString::number(i), QStringLiteral("v"));
        }
        return 0;
    }
    TestTwoCopies test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_twocopies.moc"
