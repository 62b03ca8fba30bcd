// Upgrading an installed library: a 20 MB package of 2,000 files unpacked over its installed older
// version (the same files with other content, and one file the package no longer has), by the
// window's extraction, against the same done by hand with the tools: `cp -a` of the old folder,
// `bsdtar -xf` over the copy, two `mv` (old aside, new in) and `rm -rf` of the old version, which the
// extraction removes too. Each round starts from the older version; setting it up is not timed.
//
// Usage: bench_install_upgrade [ROUNDS]   (default 5; the fastest round of each side counts)
//
// Target: at most 1.5 times the tools.

#include "BenchSupport.h"
#include "ZipBuilder.h"
#include "install/Extract.h"

#include <QCoreApplication>
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

using bench::fastest;
using bench::median;
using bench::ms;

constexpr double Target = 1.5;
constexpr int Files = 2000;
constexpr int FileSize = 10 * 1000; // 2,000 files of 10 kB: 20 MB
const QString Library = QStringLiteral("BenchLib");

bool run(const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
}

QString fileName(int i) {
    return Library + QStringLiteral("/part%1/file%2.js").arg(i % 20).arg(i);
}

QByteArray randomContent() {
    QByteArray content(FileSize, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(content.data()), FileSize / 4);
    return content;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The older version installed in `root`, copied from the template; what was there goes aside.
bool installOld(bench::SetAside& aside, const QString& oldTemplate, const QString& root) {
    return aside.take(root) && QDir().mkpath(root) &&
           run(QStringLiteral("cp"), {QStringLiteral("-a"), oldTemplate, root});
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;

    QTemporaryDir work;
    const QString zipPath = work.filePath(QStringLiteral("pkg.zip"));
    const QString oldTemplate = work.filePath(QStringLiteral("template/") + Library);
    {
        ZipBuilder zip;
        for (int i = 0; i < Files; ++i) {
            zip.file(fileName(i).toUtf8(), randomContent());
            if (!writeFile(work.filePath(QStringLiteral("template/") + fileName(i)), randomContent())) {
                std::fprintf(stderr, "cannot write the older version\n");
                return 1;
            }
        }
        if (!zip.write(zipPath) ||
            !writeFile(oldTemplate + QStringLiteral("/dropped.js"), "a file the new version no longer has")) {
            std::fprintf(stderr, "cannot write the package\n");
            return 1;
        }
    }

    const QString ourRoot = work.filePath(QStringLiteral("ours/ThirdParty"));
    const QString toolRoot = work.filePath(QStringLiteral("tools/ThirdParty"));
    const QString toolWork = work.filePath(QStringLiteral("tools/work"));
    const QString toolAside = work.filePath(QStringLiteral("tools/aside"));
    bench::SetAside aside(work.filePath(QStringLiteral("set-aside")));
    std::vector<double> ours;
    std::vector<double> tools;
    for (int round = 0; round < rounds; ++round) {
        if (!aside.take(toolWork) || !aside.take(toolAside) || !installOld(aside, oldTemplate, toolRoot) ||
            !QDir().mkpath(toolWork) || !QDir().mkpath(toolAside) ||
            !installOld(aside, oldTemplate, ourRoot)) {
            std::fprintf(stderr, "cannot install the older version\n");
            return 1;
        }
        const QString installed = toolRoot + QLatin1Char('/') + Library;
        const QString copy = toolWork + QLatin1Char('/') + Library;
        const auto timeTools = [&] {
            bench::settleDisk();
            QElapsedTimer t;
            t.start();
            const bool done =
                run(QStringLiteral("cp"), {QStringLiteral("-a"), installed, copy}) &&
                run(QStringLiteral("bsdtar"),
                    {QStringLiteral("-xf"), zipPath, QStringLiteral("-C"), toolWork}) &&
                run(QStringLiteral("mv"), {installed, toolAside + QLatin1Char('/') + Library}) &&
                run(QStringLiteral("mv"), {copy, installed}) &&
                run(QStringLiteral("rm"), {QStringLiteral("-rf"), toolAside + QLatin1Char('/') + Library});
            tools.push_back(ms(t));
            if (!done) {
                std::fprintf(stderr, "cp, bsdtar, mv or rm failed\n");
            }
            return done;
        };
        const auto timeOurs = [&] {
            bench::settleDisk();
            QElapsedTimer t;
            t.start();
            const install::ExtractResult r = install::extractZip(zipPath, ourRoot);
            ours.push_back(ms(t));
            if (!r.ok()) {
                std::fprintf(stderr, "upgrade failed: %s\n", qPrintable(r.detail));
            }
            return r.ok();
        };
        if (!bench::bothSides(round, timeTools, timeOurs)) {
            return 1;
        }
    }
    const QString lib = ourRoot + QLatin1Char('/') + Library;
    if (QDir(lib + QStringLiteral("/part7")).count() != Files / 20 + 2 ||
        !QFile::exists(lib + QStringLiteral("/dropped.js")) ||
        QDir(QFileInfo(ourRoot).path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .size() != 1) {
        std::fprintf(stderr, "unexpected content after the upgrade\n");
        return 1;
    }

    const double mine = fastest(ours);
    const double ref = fastest(tools);
    std::printf(
        "# 2,000 files, 20 MB over the older version: cp -a + bsdtar + 2 mv + rm %.1f ms (median %.1f), "
        "extractZip %.1f ms (median %.1f); fastest of %d\n",
        ref, median(tools), mine, median(ours), rounds);
    std::printf("BENCH install_upgrade %.1f ms ratio=%.2f target=%.2f %s\n", mine, mine / ref, Target,
                mine / ref <= Target ? "ok" : "FAIL");
    return 0;
}
