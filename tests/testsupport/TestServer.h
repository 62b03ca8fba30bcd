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
// A base address may carry a misbehaviour as its first path segments (modes stack, e.g.
// "redirect/2/slow"):
//   status/NNN       answers NNN with an HTML page that contains "公告" (GBK)
//   plain/NNN        answers NNN with a short plain-text body, without "公告"
//   nomarker         200 with a GBK page without "公告"
//   stall            sends the file's headers, then nothing
//   silent           never answers
//   cut              announces 1000 bytes more than the file has, sends the file, closes
//   reset            announces the file's length, sends its first half, then resets the
//                    connection (RST through a zero linger time, not an orderly close)
//   slow             sends the file in 10 pieces, 100 ms apart (about one second in all)
//   trickle          sends the file's headers, then one byte every 0.5 s (no stall, no end)
//   gzip             the file gzip-compressed when the request accepts gzip, else as it is; with
//                    cut, a compressed body stops at 60 %
//   forcegzip        the same, compressed whatever the request accepts
//   chunked          chunked transfer coding; with cut, the last chunk never comes
//   redirect/N       redirects N times before serving
//   loop             redirects to itself for ever
//   big              200 with Content-Length 64 MiB + 1 (generated, not stored)
//   big-nolength     the same body without Content-Length
// A missing file answers a plain 404 (no "公告"). Names are read as UTF-8 percent-escapes, or GBK.
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
