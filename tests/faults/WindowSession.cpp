#include "WindowSession.h"
#include "Widgets.h"

#include "AppWindow.h"
#include "Places.h"
#include "install/Extract.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include <sys/resource.h>

namespace faults {

QStringList FlowRequest::toArguments() const {
    return {QString::number(int(flow)),
            appDir,
            faultyBase,
            item,
            QString::number(stallMs),
            QString::number(catalogDeadlineMs),
            QString::number(packageMaxBytes)};
}

FlowRequest FlowRequest::fromArguments(const QStringList& a) {
    FlowRequest r;
    if (a.size() >= 7) {
        r.flow = Flow(a[0].toInt());
        r.appDir = a[1];
        r.faultyBase = a[2];
        r.item = a[3];
        r.stallMs = a[4].toInt();
        r.catalogDeadlineMs = a[5].toInt();
        r.packageMaxBytes = a[6].toLongLong();
    }
    return r;
}

WindowSession::WindowSession(FlowRequest request)
    : request_(std::move(request)) {
    platform.onMessage = [](const Platform::Message& m) -> std::optional<Platform::Answer> {
        if (m.buttons == Platform::Buttons::OkCancel && m.icon == Platform::Icon::Question) {
            return Platform::Answer::Ok;
        }
        return std::nullopt;
    };
}

WindowSession::~WindowSession() = default;

AppFolder WindowSession::appFolder() const {
    AppFolder folder;
    folder.dir = request_.appDir;
    folder.sep = QLatin1Char('/');
    return folder;
}

void WindowSession::startWindow() {
    AppContext context;
    context.folder = appFolder();
    context.platform = &platform;
    context.timeouts.connectMs = 3000;
    context.timeouts.stallMs = request_.stallMs;
    context.timeouts.catalogDeadlineMs = request_.catalogDeadlineMs;
    context.timeouts.packageMaxBytes = request_.packageMaxBytes;
    form_ = startMainWindow(context);
}

void WindowSession::prepare() {
    const Flow flow = request_.flow;
    if (flow == Flow::StartUp) {
        Settings(appFolder()).write(keys::CatalogServer, request_.faultyBase);
        return;
    }
    startWindow();
    MainWindow& w = *form_;
    switch (flow) {
    case Flow::Refresh:
        // The refresh reuses the address of the last download: one from the faulty server, by the
        // retry link, whose own outcome is not the flow's.
        Settings(appFolder()).write(keys::CatalogServer, request_.faultyBase);
        press(w, "Label2");
        platform.clear();
        break;
    case Flow::Install:
        Settings(appFolder()).write(keys::CatalogServer, request_.faultyBase);
        if (const QList<QListWidgetItem*> found =
                child<QListWidget>(w, "List2")->findItems(request_.item, Qt::MatchExactly);
            !found.isEmpty()) {
            child<QListWidget>(w, "List2")->setCurrentItem(found.first());
        }
        break;
    case Flow::Example:
        Settings(appFolder()).write(keys::CatalogServer, request_.faultyBase);
        if (const QList<QListWidgetItem*> found =
                child<QListWidget>(w, "List6")
                    ->findItems(QLatin1Char('[') + request_.item + QLatin1Char(']'), Qt::MatchEndsWith);
            !found.isEmpty()) {
            child<QListWidget>(w, "List6")->setCurrentItem(found.first());
        }
        break;
    case Flow::LocalInstall:
        platform.fileAnswers = {request_.appDir + QStringLiteral("/local/") + request_.item +
                                QLatin1Char('/') + request_.item + QStringLiteral(".xml")};
        break;
    case Flow::StartUp:
    case Flow::BoardChoice:
    case Flow::Upgrade:
        break;
    }
}

void WindowSession::run() {
    if (request_.flow == Flow::StartUp) {
        startWindow();
        return;
    }
    MainWindow& w = *form_;
    switch (request_.flow) {
    case Flow::Refresh:
        child<QAction>(w, "wangluoku")->trigger();
        break;
    case Flow::Install: {
        // Install, update or reinstall: whichever the details show; they run the same flow.
        QPushButton* button = child<QPushButton>(w, "Command13");
        for (QPushButton* b : {child<QPushButton>(w, "Command13"), child<QPushButton>(w, "Command19"),
                               child<QPushButton>(w, "Command6")}) {
            if (b->isVisibleTo(&w)) {
                button = b;
            }
        }
        button->click();
        break;
    }
    case Flow::Example:
        if (QListWidgetItem* row = child<QListWidget>(w, "List6")->currentItem()) {
            Q_EMIT child<QListWidget>(w, "List6")->itemDoubleClicked(row);
        }
        break;
    case Flow::LocalInstall:
        child<QPushButton>(w, "Command14")->click();
        break;
    case Flow::BoardChoice: {
        const int index = child<QComboBox>(w, "Combo2")->findText(QStringLiteral("Mega"));
        child<QComboBox>(w, "Combo2")->setCurrentIndex(index);
        Q_EMIT child<QComboBox>(w, "Combo2")->activated(index);
        break;
    }
    case Flow::StartUp:
    case Flow::Upgrade:
        break;
    }
}

namespace {

int runUpgrade(const FlowRequest& request) {
    std::printf("ready\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    const bool goesOn = request.item.endsWith(QLatin1Char('+'));
    const int stopAt = QStringView(request.item).left(request.item.size() - (goesOn ? 1 : 0)).toInt();
    const auto check = [&](install::Step step, const QString&) {
        std::printf("step %d\n", int(step));
        std::fflush(stdout);
        if (int(step) == stopAt && !goesOn) {
            std::getline(std::cin, line); // until the parent kills this process
        }
        return true;
    };
    install::extractZipChecked(request.appDir + QStringLiteral("/Big.zip"),
                               request.appDir + QLatin1Char('/') + LibraryRoot, {}, check);
    return 0;
}

} // namespace

int runChild(const QStringList& arguments) {
    const FlowRequest request = FlowRequest::fromArguments(arguments);
    if (request.flow == Flow::Upgrade) {
        return runUpgrade(request);
    }
    const qint64 limit = arguments.value(7).toLongLong();
    WindowSession session(request);
    session.platform.onProgress = [](qint64 received, qint64) {
        std::printf("progress %lld\n", static_cast<long long>(received));
        std::fflush(stdout);
    };
    session.prepare();
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    if (limit > 0) {
        // A write past the limit then fails with EFBIG, as on a full disk, instead of ending the
        // process with SIGXFSZ.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    session.run();
    for (const Platform::Message& m : session.platform.messages) {
        std::printf("message %s\n", m.text.toUtf8().toBase64().constData());
    }
    std::fflush(stdout);
    return 0;
}

ChildWindow::~ChildWindow() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool ChildWindow::readLine(QByteArray& line) {
    while (!pending_.contains('\n')) {
        if (!process_.waitForReadyRead(30000)) {
            pending_ += process_.readAllStandardOutput();
            if (!pending_.contains('\n')) {
                return false;
            }
            break;
        }
        pending_ += process_.readAllStandardOutput();
    }
    const qsizetype end = pending_.indexOf('\n');
    line = pending_.left(end);
    pending_.remove(0, end + 1);
    if (line.startsWith("message ")) {
        messages_ << QString::fromUtf8(QByteArray::fromBase64(line.mid(8)));
    }
    return true;
}

bool ChildWindow::start(const FlowRequest& request, qint64 fileSizeLimit) {
    process_.setProgram(QCoreApplication::applicationFilePath());
    process_.setArguments(QStringList{QStringLiteral("--child")} + request.toArguments() +
                          QStringList{QString::number(fileSizeLimit)});
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted()) {
        error_ = process_.errorString();
        return false;
    }
    QByteArray line;
    while (readLine(line)) {
        if (line == "ready") {
            return true;
        }
    }
    error_ = QStringLiteral("the child never got ready");
    return false;
}

void ChildWindow::go() {
    process_.write("go\n");
    process_.waitForBytesWritten();
}

bool ChildWindow::waitForBytes() {
    QByteArray line;
    while (readLine(line)) {
        if (line.startsWith("progress ") && line.mid(9).toLongLong() > 0) {
            return true;
        }
    }
    return false;
}

bool ChildWindow::waitForLine(const QByteArray& wanted) {
    // A step may come late on a busy machine: wait as long as the child runs.
    QByteArray line;
    while (readLine(line) || process_.state() == QProcess::Running) {
        if (line == wanted) {
            return true;
        }
        line.clear();
    }
    return false;
}

void ChildWindow::kill() {
    process_.kill();
    process_.waitForFinished();
}

QStringList ChildWindow::finish() {
    process_.waitForFinished(60000);
    pending_ += process_.readAllStandardOutput();
    QByteArray line;
    while (pending_.contains('\n') && readLine(line)) {
    }
    return messages_;
}

bool ChildWindow::wasKilled() const {
    return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::CrashExit;
}

} // namespace faults
