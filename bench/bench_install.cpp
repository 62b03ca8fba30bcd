// Installing a 20 MB library package of 2,000 files from the local server: the window's
// DownloadPackage and UnzipFile against `curl -o` and `bsdtar -xf` of the same package from the same
// server, in the same run. Each round starts with the library absent from the destination.
//
// Usage: bench_install [ROUNDS]   (default 5; the fastest round of each side counts)
//
// Target: download + extraction at most 1.25 times curl + bsdtar.

#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "app/Form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double Target = 1.25;
constexpr int Files = 2000;
constexpr int FileSize = 10 * 1000; // 2,000 files of 10 kB: 20 MB
const QString Library = QStringLiteral("BenchLib");

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

bool run(const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
}

double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    if (qEnvironmentVariableIsEmpty("QUENRA_TEST_SERVER")) {
        qputenv("QUENRA_TEST_SERVER", QUENRA_SOURCE_DIR "/scripts/catalog_server.py");
    }

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

    TempAppFolder folder({QStringLiteral("fuwuqi=") + server.baseUrl()});
    const QString destination = folder.file(QStringLiteral("ThirdParty"));
    QDir().mkpath(destination);
    FakePlatform platform;
    Form1 window(folder.context(&platform));
    const QString cached =
        folder.file(QStringLiteral("Dravonel/ku/Wenjian/")) + Library + QStringLiteral(".zip");

    QTemporaryDir reference;
    const QString referenceZip = reference.filePath(QStringLiteral("pkg.zip"));
    const QString referenceDest = reference.filePath(QStringLiteral("ThirdParty"));

    std::vector<double> ours;
    std::vector<double> tools;
    std::vector<double> downloads; // our download part alone
    for (int round = 0; round < rounds; ++round) {
        QDir(referenceDest).removeRecursively();
        QDir().mkpath(referenceDest);
        QElapsedTimer t;
        t.start();
        if (!run(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"), referenceZip, url}) ||
            !run(QStringLiteral("bsdtar"),
                 {QStringLiteral("-xf"), referenceZip, QStringLiteral("-C"), referenceDest})) {
            std::fprintf(stderr, "curl or bsdtar failed\n");
            return 1;
        }
        tools.push_back(ms(t));

        QDir(destination + QLatin1Char('/') + Library).removeRecursively();
        t.start();
        const qint32 code = window.DownloadPackage(Library);
        downloads.push_back(ms(t));
        const bool unpacked = code == 0 && window.UnzipFile(cached, destination);
        ours.push_back(ms(t));
        if (!unpacked) {
            std::fprintf(stderr, "install failed: code %d\n", code);
            return 1;
        }
    }
    const qsizetype installed =
        QDir(destination + QLatin1Char('/') + Library + QStringLiteral("/part7")).count();
    if (installed != Files / 20 + 2) {
        std::fprintf(stderr, "unexpected content: %lld entries\n", static_cast<long long>(installed));
        return 1;
    }

    const double mine = fastest(ours);
    const double ref = fastest(tools);
    std::printf(
        "# 2,000 files, 20 MB from 127.0.0.1: curl + bsdtar %.1f ms (median %.1f), "
        "DownloadPackage + UnzipFile %.1f ms (median %.1f, download alone median %.1f); fastest of %d\n",
        ref, median(tools), mine, median(ours), median(downloads), rounds);
    std::printf("BENCH install_package %.1f ms ratio=%.2f target=%.2f %s\n", mine, mine / ref, Target,
                mine / ref <= Target ? "ok" : "FAIL");
    return 0;
}
