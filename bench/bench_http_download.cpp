// Download of a 64 MiB package through the program's HTTP client against curl fetching the same file
// from the same local server in the same run. Prints:
//   BENCH http_download <ms> ms ratio=R target=1.25 ok|FAIL

#include "BenchSupport.h"
#include "TestServer.h"
#include "net/HttpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    QTemporaryDir out;
    constexpr qint64 Size = 64LL * 1024 * 1024;
    {
        QFile f(root.filePath(QStringLiteral("pkg.zip")));
        if (!f.open(QIODevice::WriteOnly)) {
            return 1;
        }
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (qint64 done = 0; done < Size; done += block.size()) {
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
            f.write(block);
        }
    }

    TestServer server(root.path());
    if (!server.isRunning()) {
        std::fprintf(stderr, "server: %s\n", qPrintable(server.errorText()));
        return 1;
    }
    const QString url = server.baseUrl() + QStringLiteral("pkg.zip");
    const QString target = out.filePath(QStringLiteral("pkg.zip"));

    std::vector<double> ours;
    std::vector<double> curl;
    for (int round = 0; round < 7; ++round) {
        bench::settleDisk();
        QElapsedTimer t;
        t.start();
        const int rc =
            QProcess::execute(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"),
                                                       out.filePath(QStringLiteral("curl.zip")), url});
        curl.push_back(t.nsecsElapsed() / 1e6);
        if (rc != 0) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }

        net::HttpClient client;
        bench::settleDisk();
        t.start();
        const net::Result r = client.downloadToFile(QUrl(url), target);
        ours.push_back(t.nsecsElapsed() / 1e6);
        if (!r.ok() || QFile(target).size() != Size) {
            std::fprintf(stderr, "download failed: %s\n", net::outcomeName(r.outcome));
            return 1;
        }
    }

    const double ms = *std::min_element(ours.begin(), ours.end());
    const double ref = *std::min_element(curl.begin(), curl.end());
    const double ratio = ms / ref;
    std::printf("64 MiB from 127.0.0.1: curl %.1f ms, client %.1f ms (fastest of 7; the client also flushes "
                "the file to disk)\n",
                ref, ms);
    std::printf("BENCH http_download %.1f ms ratio=%.2f target=1.25 %s\n", ms, ratio,
                ratio <= 1.25 ? "ok" : "FAIL");
    return 0;
}
