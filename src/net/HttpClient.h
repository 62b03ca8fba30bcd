#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace net {

namespace detail {
class Sink;
}

// How a transfer ended. Callers map these to their own messages and codes.
enum class Outcome {
    Ok,
    CannotConnect, // connection refused, reset or closed before an answer
    HostNotFound,
    Timeout,     // no connection within the connect time, no byte for the stall time, or the deadline passed
    Cancelled,   // the user pressed Cancel
    HttpError,   // the server answered with a status other than 2xx (see Result::httpStatus)
    Truncated,   // the body ended before the length the server announced, or a chunked body without its last
                 // chunk
    TooLarge,    // the body is longer than the caller's limit
    WriteFailed, // the target file could not be created or written
    BadRedirect, // too many redirects, or a redirect from https to http
    Refused,     // the whole body arrived, and Options::acceptSha256 refused it
    Other,
};

// Everything a caller learns about one transfer; no network object outlives the call.
struct Result {
    Outcome outcome = Outcome::Other;
    int httpStatus = 0; // status of the last answer, 0 when none came
    QByteArray body;    // fetch(): the whole body when outcome is Ok, otherwise empty
    qint64 bytesReceived = 0;
    QString errorText; // a technical description, for diagnostics

    bool ok() const { return outcome == Outcome::Ok; }
    bool notFound() const { return outcome == Outcome::HttpError && httpStatus == 404; }
};

// A readable name of an outcome ("Timeout"), for diagnostics and test output.
const char* outcomeName(Outcome outcome);

struct Options {
    // Refuse a body longer than this many bytes; negative: no limit.
    qint64 maxBytes = -1;
    // Give up when the whole transfer has not ended within this many milliseconds, however steadily
    // bytes trickle in; negative: no deadline (the connect and stall times still apply).
    int deadlineMs = -1;
    // Called with the bytes received so far and the announced total (-1 when unknown). Calls are
    // spaced out (the first comes at once, then at most about ten a second, and one at the end), so
    // a slow receiver costs the transfer nothing.
    std::function<void(qint64 received, qint64 total)> onProgress;
    // While the transfer runs, the window keeps repainting. Keyboard and mouse input is held back
    // unless the caller lets it through, because a progress dialog of its own filters it and needs
    // its Cancel button to work.
    bool allowUserInput = false;
    // When set, the body is hashed as it arrives, and once it is whole this is asked whether the
    // body with that SHA-256 may be kept; false ends the transfer with Outcome::Refused, storing
    // nothing (an existing target stays as it was).
    std::function<bool(const QByteArray& sha256)> acceptSha256;
};

// The program's one HTTP client: GET only, no credentials, no cookies, the system's proxy settings,
// redirects followed (at most five, never from https to http), a status other than 2xx is an error.
// Bodies are asked for unencoded ("Accept-Encoding: identity"), so the announced length is the
// length of what is stored and a body cut short is always noticed. A body sent compressed all the
// same, or in chunks (Qt may take a chunked body cut off by a closed connection for a whole one), is
// refused with Outcome::Other; a body without length that ends with the connection is taken whole.
//
// Each call runs to completion inside a local event loop, so for the caller it is synchronous while
// the window still repaints. Only one transfer runs at a time; a call made while another is running
// (from a nested event loop) fails at once with Outcome::Other.
class HttpClient final {
public:
    HttpClient();
    ~HttpClient();
    Q_DISABLE_COPY_MOVE(HttpClient)

    // Give up when no connection is made within `connectMs`, or no byte arrives for `stallMs`.
    void setTimeouts(int connectMs, int stallMs);
    int connectTimeoutMs() const { return connectMs_; }
    int stallTimeoutMs() const { return stallMs_; }

    // Fetches `url` into memory.
    Result fetch(const QUrl& url, const Options& options = {});

    // Downloads `url` into the file `targetPath`. The body goes to a temporary file in the same
    // folder, which is flushed to disk and renamed over the target only when the whole body has
    // arrived; any failure leaves an existing target as it was and no temporary file behind.
    // Result::body stays empty.
    Result downloadToFile(const QUrl& url, const QString& targetPath, const Options& options = {});

    // Ends the running transfer with Outcome::Cancelled; no effect when none runs. Safe to call from
    // a progress callback or a Cancel button.
    void cancel();

    bool isBusy() const { return busy_; }

private:
    Result run(const QUrl& url, detail::Sink& sink, const Options& options);

    std::unique_ptr<QNetworkAccessManager> manager_;
    int connectMs_ = 15000;
    int stallMs_ = 30000;
    bool busy_ = false;
    std::function<void()> abortRunning_;
};

} // namespace net
