#include "BenchSupport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace bench {

double ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void settleDisk() {
    ::sync();
}

bool bothSides(int round, const std::function<bool()>& tools, const std::function<bool()>& ours) {
    return round % 2 == 0 ? tools() && ours() : ours() && tools();
}

bool takeTurns(int rounds, const std::function<bool()>& tools, const std::function<bool()>& ours) {
    for (int round = 0; round < rounds; ++round) {
        if (!bothSides(round, tools, ours)) {
            return false;
        }
    }
    return true;
}

SetAside::SetAside(QString folder)
    : folder_(std::move(folder)) {
    QDir().mkpath(folder_);
}

SetAside::~SetAside() {
    QDir(folder_).removeRecursively();
}

bool SetAside::take(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    return QDir().rename(path, folder_ + QLatin1Char('/') + QString::number(taken_++));
}

void report(const char* name, double valueMs, double ratio, double target) {
    std::printf("BENCH %s %.4f ms ratio=%.3f target=%.2f %s\n", name, valueMs, ratio, target,
                ratio <= target ? "ok" : "FAIL");
}

} // namespace bench
