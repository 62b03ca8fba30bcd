#include "install/DownloadCodes.h"

#include "install/InstallStrings.h"

namespace install {

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
    }
    return code::Failed;
}

QString downloadFailureMessage(qint32 failureCode, const QString& packageName) {
    if (failureCode == code::BadName) {
        return installstr::BadPackageNamePrefix + packageName + installstr::BadPackageNameSuffix;
    }
    return installstr::DownloadFailed + QString::number(failureCode);
}

} // namespace install
