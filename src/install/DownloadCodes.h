#pragma once

#include "net/HttpClient.h"

#include <QString>
#include <QtGlobal>

// Package downloads report their outcome as a signed 32-bit code in the style of the Windows URL
// download function, so the number in the failure message is one people can look up.
namespace install {

enum class DownloadOutcome {
    Ok,
    NotFound,        // HTTP 404, or the server name could not be resolved
    CannotConnect,   // connection refused or unreachable
    TimedOut,        // no connection or no data within the time limits
    Failed,          // any other HTTP error, a cut-off or oversized body, another transfer error
    Cancelled,       // the user pressed Cancel
    CacheUnwritable, // the package cache folder is missing or cannot be written
    BadName,         // the package name could name a file outside the package cache
    BadDigest,       // the package arrived whole but does not match the 校验码 of its section
};

namespace code {
inline constexpr qint32 Ok = 0;
inline constexpr qint32 NotFound = qint32(0x800C0005u);        // -2146697211
inline constexpr qint32 CannotConnect = qint32(0x800C0004u);   // -2146697212
inline constexpr qint32 TimedOut = qint32(0x800C000Bu);        // -2146697205
inline constexpr qint32 Failed = qint32(0x800C0008u);          // -2146697208
inline constexpr qint32 Cancelled = qint32(0x80004004u);       // -2147467260
inline constexpr qint32 CacheUnwritable = qint32(0x80070003u); // -2147024893
inline constexpr qint32 BadName = qint32(0x80070057u);         // -2147024809, invalid argument
inline constexpr qint32 BadDigest = qint32(0x80096010u);       // -2146869232, the digest did not verify
} // namespace code

// What a finished transfer of the HTTP client means for a package download.
DownloadOutcome outcomeOf(const net::Result& result);

qint32 downloadCode(DownloadOutcome outcome);

// The message a caller shows for a non-zero code: the download-failure text with the code, or, for
// a refused package name, a message that names it, or, for a package that fails its 校验码, the
// checksum-failure text.
QString downloadFailureMessage(qint32 code, const QString& packageName);

} // namespace install
