#include "net/HttpClient.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTimer>

#include <optional>

namespace net {

namespace {

bool is2xx(int status) {
    return status >= 200 && status < 300;
}

// The system's proxy for everything but this machine itself: a proxy cannot reach the user's own
// loopback address, and the local servers of tests and demos live there.
class SystemProxyFactory final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QString host = query.peerHostName();
        const QHostAddress address(host);
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            (!address.isNull() && address.isLoopback())) {
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        }
        return systemProxyForQuery(query);
    }
};

} // namespace

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return "Ok";
    case Outcome::CannotConnect:
        return "CannotConnect";
    case Outcome::HostNotFound:
        return "HostNotFound";
    case Outcome::Timeout:
        return "Timeout";
    case Outcome::Cancelled:
        return "Cancelled";
    case Outcome::HttpError:
        return "HttpError";
    case Outcome::Truncated:
        return "Truncated";
    case Outcome::TooLarge:
        return "TooLarge";
    case Outcome::WriteFailed:
        return "WriteFailed";
    case Outcome::BadRedirect:
        return "BadRedirect";
    case Outcome::Refused:
        return "Refused";
    case Outcome::Other:
        return "Other";
    }
    return "?";
}

namespace detail {

// Where the body of a transfer goes.
class Sink {
public:
    virtual ~Sink() = default;
    // Prepares for a body; false when it cannot be stored (nothing is requested then).
    virtual bool open() = 0;
    virtual void expect(qint64 total) = 0;
    virtual bool write(const QByteArray& data) = 0;
    // The whole body has arrived; false when it could not be stored.
    virtual bool finish() = 0;
    // The transfer failed: drop what was stored.
    virtual void discard() = 0;
};

} // namespace detail

namespace {

class MemorySink final : public detail::Sink {
public:
    bool open() override { return true; }
    void expect(qint64 total) override {
        // A hint only; the limit check guards against absurd values before this is called.
        if (total > 0 && total < (qint64(1) << 30)) {
            body.reserve(static_cast<qsizetype>(total));
        }
    }
    bool write(const QByteArray& data) override {
        body.append(data);
        return true;
    }
    bool finish() override { return true; }
    void discard() override { body.clear(); }

    QByteArray body;
};

// Streams to a temporary file beside the target and renames it over the target at the end. Data is
// gathered into large blocks, so a transfer that arrives in many small pieces costs few writes.
class FileSink final : public detail::Sink {
public:
    explicit FileSink(const QString& target)
        : file_(target) {}

    bool open() override {
        file_.setDirectWriteFallback(false);
        if (!file_.open(QIODevice::WriteOnly)) {
            return false;
        }
        buffer_.reserve(BlockSize);
        return true;
    }
    void expect(qint64) override {}
    bool write(const QByteArray& data) override {
        if (buffer_.isEmpty() && data.size() >= BlockSize) {
            return writeAll(data);
        }
        buffer_.append(data);
        return buffer_.size() < BlockSize || flush();
    }
    bool finish() override {
        if (!flush()) {
            file_.cancelWriting();
            return false;
        }
        return file_.commit(); // flushes to disk, then renames over the target
    }
    void discard() override {
        // The temporary file goes with the object; the target is never touched.
        if (file_.isOpen()) {
            file_.cancelWriting();
        }
    }

private:
    static constexpr qsizetype BlockSize = 1 << 20;

    bool writeAll(const QByteArray& data) { return file_.write(data) == data.size(); }
    bool flush() {
        if (buffer_.isEmpty()) {
            return true;
        }
        const bool ok = writeAll(buffer_);
        buffer_.resize(0);
        return ok;
    }

    QSaveFile file_;
    QByteArray buffer_;
};

} // namespace

