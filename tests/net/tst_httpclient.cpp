#include "TestServer.h"
#include "net/HttpClient.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using net::Outcome;

Q_DECLARE_METATYPE(net::Outcome)

class TestHttpClient final : public QObject {
    Q_OBJECT
private:
    QTemporaryDir root_;
    std::unique_ptr<TestServer> server_;
    QByteArray body_;

    // A path on the test server; an address with a scheme (or none at all) is taken as it is.
    QUrl url(const QString& path) const {
        return QUrl(path.isEmpty() || path.contains(QLatin1Char(':')) ? path : server_->baseUrl() + path);
    }

    // Short time-outs only where a row waits for one: a loaded machine may take a while to answer.
    static void setTimeouts(net::HttpClient& client, const QString& path) {
        const int ms = path.startsWith(QLatin1String("silent")) ? 300
                       : path.startsWith(QLatin1String("slow")) ? 800
                                                                : 5000;
        client.setTimeouts(ms, ms);
    }

private Q_SLOTS:
    void initTestCase() {
        // Large enough to arrive in many pieces.
        for (int i = 0; i < 20000; ++i) {
            body_ += "line " + QByteArray::number(i) + " \xb9\xab\xb8\xe6\r\n"; // "公告" in GBK
        }
        QFile file(root_.filePath(QStringLiteral("KU.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(body_);
        file.close();
        server_ = std::make_unique<TestServer>(root_.path());
        QVERIFY2(server_->isRunning(), qPrintable(server_->errorText()));
    }

    void fetch_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("status");
        QTest::newRow("plain file") << "KU.txt" << Outcome::Ok << 200;
        QTest::newRow("five redirects") << "redirect/5/KU.txt" << Outcome::Ok << 200;
        QTest::newRow("six redirects") << "redirect/6/KU.txt" << Outcome::BadRedirect << 302;
        QTest::newRow("redirect loop") << "loop/KU.txt" << Outcome::BadRedirect << 302;
        QTest::newRow("over the limit, announced") << "big/KU.txt" << Outcome::TooLarge << 200;
        QTest::newRow("over the limit, not announced") << "big-nolength/KU.txt" << Outcome::TooLarge << 200;
        QTest::newRow("no answer at all") << "silent/KU.txt" << Outcome::Timeout << 0;
        // About a second in all, but never a stall.
        QTest::newRow("slow but steady") << "slow/KU.txt" << Outcome::Ok << 200;
        // Steady, but never done in time: the deadline ends it.
        QTest::newRow("trickle") << "trickle/KU.txt" << Outcome::Timeout << 200;
        // Asked for no encoding, an ordinary server sends none, so a cut is seen.
        QTest::newRow("gzip server") << "gzip/KU.txt" << Outcome::Ok << 200;
        QTest::newRow("gzip server, cut at 60 %") << "gzip/cut/KU.txt" << Outcome::Truncated << 200;
        QTest::newRow("gzip sent unasked") << "forcegzip/KU.txt" << Outcome::Other << 200;
        // Qt may take a chunked body cut off by a closed connection for a whole one: refused.
        QTest::newRow("chunked") << "chunked/KU.txt" << Outcome::Other << 200;
        QTest::newRow("empty address") << "" << Outcome::Other << 0;
        QTest::newRow("local file") << "file:///etc/hostname" << Outcome::Other << 0;
        QTest::newRow("no host") << "http:///KU.txt" << Outcome::Other << 0;
    }
    void fetch() {
        QFETCH(QString, path);
        QFETCH(Outcome, outcome);
        QFETCH(int, status);
        net::HttpClient client;
        setTimeouts(client, path);
        net::Options options;
        options.maxBytes = 64LL * 1024 * 1024; // the catalog's limit
        options.deadlineMs = path.startsWith(QLatin1String("trickle")) ? 1500 : -1;
        const net::Result r = client.fetch(url(path), options);
        QCOMPARE(net::outcomeName(r.outcome), net::outcomeName(outcome));
        QCOMPARE(r.httpStatus, status);
        if (r.ok()) {
            QCOMPARE(r.body, body_);
        } else {
            QVERIFY(r.body.isEmpty()); // an error page never reaches the caller
        }
        if (path.startsWith(QLatin1String("big/"))) {
            QVERIFY(r.bytesReceived < (1 << 20)); // an announced size over the limit is not fetched
        }
    }

    // Cancel in the middle of a transfer (the window's own test cancels before the first byte); the
    // client is usable again afterwards.
    void cancelMidTransfer() {
        net::HttpClient client;
        net::Options options;
        options.onProgress = [&](qint64 received, qint64) {
            if (received > 0) {
                client.cancel();
            }
        };
        const net::Result r = client.fetch(url(QStringLiteral("slow/KU.txt")), options);
        QCOMPARE(net::outcomeName(r.outcome), "Cancelled");
        QVERIFY(r.body.isEmpty());
        QVERIFY(!client.isBusy());
        QVERIFY(client.fetch(url(QStringLiteral("KU.txt"))).ok());
    }

    void oneTransferAtATime() {
        net::HttpClient client;
        std::optional<net::Result> inner;
        net::Options options;
        options.onProgress = [&](qint64, qint64) {
            if (!inner) {
                inner = client.fetch(url(QStringLiteral("KU.txt")));
            }
        };
        QVERIFY(client.fetch(url(QStringLiteral("KU.txt")), options).ok());
        QVERIFY(inner);
        QCOMPARE(net::outcomeName(inner->outcome), "Other");
        QVERIFY(!inner->errorText.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
