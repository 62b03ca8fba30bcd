#pragma once

#include <QElapsedTimer>

#include <vector>

// What every benchmark measures with: elapsed milliseconds, the median and the fastest of a series.
namespace bench {

double ms(const QElapsedTimer& timer);
double median(std::vector<double> values);
double fastest(const std::vector<double>& values);
// Writes every file's changed data to disk and waits for it, so a timed step does not pay for the
// write-back of what the step before it (the other side, or the set-up) left in memory.
void settleDisk();
// Prints "BENCH name value ms ratio=R target=T ok|FAIL", the line scripts/bench collects.
void report(const char* name, double valueMs, double ratio, double target);

} // namespace bench
