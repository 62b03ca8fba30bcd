#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// quenra-catalog-server (tools/catalog-server) serving one folder on a free port of 127.0.0.1 while
// the object lives. A base address may carry misbehaviours as its first path segments
// (baseUrl("status/404"), "cut", "redirect/2/slow": the server's main.cpp lists them). Each request is
// logged before it is answered.
class TestServer final {
public:
    // Waits until the server accepts connections (or gives up after 10 s).
    explicit TestServer(const QString& root);
    ~TestServer();
    Q_DISABLE_COPY_MOVE(TestServer)

    bool isRunning() const { return port_ != 0; }
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
    qint64 logStart_ = 0; // where the requests since the last clearLog() begin
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};
