// Start-up to the first shown main window, with the demo catalog fetched from a local server,
// against a bare Qt window of the same size; and the peak memory with a 10,000-library catalog
// loaded against that bare window plus the catalog file's size. Each measurement is a fresh process
// (this executable started again with --bare or --app), timed from its start to its window being
// exposed.
#include "CatalogGenerator.h"
#include "FakePlatform.h"
#include "TestServer.h"
#include "app/AppSetup.h"
#include "app/MainWindow.h"
#include "settings/Gbk.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The reference: what Qt itself costs to show a window of the same size with Chinese text in the same
// environment (translations and CJK font loaded as the program loads them).
int runBare(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    QWidget window;
    window.resize(703, 620);
    QLabel label(QStringLiteral("Quenra小助手"), &window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    std::printf("%ld\n", peakKb());
    return 0;
}

int runApp(int argc, char* argv[], const QString& appDir) {
    QApplication app(argc, argv);
    setUpApplication(app);
    FakePlatform platform; // answers every question with its default, never blocks
    AppContext context;
    context.folder = AppFolder{appDir, QLatin1Char('/')};
    context.platform = &platform;
    MainWindow window(context);
    window.startUp();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    std::printf("%ld\n", peakKb());
    return 0;
}

struct Run {
    double ms = 0;
    long peakKb = 0;
};

Run runChild(const QStringList& args) {
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(60000);
    Run run;
    run.ms = timer.nsecsElapsed() / 1e6;
    run.peakKb = child.readAllStandardOutput().trimmed().toLong();
    return run;
}

Run median(const QStringList& args, int rounds) {
    QList<Run> runs;
    for (int i = 0; i < rounds; ++i) {
        runs << runChild(args);
    }
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
    Run m = runs[rounds / 2];
    long maxPeak = 0;
    for (const Run& r : runs) {
        maxPeak = std::max(maxPeak, r.peakKb);
    }
    m.peakKb = maxPeak;
    return m;
}

void makeAppFolder(const QString& dir, const QString& serverBase) {
    QDir(dir).mkpath(QStringLiteral("Dravonel/ku/Wenjian"));
    QDir(dir).mkpath(QStringLiteral("Dravonel/SkinH"));
    QFile config(dir + QStringLiteral("/Dravonel/config.ini"));
    config.open(QIODevice::WriteOnly);
    config.write(gbk::encode(QStringLiteral("[Dravonel]\r\nbanben=1.03\r\nfuwuqi=") + serverBase +
                             QStringLiteral("\r\n")));
}

void report(const char* name, double value, const char* unit, double ratio, double target) {
    std::printf("BENCH %s %.1f %s ratio=%.2f target=%.2f %s\n", name, value, unit, ratio, target,
                ratio <= target ? "ok" : "FAIL");
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && qstrcmp(argv[1], "--bare") == 0) {
        return runBare(argc, argv);
    }
    if (argc >= 3 && qstrcmp(argv[1], "--app") == 0) {
        return runApp(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    const QString source = qEnvironmentVariable("QUENRA_SOURCE_DIR", QStringLiteral("."));

    // Two server folders: the demo catalog, and a generated catalog of 10,000 libraries.
    QTemporaryDir demoRoot;
    QTemporaryDir bigRoot;
    QFile demoSource(source + QStringLiteral("/demo/server/KU.utf8.txt"));
    if (!demoSource.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "demo catalog not found under %s\n", qPrintable(source));
        return 1;
    }
    QString demoText = QString::fromUtf8(demoSource.readAll());
    demoText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QFile demoKu(demoRoot.filePath(QStringLiteral("KU.txt")));
    demoKu.open(QIODevice::WriteOnly);
    demoKu.write(gbk::encode(demoText));
    demoKu.close();
    const QByteArray big = generateCatalog(10000);
    QFile bigKu(bigRoot.filePath(QStringLiteral("KU.txt")));
    bigKu.open(QIODevice::WriteOnly);
    bigKu.write(big);
    bigKu.close();

    TestServer demoServer(demoRoot.path());
    TestServer bigServer(bigRoot.path());
    if (!demoServer.isRunning() || !bigServer.isRunning()) {
        std::fprintf(stderr, "server: %s\n", qPrintable(demoServer.errorText() + bigServer.errorText()));
        return 1;
    }
    QTemporaryDir demoApp;
    QTemporaryDir bigApp;
    makeAppFolder(demoApp.path(), demoServer.baseUrl());
    makeAppFolder(bigApp.path(), bigServer.baseUrl());

    const int rounds = 7;
    runChild({QStringLiteral("--bare")}); // warm the file cache for both sides
    runChild({QStringLiteral("--app"), demoApp.path()});
    const Run bare = median({QStringLiteral("--bare")}, rounds);
    const Run demo = median({QStringLiteral("--app"), demoApp.path()}, rounds);
    const Run loaded = median({QStringLiteral("--app"), bigApp.path()}, 3);

    std::printf(
        "bare window %.1f ms, %ld KiB; demo start-up %.1f ms; 10,000-library start-up %.1f ms, %ld KiB\n",
        bare.ms, bare.peakKb, demo.ms, loaded.ms, loaded.peakKb);
    report("startup", demo.ms, "ms", demo.ms / bare.ms, 1.5);
    const double allowedKb = bare.peakKb * 1.3 + big.size() / 1024.0;
    report("peak_memory", loaded.peakKb / 1024.0, "MiB", loaded.peakKb / allowedKb * 1.3, 1.3);
    return 0;
}
