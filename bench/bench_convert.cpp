// Multi-line conversion of a large source against sed doing the same transformation on the same
// file, and the memory the conversion needs.
//
// Usage: bench_convert [LINES]        (default 1,000,000 lines, about 30 MB)
//        bench_convert --memory FILE  (internal: the memory measurement, run in a fresh process)
//
// Time: both sides read the CR LF source file and write the converted file. Ours decodes the UTF-8
// file into text, converts it and encodes the result; sed (byte-oriented, LC_ALL=C, its fastest
// mode) puts the first-line or line prefix in front of each line and the suffix before its CR.
// The two outputs are compared: they differ only by the line that our conversion adds for the
// empty piece after the source's final CR LF. Best of three runs each.
//
// Memory: a fresh process loads the source, drops the file bytes, resets its peak resident size
// (/proc/self/clear_refs), converts, and reads the new peak. Large blocks are set to come straight
// from the system so that freed memory leaves the resident set at once. Two figures:
//   convert-memory-extra  what the conversion adds at its peak, against the source file's size;
//   convert-memory-peak   the process at its peak (source text and output), against the source
//                         text it holds (UTF-16, two bytes a character).

#include "BenchSupport.h"
#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

using bench::ms;

constexpr double TimeTarget = 1.5;
constexpr double MemoryTarget = 4.0;

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Source lines that look like what users paste: the window's sample, cycled, with a counter in a
// comment on every other line so that no two stretches are alike.
QByteArray makeSource(qint64 lines) {
    const QStringList sample = convertstr::SampleSource.split(convertstr::LineBreak);
    QByteArray out;
    out.reserve(lines * 32);
    for (qint64 i = 0; i < lines; ++i) {
        out += sample.at(i % 36).toUtf8();
        if (i % 2 == 0) {
            out += "  // " + QByteArray::number(i);
        }
        out += "\r\n";
    }
    return out;
}

// Read, decode, convert, encode, write. Returns the total and the conversion's own time.
std::optional<std::pair<double, double>> runOurs(const QString& in, const QString& out) {
    QElapsedTimer total;
    total.start();
    const QString source = QString::fromUtf8(readFile(in));
    QElapsedTimer conversion;
    conversion.start();
    const std::optional<QString> converted = convert::convertLines(source);
    const double conversionMs = ms(conversion);
    if (!converted || !writeFile(out, converted->toUtf8())) {
        return std::nullopt;
    }
    return std::pair{ms(total), conversionMs};
}

std::optional<double> runSed(const QString& in, const QString& out) {
    QProcess sed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sed.setProcessEnvironment(env);
    sed.setStandardOutputFile(out);
    QElapsedTimer t;
    t.start();
    sed.start(QStringLiteral("sed"),
              {QStringLiteral("-e"), QStringLiteral("1s/^/'/"), QStringLiteral("-e"),
               QStringLiteral("2,$s/^/+'/"), QStringLiteral("-e"), QStringLiteral("s/\\r$/\\\\n'\\r/"), in});
    if (!sed.waitForFinished(-1) || sed.exitStatus() != QProcess::NormalExit || sed.exitCode() != 0) {
        return std::nullopt;
    }
    return ms(t);
}

qint64 statusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

// The child side of the memory measurement. Prints "<text bytes> <base kB> <peak kB> <maxrss kB>".
int measureMemory(const QString& path) {
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    QString source = QString::fromUtf8(readFile(path));
    const qint64 textBytes = source.size() * qint64(sizeof(QChar));

    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    if (!reset) {
        std::fprintf(stderr, "cannot reset the peak resident size\n");
        return 1;
    }
    const qint64 base = statusKb("VmRSS");
    const std::optional<QString> converted = convert::convertLines(source);
    const qint64 peak = statusKb("VmHWM");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%lld %lld %lld %ld\n", static_cast<long long>(textBytes), static_cast<long long>(base),
                static_cast<long long>(peak), usage.ru_maxrss);
    return converted ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--memory")) {
        return measureMemory(args[2]);
    }
    const qint64 lines = args.size() > 1 ? args[1].toLongLong() : 1000000;

    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.txt"));
    const QString ours = dir.filePath(QStringLiteral("ours.txt"));
    const QString sedOut = dir.filePath(QStringLiteral("sed.txt"));
    const QByteArray sourceBytes = makeSource(lines);
    if (!writeFile(source, sourceBytes)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 1;
    }
    std::printf("source: %lld lines, %.1f MB (CR LF)\n", static_cast<long long>(lines),
                sourceBytes.size() / 1e6);

    double bestOurs = std::numeric_limits<double>::max();
    double bestConversion = std::numeric_limits<double>::max();
    double bestSed = std::numeric_limits<double>::max();
    for (int run = 0; run < 3; ++run) {
        const std::optional<double> s = runSed(source, sedOut);
        const auto o = runOurs(source, ours);
        if (!s || !o) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        bestSed = std::min(bestSed, *s);
        bestOurs = std::min(bestOurs, o->first);
        bestConversion = std::min(bestConversion, o->second);
    }
    const bool same = readFile(ours) == readFile(sedOut) + "+'\\n'";
    std::printf("outputs %s\n", same ? "agree" : "DIFFER");

    const double ratio = bestOurs / bestSed;
    std::printf("sed %.1f ms; ours %.1f ms (conversion alone %.1f ms, the rest is reading, decoding, "
                "encoding and writing)\n",
                bestSed, bestOurs, bestConversion);
    std::printf("BENCH convert %.1f ms ratio=%.2f target=%.1f %s\n", bestOurs, ratio, TimeTarget,
                same && ratio <= TimeTarget ? "ok" : "FAIL");

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), source});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "memory measurement failed: %s\n", child.readAllStandardError().constData());
        return 1;
    }
    const QList<QByteArray> m = child.readAllStandardOutput().trimmed().split(' ');
    const double textBytes = m.value(0).toDouble();
    const double baseBytes = m.value(1).toDouble() * 1024;
    const double peakBytes = m.value(2).toDouble() * 1024;
    const double extraBytes = peakBytes - baseBytes;
    const double fileBytes = sourceBytes.size();
    // What the conversion needs beyond the text it is given, against the source's size; and the
    // process at its peak (source text and output together) against the source text it holds.
    const double extraRatio = extraBytes / fileBytes;
    const double peakRatio = peakBytes / textBytes;
    std::printf("memory: source file %.1f MB, source text %.1f MB (UTF-16); before converting %.1f MB "
                "resident, peak %.1f MB; the conversion added %.1f MB\n",
                fileBytes / 1e6, textBytes / 1e6, baseBytes / 1e6, peakBytes / 1e6, extraBytes / 1e6);
    const bool extraOk = extraRatio <= MemoryTarget;
    const bool peakOk = peakRatio <= MemoryTarget;
    std::printf("BENCH convert-memory-extra %.1f MB ratio=%.2f target=%.1f %s\n", extraBytes / 1e6,
                extraRatio, MemoryTarget, extraOk ? "ok" : "FAIL");
    std::printf("BENCH convert-memory-peak %.1f MB ratio=%.2f target=%.1f %s\n", peakBytes / 1e6, peakRatio,
                MemoryTarget, peakOk ? "ok" : "FAIL");
    return same && ratio <= TimeTarget && extraOk && peakOk ? 0 : 1;
}
