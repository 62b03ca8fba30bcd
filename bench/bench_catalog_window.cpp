// What a 10,000-library catalog costs the main window once it is in the cache: the parse with the
// three lists and the labels (the catalog parse, Command3). No target; the figures are for reading
// next to BENCH catalog_parse.

#include "BenchSupport.h"
#include "CatalogGenerator.h"
#include "Widgets.h"
#include "app/MainWindow.h"
#include "settings/Gbk.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::fastest;

// A desktop that answers every message with its default button and opens nothing.
class QuietPlatform final : public Platform {
public:
    Answer showMessage(const Message& m) override {
        return m.defaultButton == Answer::Yes ? Answer::No : m.defaultButton;
    }
    std::optional<QString> openFileDialog(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileDialog(const QString&, const QString&) override { return std::nullopt; }
    bool moveToTrash(const QString&) override { return false; }
    void openWithDesktop(const QString&) override {}
    void openForViewing(const QString&) override {}
    bool startProgram(const QString&) override { return false; }
    QString clipboardText() override { return {}; }
    bool setClipboardText(const QString&) override { return false; }
    std::unique_ptr<Progress> beginProgress(const QString&) override {
        class None final : public Progress {
            void setProgress(qint64, qint64) override {}
            void setCount(qint64) override {}
            void setCancelHandler(std::function<void()>) override {}
            void setLabel(const QString&) override {}
        };
        return std::make_unique<None>();
    }
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Dravonel/ku"));
    {
        QFile config(dir.filePath(QStringLiteral("Dravonel/config.ini")));
        if (!config.open(QIODevice::WriteOnly)) {
            return 1;
        }
        config.write("[Dravonel]\r\nbanben=1.03\r\nfuwuqi=http://127.0.0.1:1/\r\n");
    }
    const QByteArray catalog = generateCatalog(10000);
    {
        QFile cache(dir.filePath(QStringLiteral("Dravonel/ku/Ku.txt")));
        if (!cache.open(QIODevice::WriteOnly)) {
            return 1;
        }
        cache.write(catalog);
    }
    QuietPlatform platform;
    AppContext context;
    context.folder.dir = dir.path();
    context.folder.sep = QLatin1Char('/');
    context.platform = &platform;
    MainWindow window(context);
    window.show();

    std::vector<double> parse;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        press(window, "Command3");
        parse.push_back(t.nsecsElapsed() / 1e6);
        if (child<QListView>(window, "List2")->model()->rowCount() != 10000) {
            std::fprintf(stderr, "parse failed\n");
            return 1;
        }
        QApplication::processEvents();
    }
    std::printf("BENCH catalog_window %.1f ms (Command3: parse, lists, labels)\n", fastest(parse));
    return 0;
}
