#include "net/HttpClient.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTimer>

#include <filesystem>
#include <optional>
#include <system_error>
#include <type_traits>

namespace net {

namespace {

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

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

// A file that replaces its target only when complete, as QSaveFile does, but not flushed to disk
// first: for a cache that is simply fetched again should a power cut lose it. The rename still makes
// the target whole or as it was, never half-written, for every reader; the system writes the data
// out in its own time instead of the start-up waiting for the disk.
class ReplacingFile final {
public:
    explicit ReplacingFile(const QString& target)
        : target_(target) {}
    ~ReplacingFile() { cancelWriting(); }
    Q_DISABLE_COPY_MOVE(ReplacingFile)

    bool open() {
        // As QSaveFile: an existing target must be writable, and lends the new file its permissions.
        const QFileInfo existing(target_);
        if (existing.exists() && !existing.isWritable()) {
            return false;
        }
        for (int attempt = 0; attempt < 8 && !file_.isOpen(); ++attempt) {
            file_.setFileName(target_ + QStringLiteral(".part") +
                              QString::number(QRandomGenerator::global()->generate(), 16));
            if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly) && existing.exists()) {
                file_.setPermissions(existing.permissions());
            }
        }
        return file_.isOpen();
    }
    qint64 write(const QByteArray& data) { return file_.write(data); }
    bool flush() { return file_.flush(); }
    bool commit() {
        file_.close();
        std::error_code failed;
        if (file_.error() == QFileDevice::NoError) {
            std::filesystem::rename(std::filesystem::path(file_.fileName().toStdU16String()),
                                    std::filesystem::path(target_.toStdU16String()), failed);
        }
        if (file_.error() != QFileDevice::NoError || failed) {
            cancelWriting();
            return false;
        }
        committed_ = true;
        return true;
    }
    void cancelWriting() {
        if (!committed_ && !file_.fileName().isEmpty()) {
            file_.close();
            file_.remove();
            file_.setFileName(QString());
        }
    }
    bool isOpen() const { return file_.isOpen(); }

private:
    QString target_;
    QFile file_;
    bool committed_ = false;
};

// Streams to a temporary file beside the target and renames it over the target at the end. Data is
// gathered into large blocks, so a transfer that arrives in many small pieces costs few writes.
template <typename TargetFile> class FileSink final : public detail::Sink {
public:
    FileSink(const QString& target, qsizetype blockSize)
        : file_(target)
        , blockSize_(blockSize > 0 ? blockSize : LargeBlock) {}

    bool open() override {
        if constexpr (std::is_same_v<TargetFile, QSaveFile>) {
            file_.setDirectWriteFallback(false);
            if (!file_.open(QIODevice::WriteOnly)) {
                return false;
            }
        } else if (!file_.open()) {
            return false;
        }
        buffer_.reserve(blockSize_);
        return true;
    }
    void expect(qint64) override {}
    bool write(const QByteArray& data) override {
        if (buffer_.isEmpty() && data.size() >= blockSize_) {
            return writeAll(data);
        }
        buffer_.append(data);
        return buffer_.size() < blockSize_ || flush();
    }
    bool finish() override {
        // The file's own buffer is flushed here, where a failure shows: QSaveFile::commit() flushes
        // it too, but goes on to rename a file whose last bytes a full disk refused.
        if (!flush() || !file_.flush()) {
            file_.cancelWriting();
            return false;
        }
        return file_.commit(); // renames over the target (QSaveFile: after flushing to disk)
    }
    void discard() override {
        // The temporary file goes with the object; the target is never touched.
        if (file_.isOpen()) {
            file_.cancelWriting();
        }
    }

private:
    static constexpr qsizetype LargeBlock = 1 << 20;

    bool writeAll(const QByteArray& data) { return file_.write(data) == data.size(); }
    bool flush() {
        if (buffer_.isEmpty()) {
            return true;
        }
        const bool ok = writeAll(buffer_);
        buffer_.resize(0);
        return ok;
    }

    TargetFile file_;
    const qsizetype blockSize_;
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

HttpClient::~HttpClient() {
    dropPrepared();
}

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
    if (!options.flushToDisk) {
        FileSink<ReplacingFile> sink(targetPath, options.bufferBytes);
        return run(url, sink, options);
    }
    FileSink<QSaveFile> sink(targetPath, options.bufferBytes);
    return run(url, sink, options);
}

void HttpClient::cancel() {
    if (abortRunning_) {
        abortRunning_();
    }
}

QNetworkRequest HttpClient::requestFor(const QUrl& url) const {
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

    return request;
}

QNetworkReply* HttpClient::start(const QUrl& url, const Options& options) {
    QNetworkReply* reply = manager_->get(requestFor(url));
    if (options.bufferBytes > 0) {
        reply->setReadBufferSize(options.bufferBytes); // Qt reads ahead of us no further than this
    }
    return reply;
}

void HttpClient::prepare(const QUrl& url, const Options& options) {
    dropPrepared();
    if (isWebAddress(url)) {
        prepared_.reset(start(url, options));
        preparedUrl_ = url;
    }
}

void HttpClient::dropPrepared() {
    if (prepared_) {
        prepared_->abort();
        prepared_.reset();
    }
}

Result HttpClient::run(const QUrl& url, detail::Sink& sink, const Options& options) {
    Result result;
    if (busy_) {
        result.errorText = QStringLiteral("another transfer is running");
        return result;
    }
    if (!isWebAddress(url)) {
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

    // Deleted on return, before the loop, the timer and the flags its connections refer to. A
    // transfer prepared for this address is taken over; what it received so far is waiting.
    const bool prepared = prepared_ && preparedUrl_ == url;
    std::unique_ptr<QNetworkReply> reply;
    if (prepared) {
        reply = std::move(prepared_);
    } else {
        dropPrepared();
        reply.reset(start(url, options));
    }
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
    // A refusal of the answer's head holds even when a prepared transfer ended before it was read.
    auto refuse = [&](bool& flag) {
        flag = true;
        if (!r->isFinished()) {
            r->abort();
        }
    };

    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] { stop(timedOut); });
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { stop(timedOut); });
    QObject::connect(r, &QNetworkReply::requestSent, &loop, alive);
    QObject::connect(r, &QNetworkReply::encrypted, &loop, alive);
    QObject::connect(r, &QNetworkReply::redirected, &loop, alive);
    const auto onMetaData = [&] {
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
            refuse(uncheckable);
            return;
        }
        const QVariant length = r->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) {
            total = length.toLongLong();
            if (options.maxBytes >= 0 && total > options.maxBytes) {
                refuse(tooLarge);
                return;
            }
            sink.expect(total);
        }
    };
    const auto onReadyRead = [&] {
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
        if (options.onData) {
            options.onData(data);
        }
        report(false);
    };
    QObject::connect(r, &QNetworkReply::metaDataChanged, &loop, onMetaData);
    QObject::connect(r, &QNetworkReply::readyRead, &loop, onReadyRead);
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (prepared) { // the answer's head and body that came before anything listened
        if (r->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
            onMetaData();
        }
        if (r->bytesAvailable() > 0 && !r->isFinished()) {
            onReadyRead();
        }
    }

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
        } else if (options.onData) {
            options.onData(rest);
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

    if (result.outcome == Outcome::Ok &&
        ((hash && !options.acceptSha256(hash->result())) || (options.acceptBody && !options.acceptBody()))) {
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
