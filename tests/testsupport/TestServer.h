#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real HTTP server on 127.0.0.1 for tests: scripts/catalog_server.py (python3, standard library
// only; the environment variable QUENRA_TEST_SERVER, set by quenra_add_test, names the script)
// serving the files of one folder on a free port. It runs from the constructor to the destructor.
//
//   TestServer server(folderWithFiles);
//   QVERIFY2(server.isRunning(), qPrintable(server.errorText()));
//   settings "fuwuqi=" + server.baseUrl()            -> http://127.0.0.1:P/
//   settings "fuwuqi=" + server.baseUrl("status/404") -> every request answers 404
//
// A base address may carry a misbehaviour as its first path segments ("status/404", "cut",
// "redirect/2/slow", ...): scripts/catalog_server.py lists them. A missing file answers a plain 404.
//
// Every request's raw path (as sent, with the mode prefix and percent-escapes) is logged before the
// answer goes out, so once a transfer has ended requestLog() shows it.
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
