#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <vector>

// What every benchmark measures with: elapsed milliseconds, the median and the fastest of a series.
namespace bench {

double ms(const QElapsedTimer& timer);
double median(std::vector<double> values);
double fastest(const std::vector<double>& values);
// Writes every file's changed data to disk and waits for it, so a timed step does not pay for the
// write-back of what the step before it (the other side, or the set-up) left in memory.
void settleDisk();
// Round `round` of the two timed sides: they take turns going first, so that neither always meets
// the disk as the other left it. False as soon as a side fails.
bool bothSides(int round, const std::function<bool()>& tools, const std::function<bool()>& ours);
// `rounds` rounds of bothSides().
bool takeTurns(int rounds, const std::function<bool()>& tools, const std::function<bool()>& ours);

// Where a round's leftovers go: renamed into a folder instead of deleted, and deleted with it when
// the benchmark ends. Thousands of files deleted just before a timed round slow the file creation
// in it: ext4 does not hand out an inode freed in the last minute or so, and scans past every one.
class SetAside {
public:
    explicit SetAside(QString folder); // on the same file system as what it takes
    ~SetAside();
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;
    // Moves `path` (when it exists) into the folder; true when nothing is left at `path`.
    bool take(const QString& path);

private:
    QString folder_;
    int taken_ = 0;
};

// Prints "BENCH name value ms ratio=R target=T ok|FAIL", the line scripts/bench collects.
void report(const char* name, double valueMs, double ratio, double target);

} // namespace bench
