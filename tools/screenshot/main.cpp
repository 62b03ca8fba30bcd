#include "Scenes.h"
#include "TempAppFolder.h"

#include "ControlsTable.h"

#include "app/AppSetup.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPixmap>
#include <QTest>

#include <cstdio>

namespace {
QMap<QString, Scene>& scenes() {
    static QMap<QString, Scene> all;
    return all;
}
} // namespace

SceneRegistrar::SceneRegistrar(const char* name, Scene scene) {
    scenes().insert(QString::fromUtf8(name), std::move(scene));
}

QStringList sceneConfig(const ShotContext& c, const QStringList& extra) {
    const QStringList lines{QStringLiteral("banben=1.03"), QStringLiteral("qunhao=123456789"),
                            QStringLiteral("guanwang=https://quenra-helper.example.com"),
                            QStringLiteral("fuwuqi=") + (c.serverUrl.isEmpty()
                                                             ? QStringLiteral("http://127.0.0.1:1/")
                                                             : c.serverUrl)};
    return lines + extra;
}

QString copyDemoHost(const QString& appFolder, const ShotContext& c) {
    const QString from = c.sourceDir + QStringLiteral("/demo/host");
    const QString to = appFolder + QStringLiteral("/Quenra");
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(path, target);
        }
    }
    return to + QStringLiteral("/Quenra.exe");
}

DemoHostWindow::DemoHostWindow(const ShotContext& c, const QString& board) {
    const QString exe = copyDemoHost(app.path(), c);
    app.writeConfig(
        sceneConfig(c, {QStringLiteral("quenra=") + exe, QStringLiteral("quenraBanben=Quenra 3.0 rc0"),
                        QStringLiteral("Kuliebiao=") + board}));
    window.emplace(app.context(&platform));
    window->startUp();
    window->show();
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(10);
    }
}

void saveShot(QWidget* widget, const QString& name, const ShotContext& context) {
    settle();
    const QString path = QDir(context.outDir).filePath(name + QStringLiteral(".png"));
    widget->window()->grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--controls")) {
        QFile out(args[2]);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(controlsDocument().toUtf8()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
            return 1;
        }
        return 0;
    }
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: quenra_screenshot OUTDIR SOURCEDIR [SERVERURL] [SCENE...]\n"
                             "       quenra_screenshot --controls FILE   (writes docs/controls.md)\n");
        return 2;
    }
    ShotContext context{args[1], args[2], args.size() > 3 ? args[3] : QString()};
    QDir().mkpath(context.outDir);
    const QStringList only = args.mid(4);
    for (auto it = scenes().cbegin(); it != scenes().cend(); ++it) {
        if (only.isEmpty() || only.contains(it.key())) {
            it.value()(context);
        }
    }
    return 0;
}