HttpClient::HttpClient()
    : manager_(std::make_unique<QNetworkAccessManager>()) {
    // Users of library managers behind proxies complain most about clients that ignore them.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    manager_->setProxyFactory(new SystemProxyFactory); // the manager takes ownership
    manager_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

HttpClient::~HttpClient() = default;

void HttpClient::setTimeouts(int connectMs, int stallMs) {
    connectMs_ = qMax(1, connectMs);
    stallMs_ = qMax(1, stallMs);
}

Result HttpClient::fetch(const QUrl& url, const Options& options) {
    MemorySink sink;
    Result result = run(url, sink, options);
    if (result.ok()) {
        result.body = std::move(sink.body);
    }
    return result;
}

Result HttpClient::downloadToFile(const QUrl& url, const QString& targetPath, const Options& options) {
    FileSink sink(targetPath);
    return run(url, sink, options);
}

void HttpClient::cancel() {
    if (abortRunning_) {
        abortRunning_();
    }
}

Result HttpClient::run(const QUrl& url, detail::Sink& sink, const Options& options) {
    Result result;
    if (busy_) {
        result.errorText = QStringLiteral("another transfer is running");
        return result;
    }
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.errorText = QStringLiteral("not an http or https address: ") + url.toString();
        return result;
    }
    if (!sink.open()) {
        result.outcome = Outcome::WriteFailed;
        result.errorText = QStringLiteral("cannot create the target file");
        return result;
    }
    busy_ = true;
    const auto done = qScopeGuard([this] {
        busy_ = false;
        abortRunning_ = nullptr;
    });

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Qt would ask for compressed bodies and unpack them without checking that the compressed
    // stream is whole, and the announced length would then count bytes never seen: a cut catalog
    // passed for a complete one. Unencoded, every byte stored is a byte the length counts.
    request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity"));
    // Qt's own guard against a silent transfer, behind ours below (ours tells the phases apart).
    request.setTransferTimeout(qMax(connectMs_, stallMs_) + 1000);

    QEventLoop loop;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    bool uncheckable = false;
    bool cancelled = false;
    bool tooLarge = false;
    bool writeFailed = false;
    qint64 received = 0;
    qint64 total = -1;
    QElapsedTimer sinceReport;
    std::optional<QCryptographicHash> hash;
    if (options.acceptSha256) {
        hash.emplace(QCryptographicHash::Sha256);
    }
    auto store = [&](const QByteArray& data) {
        if (hash) {
            hash->addData(data);
        }
        return sink.write(data);
    };

    auto report = [&](bool force) {
        if (!options.onProgress) {
            return;
        }
        if (force || !sinceReport.isValid() || sinceReport.elapsed() >= 100) {
            sinceReport.start();
            options.onProgress(received, total);
        }
    };

    // Deleted on return, before the loop, the timer and the flags its connections refer to.
    std::unique_ptr<QNetworkReply> reply(manager_->get(request));
    QNetworkReply* r = reply.get();

    // Until the request has gone out, the connect time applies; from then on, the stall time
    // after every sign of life.
    auto alive = [&] { watchdog.start(stallMs_); };
    auto stop = [&](bool& flag) {
        if (!r->isFinished()) {
            flag = true;
            r->abort(); // may emit finished() at once
        }
    };
    abortRunning_ = [&] { stop(cancelled); };

    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] { stop(timedOut); });
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { stop(timedOut); });
    QObject::connect(r, &QNetworkReply::requestSent, &loop, alive);
    QObject::connect(r, &QNetworkReply::encrypted, &loop, alive);
    QObject::connect(r, &QNetworkReply::redirected, &loop, alive);
    QObject::connect(r, &QNetworkReply::metaDataChanged, &loop, [&] {
        alive();
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (!is2xx(status)) {
            return;
        }
        // A compressed body is not the file, and its length says nothing about what we store. A
        // chunked body announces its end only by a last chunk that Qt does not insist on: cut off by
        // a closed connection, it can pass for complete. So both are refused.
        const QByteArray encoding = r->rawHeader(QByteArrayLiteral("Content-Encoding")).trimmed().toLower();
        const QByteArray transfer = r->rawHeader(QByteArrayLiteral("Transfer-Encoding")).toLower();
        if ((!encoding.isEmpty() && encoding != "identity") || transfer.contains("chunked")) {
            stop(uncheckable);
            return;
        }
        const QVariant length = r->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) {
            total = length.toLongLong();
            if (options.maxBytes >= 0 && total > options.maxBytes) {
                stop(tooLarge);
                return;
            }
            sink.expect(total);
        }
    });
    QObject::connect(r, &QNetworkReply::readyRead, &loop, [&] {
        alive();
        const QByteArray data = r->readAll();
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (data.isEmpty() || !is2xx(status)) {
            return; // the body of an error answer is never stored
        }
        received += data.size();
        if (options.maxBytes >= 0 && received > options.maxBytes) {
            stop(tooLarge);
            return;
        }
        if (!store(data)) {
            stop(writeFailed);
            return;
        }
        report(false);
    });
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    watchdog.start(connectMs_);
    if (options.deadlineMs >= 0) {
        deadline.start(options.deadlineMs);
    }
    report(true); // lets a progress indicator appear (and be cancelled) before any byte comes
    if (!r->isFinished()) {
        loop.exec(options.allowUserInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    watchdog.stop();
    deadline.stop();
    abortRunning_ = nullptr;

    // Data that came with the end of the transfer.
    if (!cancelled && !timedOut && !tooLarge && !writeFailed && !uncheckable &&
        r->error() == QNetworkReply::NoError &&
        is2xx(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()) && r->bytesAvailable() > 0) {
        const QByteArray rest = r->readAll();
        received += rest.size();
        if (options.maxBytes >= 0 && received > options.maxBytes) {
            tooLarge = true;
        } else if (!store(rest)) {
            writeFailed = true;
        }
    }

    result.httpStatus = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.bytesReceived = received;
    const QNetworkReply::NetworkError error = r->error();
    if (error != QNetworkReply::NoError) {
        result.errorText = r->errorString();
    }

    if (cancelled) {
        result.outcome = Outcome::Cancelled;
    } else if (timedOut) {
        result.outcome = Outcome::Timeout;
    } else if (tooLarge) {
        result.outcome = Outcome::TooLarge;
    } else if (writeFailed) {
        result.outcome = Outcome::WriteFailed;
    } else if (uncheckable) {
        result.outcome = Outcome::Other;
        result.errorText =
            QStringLiteral("the body came compressed or chunked, so its end cannot be checked");
    } else if (error == QNetworkReply::TooManyRedirectsError ||
               error == QNetworkReply::InsecureRedirectError) {
        result.outcome = Outcome::BadRedirect;
    } else if (result.httpStatus != 0 && !is2xx(result.httpStatus)) {
        result.outcome = Outcome::HttpError;
    } else {
        switch (error) {
        case QNetworkReply::NoError: {
            // Qt does not always notice a body cut short when the server closes the connection.
            if (total >= 0 && received < total) {
                result.outcome = Outcome::Truncated;
            } else {
                result.outcome = Outcome::Ok;
            }
            break;
        }
        case QNetworkReply::RemoteHostClosedError:
            // An answer that had begun and then broke off is a cut body.
            result.outcome = is2xx(result.httpStatus) ? Outcome::Truncated : Outcome::CannotConnect;
            break;
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyConnectionClosedError:
            result.outcome = Outcome::CannotConnect;
            break;
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::ProxyNotFoundError:
            result.outcome = Outcome::HostNotFound;
            break;
        case QNetworkReply::TimeoutError:
        case QNetworkReply::ProxyTimeoutError:
        case QNetworkReply::OperationCanceledError: // Qt's transfer time-out; a user cancel is flagged above
            result.outcome = Outcome::Timeout;
            break;
        default:
            result.outcome = Outcome::Other;
            break;
        }
    }

    if (result.outcome == Outcome::Ok && hash && !options.acceptSha256(hash->result())) {
        result.outcome = Outcome::Refused;
    }
    if (result.outcome == Outcome::Ok && !sink.finish()) {
        result.outcome = Outcome::WriteFailed;
    }
    if (result.outcome != Outcome::Ok) {
        sink.discard();
    }
    return result;
}

} // namespace net
