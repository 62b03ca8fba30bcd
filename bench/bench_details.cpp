// A click in the network-library list on a catalog of 10,000 libraries: the details panel reads the
// library's eight catalog values and its description file and builds the text. Measured on the real
// window (offscreen, fake desktop), against one read-and-decode of the catalog file in the same run.
//
// Usage: bench_details [LIBRARIES]   (default 10,000)
//
// Targets: the median click at most 5 ms, and at most twice one read-and-decode of the catalog.

#include "BenchSupport.h"
#include "FakePlatform.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"
#include "app/RowsModel.h"
#include "settings/Gbk.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>

namespace {

using bench::median;

constexpr double AbsoluteTargetMs = 5.0;
constexpr double RatioTarget = 2.0;

QString libraryName(int i) {
    return QStringLiteral("Lib%1").arg(i, 5, 10, QLatin1Char('0'));
}

// A catalog laid out as the server publishes it: the notice keys, then one section per library.
QString makeCatalog(int libraries) {
    QString text =
        QStringLiteral("[公告]\r\n公告=欢迎使用，库更新了！\r\n版本=1.03\r\n更新时间=2024-05-01\r\n");
    text.reserve(libraries * 260);
    for (int i = 0; i < libraries; ++i) {
        const QString n = libraryName(i);
        text += QStringLiteral("[") + n + QStringLiteral("]\r\n库名=") + n +
                QStringLiteral("传感器库\r\n作者=开发者") + QString::number(i % 97) +
                QStringLiteral("\r\n库版本=1.") + QString::number(i % 10) +
                QStringLiteral("\r\n适用板卡=Arduino Uno,ESP32\r\n更新日期=2024年03月02日\r\n联系方式=QQ ") +
                QString::number(100000 + i) +
                QStringLiteral("\r\n网址=https://quenra-helper.example.com/lib/") + n +
                QStringLiteral("\r\n库简介=读取传感器的数值并在串口打印，支持多种板卡。\r\n");
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int libraries = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;

    TempAppFolder folder({QStringLiteral("fuwuqi=http://127.0.0.1:1/"), QStringLiteral("Kuliebiao=Uno")});
    const QString exe = folder.file(QStringLiteral("host/Quenra.exe"));
    folder.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    const QString root = QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty/");
    // Every tenth library is installed, half of them at the catalog's version.
    for (int i = 0; i < libraries; i += 10) {
        const QString n = libraryName(i);
        folder.writeGbk(root + n + QStringLiteral("/readme.txt"),
                        QStringLiteral("[") + n + QStringLiteral("]\r\n库名=") + n +
                            QStringLiteral("\r\n库版本=1.") + QString::number(i % 20 == 0 ? i % 10 : 9) +
                            QStringLiteral("\r\n"));
    }
    const QString cache = folder.file(QStringLiteral("Dravonel/ku/Ku.txt"));
    folder.writeGbk(QStringLiteral("Dravonel/ku/Ku.txt"), makeCatalog(libraries));

    FakePlatform platform;
    folder.writeConfig({QStringLiteral("fuwuqi=http://127.0.0.1:1/"), QStringLiteral("Kuliebiao=Uno"),
                        QStringLiteral("quenra=") + exe});
    MainWindow w(folder.context(&platform));
    w.startUp();
    // Start-up may have replaced or parsed the cache; the benchmark's catalog is the one measured.
    folder.writeGbk(QStringLiteral("Dravonel/ku/Ku.txt"), makeCatalog(libraries));
    QStringList names;
    for (int i = 0; i < libraries; ++i) {
        names << libraryName(i);
    }
    controls::rowsOf(child<QListView>(w, "List2")).setRows(names);

    // Reference: one read of the catalog file and its decoding from code page 936.
    std::vector<double> readDecode;
    qsizetype sink = 0;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        QFile f(cache);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(cache));
            return 1;
        }
        sink += gbk::decode(f.readAll()).size();
        readDecode.push_back(t.nsecsElapsed() / 1e6);
    }

    // Clicks spread over the list; the first one also builds the catalog index.
    std::vector<double> clicks;
    double first = 0;
    for (int i = 0; i < 401; ++i) {
        const int row = int((qint64(i) * 7919) % libraries);
        QElapsedTimer t;
        t.start();
        child<QListView>(w, "List2")->setCurrentIndex(child<QListView>(w, "List2")->model()->index(row, 0));
        const double elapsed = t.nsecsElapsed() / 1e6;
        if (i == 0) {
            first = elapsed;
        }
        clicks.push_back(elapsed);
        sink += child<QPlainTextEdit>(w, "Text11")->toPlainText().size();
    }
    const double reference = median(readDecode);
    const double click = median(clicks);
    std::printf("# catalog %d libraries, %.1f MB; read-and-decode %.3f ms; first click %.3f ms; (%lld)\n",
                libraries, QFileInfo(cache).size() / 1e6, reference, first,
                static_cast<long long>(sink % 10));
    bench::report("details-click-median", click, click / AbsoluteTargetMs, 1.0);
    bench::report("details-click-vs-read-decode", click, click / reference, RatioTarget);
    return 0;
}
