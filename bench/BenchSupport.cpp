#include "BenchSupport.h"

#include <algorithm>

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

} // namespace bench
