// Typing into the search box on a catalog of 100,000 libraries: the time from a key to both library
// lists showing the rows that match, measured on the real window (offscreen, fake desktop), against a
// plain QString::contains scan of the same names in the same run.
//
// Usage: bench_filter [LIBRARIES]   (default 100,000)
//
// Targets: the median keystroke at most 16 ms (one frame), and at most twice the plain scan.

#include "BenchSupport.h"
#include "CatalogGenerator.h"
#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>

#include <algorithm>
#include <cstdio>

namespace {

constexpr double FrameMs = 16.0;
constexpr double RatioTarget = 2.0;

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int libraries = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;

    // No server answers: start-up shows the cached catalog, as it does without a network.
    TempAppFolder folder({QStringLiteral("fuwuqi=http://127.0.0.1:1/")});
    folder.writeFile(QStringLiteral("Dravonel/ku/Ku.txt"), generateCatalog(libraries));
    FakePlatform platform;
    MainWindow w(folder.context(&platform));
    w.startUp();
    auto* search = child<QLineEdit>(w, "Text20");
    const QStringList names = rows(child<QListView>(w, "List2"));

    // What a user types, letter by letter, and deletes again.
    const QStringList typed{"l",     "li",   "lib", "lib1", "lib12", "lib123",
                            "lib12", "lib1", "lib", "li",   "l",     ""};
    search->setText(QStringLiteral("x")); // the first search builds the searchable text
    std::vector<double> keys;
    std::vector<double> scans;
    qsizetype sink = 0;
    for (int round = 0; round < 5; ++round) {
        for (const QString& text : typed) {
            QElapsedTimer t;
            t.start();
            search->setText(text);
            keys.push_back(bench::ms(t));
            sink += child<QListView>(w, "List2")->model()->rowCount();

            t.start();
            qsizetype found = 0;
            for (const QString& name : names) {
                found += name.contains(text, Qt::CaseInsensitive) ? 1 : 0;
            }
            scans.push_back(bench::ms(t));
            sink += found;
        }
    }
    const double key = bench::median(keys);
    const double scan = bench::median(scans);
    std::printf("# %d libraries; keystroke %.3f ms, plain scan %.3f ms (%lld)\n", libraries, key, scan,
                static_cast<long long>(sink % 10));
    bench::report("filter_keystroke", key, key / FrameMs, 1.0);
    bench::report("filter_keystroke_vs_scan", key, key / scan, RatioTarget);
    return 0;
}
