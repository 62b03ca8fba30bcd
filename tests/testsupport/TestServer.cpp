#include "TestServer.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>

namespace {

QString serverPath() {
    return qEnvironmentVariable("QUENRA_TEST_SERVER", QStringLiteral(QUENRA_CATALOG_SERVER));
}

} // namespace

TestServer::TestServer(const QString& root)
    : root_(root)
    , logPath_(logDir_.filePath(QStringLiteral("requests.log"))) {
    const QString program = serverPath();
    process_.setProgram(program);
    process_.setArguments({QStringLiteral("--root"), root, QStringLiteral("--log"), logPath_});
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(10000)) {
        error_ = program + QStringLiteral(" did not start: ") + process_.errorString();
        return;
    }
    // The first line of its output is the port; it is listening by then.
    QByteArray line;
    while (!line.contains('\n') && process_.waitForReadyRead(10000)) {
        line += process_.readAllStandardOutput();
    }
    const quint16 port = line.trimmed().toUShort();
    if (port == 0) {
        error_ = QStringLiteral("server reported no port: ") + QString::fromUtf8(line) +
                 QString::fromUtf8(process_.readAllStandardError());
        return;
    }
    port_ = port;
}

TestServer::~TestServer() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString TestServer::baseUrl(const QString& mode) const {
    QString url = QStringLiteral("http://127.0.0.1:") + QString::number(port_) + QLatin1Char('/');
    if (!mode.isEmpty()) {
        url += mode + QLatin1Char('/');
    }
    return url;
}

QStringList TestServer::requestLog() const {
    QFile f(logPath_);
    return f.open(QIODevice::ReadOnly) && f.seek(logStart_)
               ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
               : QStringList();
}

// The server keeps writing where it was (Windows has no append mode that follows a truncation), so
// the log is not cut; what it held is passed over.
void TestServer::clearLog() {
    logStart_ = QFileInfo(logPath_).size();
}

quint16 TestServer::unusedPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        return 1;
    }
    const quint16 port = server.serverPort();
    server.close();
    return port;
}
