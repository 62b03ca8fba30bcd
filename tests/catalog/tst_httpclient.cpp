#include "TestServer.h"
#include "catalog/HttpClient.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using net::Outcome;

Q_DECLARE_METATYPE(net::Outcome)

namespace {

constexpr qint64 CatalogLimit = 64LL * 1024 * 1024;

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A body large enough to arrive in many pieces.
QByteArray sampleBody() {
    QByteArray body;
    for (int i = 0; i < 20000; ++i) {
        body += "line " + QByteArray::number(i) + " \xb9\xab\xb8\xe6\r\n"; // "公告" in GBK
    }
    return body;
}

} // namespace

class TestHttpClient final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir root_;
    std::unique_ptr<TestServer> server_;
    QByteArray body_;

private Q_SLOTS:
    void initTestCase() {
        body_ = sampleBody();
        writeFile(root_.filePath(QStringLiteral("KU.txt")), body_);
        writeFile(root_.filePath(QStringLiteral("Servo Motor.zip")), "servo");
        writeFile(root_.filePath(QStringLiteral("RGB灯带.zip")), "rgb");
        server_ = std::make_unique<TestServer>(root_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }

    void fetchOutcome_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("status");
        QTest::newRow("plain file") << "KU.txt" << Outcome::Ok << 200;
        QTest::newRow("404 with marker") << "status/404/KU.txt" << Outcome::HttpError << 404;
        QTest::newRow("500") << "status/500/KU.txt" << Outcome::HttpError << 500;
        QTest::newRow("missing file") << "nothing.txt" << Outcome::HttpError << 404;
        QTest::newRow("body cut short") << "cut/KU.txt" << Outcome::Truncated << 200;
        QTest::newRow("five redirects") << "redirect/5/KU.txt" << Outcome::Ok << 200;
        QTest::newRow("six redirects") << "redirect/6/KU.txt" << Outcome::BadRedirect << 302;
        QTest::newRow("redirect loop") << "loop/KU.txt" << Outcome::BadRedirect << 302;
        QTest::newRow("over the limit, announced") << "big/KU.txt" << Outcome::TooLarge << 200;
        QTest::newRow("over the limit, not announced") << "big-nolength/KU.txt" << Outcome::TooLarge << 200;
        QTest::newRow("name with a space") << "Servo%20Motor.zip" << Outcome::Ok << 200;
        QTest::newRow("Chinese name") << "RGB%E7%81%AF%E5%B8%A6.zip" << Outcome::Ok << 200;
    }
    void fetchOutcome() {
        QFETCH(QString, path);
        QFETCH(Outcome, outcome);
        QFETCH(int, status);
        net::HttpClient client;
        client.setTimeouts(5000, 5000);
        net::Options options;
        options.maxBytes = CatalogLimit;
        const net::Result r = client.fetch(QUrl(server_->baseUrl() + path), options);
        QCOMPARE(net::outcomeName(r.outcome), net::outcomeName(outcome));
        QCOMPARE(r.httpStatus, status);
        if (r.ok() && path == QLatin1String("KU.txt")) {
            QCOMPARE(r.body, body_);
        }
        if (!r.ok()) {
            QVERIFY(r.body.isEmpty()); // an error page never reaches the caller
        }
    }

    void silentServerTimesOut_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("headers, then nothing") << "stall";
        QTest::newRow("no answer at all") << "silent";
    }
    void silentServerTimesOut() {
        QFETCH(QString, mode);
        net::HttpClient client;
        client.setTimeouts(300, 300);
        const net::Result r = client.fetch(QUrl(server_->baseUrl(mode) + QStringLiteral("KU.txt")));
        QCOMPARE(net::outcomeName(r.outcome), "Timeout");
    }

    void slowServerIsNoStall() {
        // About a second in all, but never 800 ms without a byte.
        net::HttpClient client;
        client.setTimeouts(800, 800);
        const net::Result r = client.fetch(QUrl(server_->baseUrl(QStringLiteral("slow")) + "KU.txt"));
        QCOMPARE(net::outcomeName(r.outcome), "Ok");
        QCOMPARE(r.body, body_);
    }

    void refusedConnection() {
        net::HttpClient client;
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/KU.txt").arg(TestServer::unusedPort()));
        QCOMPARE(net::outcomeName(client.fetch(url).outcome), "CannotConnect");
    }

    void onlyWebAddressesAreFetched_data() {
        QTest::addColumn<QString>("url");
        QTest::newRow("empty") << "";
        QTest::newRow("local file") << "file:///etc/hostname";
        QTest::newRow("no host") << "http:///KU.txt";
        QTest::newRow("data") << "data:text/plain,%E5%85%AC%E5%91%8A";
    }
    void onlyWebAddressesAreFetched() {
        QFETCH(QString, url);
        net::HttpClient client;
        const net::Result r = client.fetch(QUrl(url));
        QCOMPARE(net::outcomeName(r.outcome), "Other");
        QVERIFY(r.body.isEmpty());
    }

    void progressAndCancel() {
        net::HttpClient client;
        QList<QPair<qint64, qint64>> reports;
        net::Options options;
        options.onProgress = [&](qint64 received, qint64 total) { reports.append({received, total}); };
        QVERIFY(client.fetch(QUrl(server_->baseUrl() + "KU.txt"), options).ok());
        QVERIFY(!reports.isEmpty());
        QCOMPARE(reports.first(), qMakePair(qint64(0), qint64(-1)));
        for (const auto& [received, total] : reports.mid(1)) {
            QVERIFY(received <= total);
            QCOMPARE(total, qint64(body_.size()));
        }

        // Cancel pressed as soon as the indicator appears: the transfer ends as cancelled.
        options.onProgress = [&](qint64, qint64) { client.cancel(); };
        net::Result r = client.fetch(QUrl(server_->baseUrl(QStringLiteral("slow")) + "KU.txt"), options);
        QCOMPARE(net::outcomeName(r.outcome), "Cancelled");
        QVERIFY(r.body.isEmpty());

        // Cancel in the middle of a transfer.
        options.onProgress = [&](qint64 received, qint64) {
            if (received > 0) {
                client.cancel();
            }
        };
        r = client.fetch(QUrl(server_->baseUrl(QStringLiteral("slow")) + "KU.txt"), options);
        QCOMPARE(net::outcomeName(r.outcome), "Cancelled");
        QVERIFY(!client.isBusy());
        QVERIFY(client.fetch(QUrl(server_->baseUrl() + "KU.txt")).ok()); // usable again
    }

    void oneTransferAtATime() {
        net::HttpClient client;
        net::Result inner;
        net::Options options;
        options.onProgress = [&](qint64, qint64) {
            if (inner.outcome == Outcome::Other && inner.errorText.isEmpty()) {
                inner = client.fetch(QUrl(server_->baseUrl() + "KU.txt"));
            }
        };
        QVERIFY(client.fetch(QUrl(server_->baseUrl() + "KU.txt"), options).ok());
        QCOMPARE(net::outcomeName(inner.outcome), "Other");
        QVERIFY(!inner.errorText.isEmpty());
    }

    void downloadReplacesTargetWhenComplete() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("pkg.zip"));
        writeFile(target, "old content");
        net::HttpClient client;
        const net::Result r = client.downloadToFile(QUrl(server_->baseUrl() + "KU.txt"), target);
        QCOMPARE(net::outcomeName(r.outcome), "Ok");
        QCOMPARE(r.bytesReceived, qint64(body_.size()));
        QCOMPARE(readFile(target), body_);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("pkg.zip")});
    }

    void failedDownloadKeepsTarget_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("404") << "status/404/KU.txt" << Outcome::HttpError;
        QTest::newRow("cut") << "cut/KU.txt" << Outcome::Truncated;
        QTest::newRow("stall") << "stall/KU.txt" << Outcome::Timeout;
        QTest::newRow("refused") << "" << Outcome::CannotConnect;
    }
    void failedDownloadKeepsTarget() {
        QFETCH(QString, path);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        for (bool existing : {true, false}) {
            const QString target = dir.filePath(QStringLiteral("pkg.zip"));
            QFile::remove(target);
            if (existing) {
                writeFile(target, "old content");
            }
            net::HttpClient client;
            client.setTimeouts(300, 300);
            const QString url =
                path.isEmpty() ? QStringLiteral("http://127.0.0.1:%1/x.zip").arg(TestServer::unusedPort())
                               : server_->baseUrl() + path;
            const net::Result r = client.downloadToFile(QUrl(url), target);
            QCOMPARE(net::outcomeName(r.outcome), net::outcomeName(outcome));
            QCOMPARE(QFile::exists(target), existing);
            if (existing) {
                QCOMPARE(readFile(target), QByteArray("old content"));
            }
            // No temporary file left behind.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), existing ? 1 : 0);
        }
    }

    void downloadIntoMissingFolderRequestsNothing() {
        QTemporaryDir dir;
        server_->clearLog();
        net::HttpClient client;
        const net::Result r =
            client.downloadToFile(QUrl(server_->baseUrl() + "KU.txt"), dir.filePath("missing/pkg.zip"));
        QCOMPARE(net::outcomeName(r.outcome), "WriteFailed");
        QVERIFY(server_->requestLog().isEmpty());
    }

    void requestLogShowsRawPaths() {
        server_->clearLog();
        net::HttpClient client;
        client.fetch(QUrl(server_->baseUrl() + ".zip"));
        client.fetch(QUrl(server_->baseUrl() + "Servo Motor.zip"));
        QCOMPARE(server_->requestLog(), (QStringList{"/.zip", "/Servo%20Motor.zip"}));
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
