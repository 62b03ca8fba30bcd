#include "install/DownloadCodes.h"

#include "install/InstallStrings.h"

namespace install {

DownloadOutcome outcomeOf(const net::Result& result) {
    switch (result.outcome) {
    case net::Outcome::Ok:
        return DownloadOutcome::Ok;
    case net::Outcome::HostNotFound:
        return DownloadOutcome::NotFound;
    case net::Outcome::HttpError:
        return result.httpStatus == 404 ? DownloadOutcome::NotFound : DownloadOutcome::Failed;
    case net::Outcome::CannotConnect:
        return DownloadOutcome::CannotConnect;
    case net::Outcome::Timeout:
        return DownloadOutcome::TimedOut;
    case net::Outcome::Cancelled:
        return DownloadOutcome::Cancelled;
    case net::Outcome::WriteFailed:
        return DownloadOutcome::CacheUnwritable;
    case net::Outcome::Refused:
        return DownloadOutcome::BadDigest;
    case net::Outcome::Truncated:
    case net::Outcome::TooLarge:
    case net::Outcome::BadRedirect:
    case net::Outcome::Other:
        return DownloadOutcome::Failed;
    }
    return DownloadOutcome::Failed;
}

qint32 downloadCode(DownloadOutcome outcome) {
    switch (outcome) {
    case DownloadOutcome::Ok:
        return code::Ok;
    case DownloadOutcome::NotFound:
        return code::NotFound;
    case DownloadOutcome::CannotConnect:
        return code::CannotConnect;
    case DownloadOutcome::TimedOut:
        return code::TimedOut;
    case DownloadOutcome::Failed:
        return code::Failed;
    case DownloadOutcome::Cancelled:
        return code::Cancelled;
    case DownloadOutcome::CacheUnwritable:
        return code::CacheUnwritable;
    case DownloadOutcome::BadName:
        return code::BadName;
    case DownloadOutcome::BadDigest:
        return code::BadDigest;
    }
    return code::Failed;
}

QString downloadFailureMessage(qint32 failureCode, const QString& packageName) {
    if (failureCode == code::BadName) {
        return installstr::badNameMessage(packageName);
    }
    if (failureCode == code::BadDigest) {
        return installstr::ChecksumFailed;
    }
    return installstr::DownloadFailed + QString::number(failureCode);
}

} // namespace install
