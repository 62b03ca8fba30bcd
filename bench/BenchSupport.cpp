#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

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

void report(const char* name, double valueMs, double ratio, double target) {
    std::printf("BENCH %s %.4f ms ratio=%.3f target=%.2f %s\n", name, valueMs, ratio, target,
                ratio <= target ? "ok" : "FAIL");
}

} // namespace bench
