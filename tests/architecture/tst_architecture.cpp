#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

// The layers of src/: a folder may include from itself and from the folders listed beside it,
// nothing else. Logic folders sit below ui/ and app/, so none of them reaches up to a widget.
namespace {

const QMap<QString, QString> Allowed{
    {"settings", ""},
    {"net", ""},
    {"host", "settings"},
    {"catalog", "settings"},
    {"install", "settings host net"},
    {"convert", "settings"},
    {"skins", "settings"},
    {"publish", "settings catalog install"},
    {"ui", "settings skins"},
    {"app", "settings host net catalog install convert skins ui"},
};

} // namespace

class TestArchitecture final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void includesFollowTheLayers() {
        const QString src = qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/src");
        const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"/]+)/"));
        QStringList wrong;
        int files = 0;
        QDirIterator it(src, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString folder = QDir(src).relativeFilePath(path).section(QLatin1Char('/'), 0, 0);
            QVERIFY2(Allowed.contains(folder),
                     qPrintable(QStringLiteral("folder missing from the table: ") + folder));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
            ++files;
            for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
                const QString used = include.match(line).captured(1);
                if (!used.isEmpty() && used != folder &&
                    !Allowed[folder].split(QLatin1Char(' ')).contains(used)) {
                    wrong << QDir(src).relativeFilePath(path) + QStringLiteral(": ") + line.trimmed();
                }
            }
        }
        QVERIFY(files > 50);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestArchitecture)
#include "tst_architecture.moc"
