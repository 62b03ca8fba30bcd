#pragma once

#include "FakePlatform.h"
#include "settings/AppFolder.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

class MainWindow;

// One flow of the main window, run against an application folder: in this process, or in a child
// process (this test program started with --child) that a test can limit or kill.
namespace faults {

enum class Flow {
    StartUp,      // the window starts; its catalog download is the flow
    Refresh,      // the catalog refresh of the menu
    Install,      // the install button of a library of the network list
    LocalInstall, // the local install of a library folder (local/<item>/<item>.xml)
    Example,      // a double click on a shared example
    BoardChoice,  // choosing board Mega, which writes the settings file
    Upgrade,      // the package <appDir>/Big.zip unpacked into the library root, no window; the
                  // child prints "step N" before each install::Step N and stops for good before the
                  // step named by item ("N"), or goes on ("N+")
};

struct FlowRequest {
    Flow flow = Flow::StartUp;
    QString appDir;
    QString faultyBase; // the catalog server the flow itself talks to
    QString item;       // the library, local folder or example package the flow installs
    int stallMs = 3000;
    int catalogDeadlineMs = 120000;
    qint64 packageMaxBytes = qint64(1) << 30;

    QStringList toArguments() const;
    static FlowRequest fromArguments(const QStringList& arguments);
};

// The window and its fake desktop. Confirmations are answered with OK, other questions with their
// default button.
class WindowSession final {
public:
    explicit WindowSession(FlowRequest request);
    ~WindowSession();
    Q_DISABLE_COPY_MOVE(WindowSession)

    // Everything before the flow: the window starts against the server its settings name (for every
    // flow but the start-up), then the flow is pointed at the faulty server and its item is chosen.
    void prepare();
    void run();

    FakePlatform platform;
    MainWindow* window() const { return form_.get(); }

private:
    AppFolder appFolder() const;
    void startWindow();

    FlowRequest request_;
    std::unique_ptr<MainWindow> form_;
};

// The child side: runs the request given on the command line, prints "progress N" for every
// progress report, "ready" after prepare(), waits for a line on stdin, then limits the size of the
// files it may write to `fileSizeLimit` bytes (when > 0), runs the flow and prints each message
// shown as "message <base64 of UTF-8>".
int runChild(const QStringList& arguments);

// The parent side of a child session.
class ChildWindow final {
public:
    ChildWindow() = default;
    ~ChildWindow();
    Q_DISABLE_COPY_MOVE(ChildWindow)

    // Starts the child and waits until it is prepared. False (see errorText()) when it did not get
    // there.
    bool start(const FlowRequest& request, qint64 fileSizeLimit);
    // Lets the prepared child run its flow.
    void go();
    // Waits for a progress report of more than zero bytes.
    bool waitForBytes();
    // Waits for the line `line` from the child.
    bool waitForLine(const QByteArray& line);
    void kill();
    // Waits for the end of the child; the messages it showed.
    QStringList finish();
    bool wasKilled() const;
    QString errorText() const { return error_; }

private:
    bool readLine(QByteArray& line);

    QProcess process_;
    QByteArray pending_;
    QStringList messages_;
    QString error_;
};

} // namespace faults
