#pragma once

#include <QByteArray>
#include <QString>

// A catalog section may pin its package: "校验码=" and the SHA-256 of the package .zip as 64
// hexadecimal digits, in any letter case. A pinned package is checked before it replaces the cached
// one and before a cached one is installed.
namespace install {

struct Checksum {
    bool pinned = false; // the section carries the key with a value
    QByteArray sha256;   // the 32 bytes the value names; empty when it names none
    // Whether a package of this digest may be installed: nothing pinned, or the pinned digest. A
    // value that is no digest matches nothing, since the publisher meant to pin the package.
    bool accepts(const QByteArray& digest) const {
        return !pinned || (!sha256.isEmpty() && digest == sha256);
    }
};

// The checksum of a section's 校验码 value; an empty value (or no key) pins nothing.
Checksum parseChecksum(const QString& value);

// The SHA-256 of a file's bytes; empty when it cannot be read.
QByteArray fileSha256(const QString& path);

} // namespace install
