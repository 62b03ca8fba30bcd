#include "ui/Worker.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

namespace worker {

namespace {

// How often a running worker's count is shown, at most.
constexpr qint64 ReportIntervalMs = 100;

} // namespace

void runBehindProgress(Platform& platform, const QString& label,
                       const std::function<void(const Link&)>& work) {
    const std::unique_ptr<Platform::Progress> progress = platform.beginProgress(label);
    runBehindProgress(*progress, work);
}

void runBehindProgress(Platform::Progress& progress, const std::function<void(const Link&)>& work) {
    std::atomic_bool cancel{false};
    progress.setCancelHandler([&cancel] { cancel = true; });

    QObject receiver; // lives on the window's thread: the reports are shown there
    QElapsedTimer sinceReport;
    bool reported = false; // touched by the worker only
    const Link link{[&](qint64 done) {
                        if (reported && sinceReport.elapsed() < ReportIntervalMs) {
                            return;
                        }
                        reported = true;
                        sinceReport.start();
                        QMetaObject::invokeMethod(
                            &receiver, [&progress, done] { progress.setCount(done); },
                            Qt::BlockingQueuedConnection);
                    },
                    [&cancel] { return cancel.load(); }};

    QEventLoop loop;
    const std::unique_ptr<QThread> thread(QThread::create([&work, &link] { work(link); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // The progress indicator holds the window's input back itself and needs its Cancel button.
    loop.exec();
    thread->wait();
    progress.setCancelHandler({}); // `cancel` ends here; the indicator may outlive it
}

} // namespace worker
