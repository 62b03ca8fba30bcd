#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// Writes small zip archives (stored, or with data deflated by the caller) byte by byte, so a test controls
// exactly what an archive holds: raw name bytes in any encoding, the UTF-8 mark, links, hostile names.
class ZipBuilder {
public:
    // `mode`: the Unix type and permission bits the archive records.
    ZipBuilder& file(const QByteArray& name, const QByteArray& data, bool utf8Flag = false,
                     int mode = 0100644) {
        entries_.append({name, data, utf8Flag, mode, 0, crc32(data), quint32(data.size())});
        return *this;
    }
    ZipBuilder& folder(const QByteArray& name) {
        entries_.append({name.endsWith('/') ? name : name + '/', {}, false, 040755, 0, 0, 0});
        return *this;
    }
    // A symbolic link; the data of the entry is the link target.
    ZipBuilder& symlink(const QByteArray& name, const QByteArray& target) {
        entries_.append({name, target, false, 0120777, 0, crc32(target), quint32(target.size())});
        return *this;
    }
    // A file whose data is already a raw deflate stream; `crc` and `size` are what the archive
    // declares for the unpacked data (a test may declare them falsely). storedDeflate() makes one.
    ZipBuilder& deflated(const QByteArray& name, const QByteArray& stream, quint32 crc, quint32 size) {
        entries_.append({name, stream, false, 0100644, 8, crc, size});
        return *this;
    }

    QByteArray bytes() const {
        QByteArray out;
        QByteArray central;
        for (const Entry& e : entries_) {
            // The fields the local header and the central directory share: version needed, flags,
            // method, time, date 1980-01-01, crc, sizes, name length.
            QByteArray common;
            for (const quint32 v : {20u, e.utf8 ? 0x0800u : 0u, quint32(e.method), 0u, 0x21u}) {
                put16(common, v);
            }
            put32(common, e.crc);
            put32(common, quint32(e.data.size()));
            put32(common, e.size);
            put16(common, quint32(e.name.size()));
            put32(central, 0x02014b50);
            put16(central, (3 << 8) | 20);           // made on Unix, so the mode bits count
            central += common + QByteArray(8, '\0'); // no extra field, comment, disk, attributes
            put32(central, (quint32(e.mode) << 16) | ((e.mode & 040000) ? 0x10 : 0));
            put32(central, quint32(out.size()));
            central += e.name;
            put32(out, 0x04034b50);
            out += common + QByteArray(2, '\0') + e.name + e.data;
        }
        const quint32 centralOffset = quint32(out.size());
        out += central;
        put32(out, 0x06054b50);
        for (const quint32 v : {0u, 0u, quint32(entries_.size()), quint32(entries_.size())}) {
            put16(out, v);
        }
        put32(out, quint32(central.size()));
        put32(out, centralOffset);
        put16(out, 0);
        return out;
    }

    // `data` as a raw deflate stream of uncompressed blocks.
    static QByteArray storedDeflate(const QByteArray& data) {
        QByteArray out;
        for (qsizetype at = 0; at < data.size(); at += 0xffff) {
            const QByteArray part = data.mid(at, 0xffff);
            out.append(at + part.size() == data.size() ? '\x01' : '\x00'); // the last block?
            put16(out, quint32(part.size()));
            put16(out, quint32(~part.size() & 0xffff));
            out.append(part);
        }
        return out;
    }
    static quint32 crc32(const QByteArray& data) {
        static const std::array<quint32, 256> table = [] {
            std::array<quint32, 256> t{};
            for (quint32 i = 0; i < 256; ++i) {
                quint32 c = i;
                for (int k = 0; k < 8; ++k) {
                    c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                }
                t[i] = c;
            }
            return t;
        }();
        quint32 c = 0xFFFFFFFFu;
        for (const char ch : data) {
            c = table[(c ^ quint8(ch)) & 0xff] ^ (c >> 8);
        }
        return c ^ 0xFFFFFFFFu;
    }

    bool write(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes()) >= 0;
    }

private:
    struct Entry {
        QByteArray name;
        QByteArray data; // as stored in the archive
        bool utf8;
        int mode;
        quint16 method; // 0 stored, 8 deflate
        quint32 crc;    // of the unpacked data
        quint32 size;   // of the unpacked data
    };
    QList<Entry> entries_;

    static void put16(QByteArray& b, quint32 v) {
        b.append(char(v & 0xff));
        b.append(char((v >> 8) & 0xff));
    }
    static void put32(QByteArray& b, quint32 v) {
        put16(b, v & 0xffff);
        put16(b, v >> 16);
    }
};
