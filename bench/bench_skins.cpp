// Switching the skin of the open main window, as a click in the skin list does, against Qt applying
// the same style sheet text directly: the difference is what the skin engine adds (reading the file
// and checking it). Both sides alternate between two shipped skins and let the window repaint; the
// median of many switches is compared.
//
// Usage: bench_skins [SWITCHES]   (default 40; QUENRA_SOURCE_DIR names the repository)

#include "BenchSupport.h"
#include "app/MainWindow.h"
#include "skins/StyleSheetCheck.h"
#include "ui/Platform.h"
#include "ui/SkinEngine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;

constexpr double Target = 1.25;

// The window is only shown and restyled; nothing in it asks the desktop for anything.
class SilentPlatform final : public Platform {
public:
    Answer showMessage(const Message& message) override { return message.defaultButton; }
    std::optional<QString> openFileDialog(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileDialog(const QString&, const QString&) override { return std::nullopt; }
    bool moveToTrash(const QString&) override { return false; }
    void openWithDesktop(const QString&) override {}
    void openForViewing(const QString&) override {}
    bool startProgram(const QString&) override { return false; }
    QString clipboardText() override { return {}; }
    bool setClipboardText(const QString&) override { return false; }
    std::unique_ptr<Progress> beginProgress(const QString&) override { return nullptr; }
};

template <typename Switch> std::vector<double> timeSwitches(int count, Switch&& switchTo) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        switchTo(i % 2);
        QApplication::processEvents();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return times;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int switches = argc > 1 ? std::max(4, QString::fromLocal8Bit(argv[1]).toInt()) : 40;
    const QString skinFolder =
        qEnvironmentVariable("QUENRA_SOURCE_DIR") + QStringLiteral("/data/Dravonel/SkinH/");
    const QString paths[2] = {skinFolder + QStringLiteral("经典.qss"),
                              skinFolder + QStringLiteral("暗夜.qss")};
    QString sheets[2];
    for (int i = 0; i < 2; ++i) {
        const std::optional<QString> text = loadSkinFile(paths[i]);
        if (!text) {
            std::fprintf(stderr, "cannot load %s (set QUENRA_SOURCE_DIR)\n", qPrintable(paths[i]));
            return 1;
        }
        sheets[i] = baseStyleSheet() + QLatin1Char('\n') + *text;
    }

    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Dravonel/SkinH"));
    SilentPlatform platform;
    AppContext context;
    context.folder.dir = dir.path();
    context.folder.sep = QLatin1Char('/');
    context.platform = &platform;
    MainWindow window(context);
    window.show();
    SkinH_Attach();
    QApplication::processEvents();

    // Warm up both paths once, then interleave the measurements so drift hits both alike.
    std::vector<double> ours;
    std::vector<double> qt;
    for (int round = 0; round < 2; ++round) {
        const bool keep = round > 0;
        auto o = timeSwitches(switches / 2, [&](int i) { SkinH_AttachEx(paths[i], QString()); });
        auto q = timeSwitches(switches / 2, [&](int i) { qApp->setStyleSheet(sheets[i]); });
        if (keep) {
            ours = std::move(o);
            qt = std::move(q);
        }
    }
    const double oursMs = median(ours);
    const double qtMs = median(qt);
    const double ratio = oursMs / qtMs;
    std::printf("BENCH skin-switch %.2f ms ratio=%.2f target=%.2f %s\n", oursMs, ratio, Target,
                ratio <= Target ? "ok" : "FAIL");
    std::printf("# reference: Qt applying the same sheet text %.2f ms (median of %zu switches each)\n", qtMs,
                qt.size());
    return 0;
}
