#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real HTTP server on 127.0.0.1 for tests, from the constructor to the destructor:
// scripts/catalog_server.py (named by QUENRA_TEST_SERVER, which quenra_add_test sets) serving the
// files of one folder on a free port. A base address may carry a misbehaviour as its first path
// segments (baseUrl("status/404"), "cut", "redirect/2/slow", ...: the script lists them). Every
// request's raw path is logged before the answer goes out, so once a transfer has ended
// requestLog() shows it.
class TestServer final {
public:
    // Serves `root`. Waits until the server accepts connections (or gives up after 10 s).
    explicit TestServer(const QString& root);
    ~TestServer();
    Q_DISABLE_COPY_MOVE(TestServer)

    bool isRunning() const { return port_ != 0; }
    // Why the server did not start.
    QString errorText() const { return error_; }
    quint16 port() const { return port_; }
    // The folder served.
    QString root() const { return root_; }

    // "http://127.0.0.1:P/" followed by `mode` and "/" when a mode is given.
    QString baseUrl(const QString& mode = QString()) const;

    // Raw paths of the requests so far, oldest first ("/KU.txt", "/status/404/KU.txt", "/.zip").
    QStringList requestLog() const;
    void clearLog();

    // A port of 127.0.0.1 on which nothing listens (connections are refused).
    static quint16 unusedPort();

private:
    QString root_;
    QTemporaryDir logDir_;
    QString logPath_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};
