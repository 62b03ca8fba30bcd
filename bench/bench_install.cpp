// Installing a 20 MB library package of 2,000 files from the local server: the window's install
// button (download, question answered, extraction, library list) against `curl -o` and `bsdtar -xf` of the
// same package from the same server, in the same run. Each round starts with the library absent from the
// destination.
//
// Usage: bench_install [ROUNDS]   (default 9; the fastest round of each side counts: a virtual
// disk has slow spells, and the fastest round is the one they did not touch)
//
// Target: download + extraction at most 1.25 times curl + bsdtar.

#include "AppWindow.h"
#include "BenchSupport.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/RowsModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::fastest;
using bench::median;
using bench::ms;

constexpr double Target = 1.25;
constexpr int Files = 2000;
constexpr int FileSize = 10 * 1000; // 2,000 files of 10 kB: 20 MB
const QString Library = QStringLiteral("BenchLib");

bool run(const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 9;

    // The package: one top-level folder named like the library, files spread over 20 sub-folders,
    // random content (so the transfer carries the full 20 MB).
    QTemporaryDir serverRoot;
    {
        ZipBuilder zip;
        QByteArray content(FileSize, Qt::Uninitialized);
        for (int i = 0; i < Files; ++i) {
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(content.data()), FileSize / 4);
            zip.file((Library + QStringLiteral("/part%1/file%2.js").arg(i % 20).arg(i)).toUtf8(), content);
        }
        if (!zip.write(serverRoot.filePath(Library + QStringLiteral(".zip")))) {
            std::fprintf(stderr, "cannot write the package\n");
            return 1;
        }
    }
    TestServer server(serverRoot.path());
    if (!server.isRunning()) {
        std::fprintf(stderr, "server: %s\n", qPrintable(server.errorText()));
        return 1;
    }
    const QString url = server.baseUrl() + Library + QStringLiteral(".zip");

    // A host installation with board Uno; every question is answered with OK.
    AppWindow started;
    const QString exe = started.app.file(QStringLiteral("host/Quenra.exe"));
    started.app.writeConfig({QStringLiteral("fuwuqi=") + server.baseUrl(), QStringLiteral("quenra=") + exe,
                             QStringLiteral("Kuliebiao=Uno")});
    started.app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    const QString destination =
        started.app.file(QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty"));
    QDir().mkpath(destination);
    started.platform.onMessage = [](const Platform::Message&) { return Platform::Answer::Ok; };
    started.start();
    auto* libraries = child<QListView>(started.w(), "List2");
    controls::rowsOf(libraries).setRows(rows(libraries) << Library);
    libraries->setCurrentIndex(libraries->model()->index(libraries->model()->rowCount() - 1, 0));

    QTemporaryDir reference;
    const QString referenceZip = reference.filePath(QStringLiteral("pkg.zip"));
    const QString referenceDest = reference.filePath(QStringLiteral("ThirdParty"));

    bench::SetAside aside(reference.filePath(QStringLiteral("aside")));
    std::vector<double> ours;
    std::vector<double> tools;
    const auto timeTools = [&] {
        if (!aside.take(referenceDest) || !QDir().mkpath(referenceDest)) {
            std::fprintf(stderr, "cannot empty %s\n", qPrintable(referenceDest));
            return false;
        }
        bench::settleDisk();
        QElapsedTimer t;
        t.start();
        const bool done =
            run(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"), referenceZip, url}) &&
            run(QStringLiteral("bsdtar"),
                {QStringLiteral("-xf"), referenceZip, QStringLiteral("-C"), referenceDest});
        tools.push_back(ms(t));
        if (!done) {
            std::fprintf(stderr, "curl or bsdtar failed\n");
        }
        return done;
    };
    const auto timeOurs = [&] {
        if (!aside.take(destination + QLatin1Char('/') + Library)) {
            std::fprintf(stderr, "cannot empty %s\n", qPrintable(destination));
            return false;
        }
        started.platform.clear();
        bench::settleDisk();
        QElapsedTimer t;
        t.start();
        child<QPushButton>(started.w(), "Command13")->click();
        ours.push_back(ms(t));
        const bool done = started.platform.messageTexts().contains(QStringLiteral("安装成功"));
        if (!done) {
            std::fprintf(stderr, "install failed: %s\n",
                         qPrintable(started.platform.messageTexts().join(u'|')));
        }
        return done;
    };
    if (!bench::takeTurns(rounds, timeTools, timeOurs)) {
        return 1;
    }
    const qsizetype installed =
        QDir(destination + QLatin1Char('/') + Library + QStringLiteral("/part7")).count();
    if (installed != Files / 20 + 2) {
        std::fprintf(stderr, "unexpected content: %lld entries\n", static_cast<long long>(installed));
        return 1;
    }

    const double mine = fastest(ours);
    const double ref = fastest(tools);
    std::printf("# 2,000 files, 20 MB from 127.0.0.1: curl + bsdtar %.1f ms (median %.1f), "
                "the install button %.1f ms (median %.1f); fastest of %d\n",
                ref, median(tools), mine, median(ours), rounds);
    std::printf("BENCH install_package %.1f ms ratio=%.2f target=%.2f %s\n", mine, mine / ref, Target,
                mine / ref <= Target ? "ok" : "FAIL");
    return 0;
}
