// One tick of the scrolling notice (Timer1: the move and the repaint it causes) with a notice of
// 1 MB against one of 20 characters, on the real window (offscreen, fake desktop). The notice comes
// from the catalog cache as the parse reads it (Command3).
//
// Targets: the 1 MB notice's median tick at most 1 ms, and at most twice the 20-character one's.
#include "BenchSupport.h"
#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

constexpr double AbsoluteTargetMs = 1.0;
constexpr double RatioTarget = 2.0;

// The median tick with `notice` scrolling, over enough ticks to cross the panel more than once for
// the short notice.
double medianTick(MainWindow& w, TempAppFolder& folder, const QString& notice) {
    folder.writeGbk(QStringLiteral("Dravonel/ku/Ku.txt"),
                    QStringLiteral("公告：") + notice + QStringLiteral("\r\n"));
    press(w, "Command3");
    QApplication::processEvents();
    std::vector<double> ticks;
    for (int i = 0; i < 600; ++i) {
        QElapsedTimer t;
        t.start();
        tick(w, "Timer1");
        QApplication::processEvents(); // the repaint the move asked for
        ticks.push_back(bench::ms(t));
    }
    return bench::median(ticks);
}

void report(const char* name, double value, double ratio, double target) {
    std::printf("BENCH %s %.3f ms ratio=%.2f target=%.2f %s\n", name, value, ratio, target,
                ratio <= target ? "ok" : "FAIL");
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TempAppFolder folder({QStringLiteral("fuwuqi=http://127.0.0.1:1/")});
    FakePlatform platform;
    MainWindow w(folder.context(&platform));
    w.startUp();
    w.show();
    child<QTimer>(w, "Timer1")->stop(); // ticks are driven by hand

    QString big;
    const QString phrase = QStringLiteral("欢迎使用Quenra小助手，库已更新！"); // 19 characters
    while (big.size() < 1024 * 1024) {
        big += phrase;
    }
    const double shortTick = medianTick(w, folder, QStringLiteral("欢迎使用Quenra小助手，库更新了啦！"));
    const double longTick = medianTick(w, folder, big);
    std::printf("# notice tick: 20 characters %.3f ms, %lld characters %.3f ms (label %d px wide)\n",
                shortTick, static_cast<long long>(big.size()), longTick,
                child<QLabel>(w, "Label18")->width());
    report("notice_tick", longTick, longTick / AbsoluteTargetMs, 1.0);
    report("notice_tick_vs_short", longTick, longTick / shortTick, RatioTarget);
    return 0;
}
