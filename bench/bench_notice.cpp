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

// A started window whose notice, from its catalog cache as the parse reads it, is `notice`; its
// timer is stopped, the ticks are driven by hand.
struct NoticeWindow {
    TempAppFolder folder{{QStringLiteral("fuwuqi=http://127.0.0.1:1/")}};
    FakePlatform platform;
    MainWindow window{folder.context(&platform)};
    explicit NoticeWindow(const QString& notice) {
        window.startUp();
        window.show();
        child<QTimer>(window, "Timer1")->stop();
        folder.writeGbk(QStringLiteral("Dravonel/ku/Ku.txt"),
                        QStringLiteral("公告：") + notice + QStringLiteral("\r\n"));
        press(window, "Command3");
        QApplication::processEvents();
    }
    // One tick: the move and the repaint it asks for.
    double tickMs() {
        QElapsedTimer t;
        t.start();
        tick(window, "Timer1");
        QApplication::processEvents();
        return bench::ms(t);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString big;
    const QString phrase = QStringLiteral("欢迎使用Quenra小助手，库已更新！"); // 19 characters
    while (big.size() < 1024 * 1024) {
        big += phrase;
    }
    NoticeWindow shortNotice(QStringLiteral("欢迎使用Quenra小助手，库更新了啦！")); // 20 characters
    NoticeWindow longNotice(big);
    // Ticks of the two alternate, so both see the same load of the machine.
    std::vector<double> shortTicks;
    std::vector<double> longTicks;
    for (int i = 0; i < 600; ++i) {
        shortTicks.push_back(shortNotice.tickMs());
        longTicks.push_back(longNotice.tickMs());
    }
    const double shortTick = bench::median(shortTicks);
    const double longTick = bench::median(longTicks);
    std::printf("# notice tick: 20 characters %.3f ms, %lld characters %.3f ms (label %d px wide)\n",
                shortTick, static_cast<long long>(big.size()), longTick,
                child<QLabel>(longNotice.window, "Label18")->width());
    bench::report("notice_tick", longTick, longTick / AbsoluteTargetMs, 1.0);
    bench::report("notice_tick_vs_short", longTick, longTick / shortTick, RatioTarget);
    return 0;
}
