#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Writes small zip archives byte by byte, so a test controls exactly what an archive holds: raw name
// bytes in any encoding, the UTF-8 mark, links, hostile names, sizes declared falsely.
class ZipBuilder {
public:
    // `mode`: the Unix type and permission bits the archive records.
    ZipBuilder& file(const QByteArray& name, const QByteArray& data, bool utf8Flag = false,
                     int mode = 0100644) {
        return add({name, data, utf8Flag, mode, 0, crc32(data), quint32(data.size())});
    }
    ZipBuilder& folder(const QByteArray& name) {
        return add({name.endsWith('/') ? name : name + '/', {}, false, 040755, 0, 0, 0});
    }
    // A symbolic link; the data of the entry is the link target.
    ZipBuilder& symlink(const QByteArray& name, const QByteArray& target) {
        return add({name, target, false, 0120777, 0, crc32(target), quint32(target.size())});
    }
    // `data` deflated; the archive declares `declaredSize` as its unpacked size when one is given.
    ZipBuilder& deflated(const QByteArray& name, const QByteArray& data, qint64 declaredSize = -1) {
        const QByteArray stream = qCompress(data, 9).mid(6).chopped(4); // no size, header or checksum
        return add({name, stream, false, 0100644, 8, crc32(data),
                    quint32(declaredSize < 0 ? data.size() : declaredSize)});
    }

    QByteArray bytes() const {
        QByteArray out, central;
        for (const Entry& e : entries_) {
            // The fields the local header and the central directory share: version needed, flags,
            // method, time, date 1980-01-01, crc, sizes, name length.
            QByteArray common;
            put(common, {20, e.utf8 ? 0x0800u : 0u, e.method, 0, 0x21});
            put(common,
                {e.crc & 0xffff, e.crc >> 16, quint32(e.data.size()) & 0xffff, quint32(e.data.size()) >> 16,
                 e.size & 0xffff, e.size >> 16, quint32(e.name.size())});
            // Made on Unix, so the mode bits count; no extra field, comment, disk or attributes.
            put(central, {0x4b50, 0x0201, (3 << 8) | 20});
            central += common + QByteArray(8, '\0');
            put(central, {(e.mode & 040000) ? 0x10u : 0u, quint32(e.mode), quint32(out.size()) & 0xffff,
                          quint32(out.size()) >> 16});
            central += e.name;
            put(out, {0x4b50, 0x0403});
            out += common + QByteArray(2, '\0') + e.name + e.data;
        }
        const quint32 at = quint32(out.size()), count = quint32(entries_.size()),
                      size = quint32(central.size());
        out += central;
        put(out, {0x4b50, 0x0605, 0, 0, count, count, size & 0xffff, size >> 16, at & 0xffff, at >> 16, 0});
        return out;
    }

    static quint32 crc32(const QByteArray& data) {
        quint32 c = 0xFFFFFFFFu;
        for (const char ch : data) {
            c ^= quint8(ch);
            for (int k = 0; k < 8; ++k) {
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
            }
        }
        return ~c;
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
        quint32 method; // 0 stored, 8 deflate
        quint32 crc;    // of the unpacked data
        quint32 size;   // of the unpacked data
    };
    QList<Entry> entries_;

    ZipBuilder& add(const Entry& e) {
        entries_.append(e);
        return *this;
    }
    // Little-endian 16-bit fields.
    static void put(QByteArray& b, std::initializer_list<quint32> fields) {
        for (const quint32 v : fields) {
            b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
        }
    }
};
