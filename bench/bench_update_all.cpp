// "全部更新" of ten installed libraries, each a 2 MB package of 100 files, from the local server:
// the menu command (question answered, ten downloads, checks and swaps, summary) against ten
// `curl -o` + `bsdtar -xf` of the same packages from the same server, in the same run.
//
// Usage: bench_update_all [ROUNDS]   (default 7; the fastest round of each side counts)
//
// Target: at most 1.3 times curl + bsdtar.

#include "AppWindow.h"
#include "BenchSupport.h"
#include "TestServer.h"
#include "ZipBuilder.h"
#include "settings/Gbk.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double Target = 1.3;
constexpr int Libraries = 10;
constexpr int Files = 100;
constexpr int FileSize = 20 * 1000; // 100 files of 20 kB: 2 MB a package
const QString Root = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty/");

QString name(int i) {
    return QStringLiteral("Lib%1").arg(i);
}

bool run(const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 7;

    QTemporaryDir served;
    QString catalog = QStringLiteral("公告：更新\r\n");
    QByteArray content(FileSize, Qt::Uninitialized);
    for (int i = 0; i < Libraries; ++i) {
        ZipBuilder zip;
        zip.file((name(i) + '/' + name(i) + ".xml").toUtf8(), "<xml/>");
        for (int f = 0; f < Files; ++f) {
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(content.data()), FileSize / 4);
            zip.file((name(i) + QStringLiteral("/part/file%1.js").arg(f)).toUtf8(), content);
        }
        if (!zip.write(served.filePath(name(i) + QStringLiteral(".zip")))) {
            std::fprintf(stderr, "cannot write the packages\n");
            return 1;
        }
        catalog += QStringLiteral("[%1] \r\n库名=%1\r\n库版本=2.0\r\n").arg(name(i));
    }
    QFile catalogFile(served.filePath(QStringLiteral("KU.txt")));
    if (!catalogFile.open(QIODevice::WriteOnly) || catalogFile.write(gbk::encode(catalog)) < 0) {
        return 1;
    }
    catalogFile.close();
    TestServer server(served.path());
    if (!server.isRunning()) {
        std::fprintf(stderr, "server: %s\n", qPrintable(server.errorText()));
        return 1;
    }

    AppWindow started;
    started.app.writeConfig({QStringLiteral("fuwuqi=") + server.baseUrl(),
                             QStringLiteral("quenra=") + started.app.file(QStringLiteral("host/Quenra.exe")),
                             QStringLiteral("Kuliebiao=Uno")});
    started.app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    bench::SetAside aside(started.app.file(QStringLiteral("aside")));
    const auto installOld = [&] {
        for (int i = 0; i < Libraries; ++i) {
            aside.take(started.app.file(Root + name(i)));
            started.app.writeGbk(Root + name(i) + QStringLiteral("/readme.txt"),
                                 QStringLiteral("[%1]\r\n库名=%1\r\n库版本=1.0\r\n").arg(name(i)));
        }
    };
    installOld();
    started.platform.onMessage = [](const Platform::Message&) { return Platform::Answer::Ok; };
    started.start();

    QTemporaryDir reference;
    std::vector<double> ours;
    std::vector<double> tools;
    const auto timeTools = [&] {
        if (!aside.take(reference.filePath(QStringLiteral("ThirdParty"))) ||
            !QDir().mkpath(reference.filePath(QStringLiteral("ThirdParty")))) {
            std::fprintf(stderr, "cannot empty the reference folder\n");
            return false;
        }
        bench::settleDisk();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < Libraries; ++i) {
            const QString zip = reference.filePath(name(i) + QStringLiteral(".zip"));
            if (!run(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"), zip,
                                              server.baseUrl() + name(i) + QStringLiteral(".zip")}) ||
                !run(QStringLiteral("bsdtar"), {QStringLiteral("-xf"), zip, QStringLiteral("-C"),
                                                reference.filePath(QStringLiteral("ThirdParty"))})) {
                std::fprintf(stderr, "curl or bsdtar failed\n");
                return false;
            }
        }
        tools.push_back(bench::ms(t));
        return true;
    };
    const auto timeOurs = [&] {
        installOld();
        started.platform.clear();
        bench::settleDisk();
        QElapsedTimer t;
        t.start();
        press(started.w(), "quanbugengxin");
        ours.push_back(bench::ms(t));
        if (!started.platform.messageTexts().contains(QStringLiteral("已更新 10 个库。"))) {
            std::fprintf(stderr, "update failed: %s\n",
                         qPrintable(started.platform.messageTexts().join(u'|')));
            return false;
        }
        return true;
    };
    if (!bench::takeTurns(rounds, timeTools, timeOurs)) {
        return 1;
    }
    const double mine = bench::fastest(ours);
    const double ref = bench::fastest(tools);
    std::printf(
        "# ten 2 MB packages from 127.0.0.1: curl + bsdtar %.1f ms, 全部更新 %.1f ms; fastest of %d\n", ref,
        mine, rounds);
    std::printf("BENCH update_all_10 %.1f ms ratio=%.2f target=%.2f %s\n", mine, mine / ref, Target,
                mine / ref <= Target ? "ok" : "FAIL");
    return 0;
}
