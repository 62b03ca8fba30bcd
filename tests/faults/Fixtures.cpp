#include "Fixtures.h"

#include "ZipBuilder.h"
#include "settings/Gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

namespace faults {

namespace {

constexpr int MiB = 1 << 20;

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

QByteArray pattern(int size) {
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        data[i] = char('a' + (i * 7 + i / 1000) % 26);
    }
    return data;
}

QByteArray readme(const QString& name, const QString& version) {
    return gbk::encode(QLatin1Char('[') + name + QStringLiteral("]\r\n库名=") + name +
                       QStringLiteral("\r\n库版本=") + version + QStringLiteral("\r\n"));
}

QByteArray catalog(const QString& notice, bool padded) {
    QString text =
        QStringLiteral("版本号：1.03\r\n软件更新日期：2025年1月5日\r\n公告：") + notice +
        QStringLiteral("\r\n库更新：2025年1月4日\r\n"
                       "分享示例：流水灯[led]\r\n分享示例：坏例[badled]\r\n分享示例：越界例[slipled]\r\n");
    for (const char* name : {"AHT20", "NotZip", "Bomb", "Slip", "Link", "Packed"}) {
        text += QStringLiteral("[%1] \r\n库名=%1\r\n库版本=2.0\r\n").arg(QLatin1String(name));
    }
    if (padded) {
        text += QStringLiteral("[Padding] \r\n库简介=") +
                QString(int(DiskLimit) + 16 * 1024, QLatin1Char('p')) + QStringLiteral("\r\n");
    }
    return gbk::encode(text);
}

// The files of the packages that install something, by package name.
Tree filesOf(const QString& name) {
    if (name == QLatin1String("AHT20")) {
        return {{"AHT20/AHT20.xml", "<xml version=\"2\"/>"},
                {"AHT20/readme.txt", readme(QStringLiteral("AHT20"), QStringLiteral("2.0"))},
                {"AHT20/data.bin", pattern(int(DiskLimit) + 32 * 1024)}};
    }
    if (name == QLatin1String("Packed")) {
        return {{"Packed/Packed.xml", "<xml/>"}, {"Packed/zeros.bin", QByteArray(4 * MiB, '\0')}};
    }
    if (name == QLatin1String("led")) {
        return {{QStringLiteral("流水灯.qnp"), "{\"title\":\"led\"}"}};
    }
    return {};
}

QByteArray zipOf(const Tree& files, const QByteArray& topFolder = {}) {
    ZipBuilder zip;
    if (!topFolder.isEmpty()) {
        zip.folder(topFolder);
    }
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        zip.file(it.key().toUtf8(), it.value(), true);
    }
    return zip.bytes();
}

} // namespace

ZeroStream zeroStream(int mebibytes) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    const QByteArray zeros(MiB, '\0');
    QByteArray chunk(MiB / 256, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
    z.avail_in = uInt(zeros.size());
    z.next_out = reinterpret_cast<Bytef*>(chunk.data());
    z.avail_out = uInt(chunk.size());
    // A full flush ends the data byte-aligned and lets nothing after it refer back into it.
    deflate(&z, Z_FULL_FLUSH);
    chunk.resize(chunk.size() - qsizetype(z.avail_out));
    QByteArray end(16, Qt::Uninitialized);
    z.next_out = reinterpret_cast<Bytef*>(end.data());
    z.avail_out = uInt(end.size());
    deflate(&z, Z_FINISH); // an empty last block
    end.resize(end.size() - qsizetype(z.avail_out));
    deflateEnd(&z);

    ZeroStream s;
    s.deflated = chunk.repeated(mebibytes) + end;
    const uLong one = crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(zeros.size()));
    uLong crc = crc32(0, nullptr, 0);
    for (int i = 0; i < mebibytes; ++i) {
        crc = crc32_combine(crc, one, MiB);
    }
    s.crc = quint32(crc);
    s.size = quint32(qint64(mebibytes) * MiB);
    return s;
}

ServerFiles::ServerFiles() {
    const auto put = [&](const QString& relative, const QByteArray& bytes) {
        writeFile(dir_.filePath(relative), bytes);
    };
    put(QStringLiteral("KU.txt"), oldCatalog());
    put(QStringLiteral("new/KU.txt"), newCatalog());
    put(QStringLiteral("new/AHT20.zip"), zipOf(filesOf(QStringLiteral("AHT20")), "AHT20/"));
    put(QStringLiteral("new/led.zip"), zipOf(filesOf(QStringLiteral("led"))));
    put(QStringLiteral("new/NotZip.zip"), "This is an HTML page, not an archive.\r\n");
    put(QStringLiteral("new/badled.zip"), "PK\x03\x04 but nothing after the signature");

    const ZeroStream packed = zeroStream(4);
    put(QStringLiteral("new/Packed.zip"),
        ZipBuilder()
            .folder("Packed/")
            .file("Packed/Packed.xml", "<xml/>")
            .deflated("Packed/zeros.bin", packed.deflated, packed.crc, packed.size)
            .bytes());
    // Past the 1 GiB the extraction allows, in a package of about one megabyte.
    const ZeroStream bomb = zeroStream(1100);
    put(QStringLiteral("new/Bomb.zip"), ZipBuilder()
                                            .folder("Bomb/")
                                            .file("Bomb/Bomb.xml", "<xml/>")
                                            .deflated("Bomb/zeros.bin", bomb.deflated, bomb.crc, bomb.size)
                                            .bytes());
    put(QStringLiteral("new/Slip.zip"), ZipBuilder()
                                            .file("Slip/Slip.xml", "<xml/>")
                                            .file("../../../../../../../../evil.txt", "slipped")
                                            .bytes());
    put(QStringLiteral("new/Link.zip"), ZipBuilder()
                                            .file("Link/Link.xml", "<xml/>")
                                            .symlink("Link/up", "../../../../../../../..")
                                            .file("Link/up/evil.txt", "through the link")
                                            .bytes());
    put(QStringLiteral("new/slipled.zip"), ZipBuilder()
                                               .file(QStringLiteral("越界例.qnp").toUtf8(), "{}", true)
                                               .file("../../../evil.qnp", "slipped")
                                               .bytes());
}

QByteArray ServerFiles::oldCatalog() const {
    return catalog(QStringLiteral("旧的公告"), false);
}

QByteArray ServerFiles::newCatalog() const {
    return catalog(QStringLiteral("新的公告"), true);
}

QByteArray ServerFiles::package(const QString& name) const {
    QFile f(dir_.filePath(QStringLiteral("new/") + name + QStringLiteral(".zip")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Tree ServerFiles::packageFiles(const QString& name) const {
    return filesOf(name);
}

AppFixture::AppFixture(const ServerFiles& server, const QString& goodBase) {
    const QString exe = app_.file(QStringLiteral("host/Quenra.exe"));
    app_.writeConfig({QStringLiteral("banben=1.03"), QStringLiteral("fuwuqi=") + goodBase,
                      QStringLiteral("quenra=") + exe, QStringLiteral("Kuliebiao=Uno"), QString(),
                      QStringLiteral("[Notes]"),
                      QStringLiteral("padding=") + QString(int(DiskLimit) + 16 * 1024, QLatin1Char('n'))});
    app_.writeFile(CatalogCache, server.oldCatalog());
    app_.writeFile(PackageCache + QStringLiteral("/AHT20.zip"), oldPackage());
    app_.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
    const QString root = LibraryRoot + QLatin1Char('/');
    app_.writeFile(root + QStringLiteral("AHT20/AHT20.xml"), "<xml version=\"1\"/>");
    app_.writeFile(root + QStringLiteral("AHT20/readme.txt"),
                   readme(QStringLiteral("AHT20"), QStringLiteral("1.0")));
    app_.writeFile(root + QStringLiteral("AHT20/dropped.txt"), "a file version 2.0 no longer has");
    app_.writeFile(root + QStringLiteral("Other/keep.txt"), "another library");
    app_.writeFile(
        QStringLiteral("host/resources/app/src/boards/default/Mega/libraries/ThirdParty/MegaLib/readme.txt"),
        readme(QStringLiteral("MegaLib"), QStringLiteral("1.0")));
    app_.writeFile(ExamplesFolder + QStringLiteral("/旧示例.qnp"), "{}");
    const Tree local = localLibraryFiles();
    for (auto it = local.constBegin(); it != local.constEnd(); ++it) {
        app_.writeFile(QStringLiteral("local/") + it.key(), it.value());
    }
}

Tree AppFixture::localLibraryFiles() const {
    return {{"MyLib/MyLib.xml", "<xml/>"},
            {"MyLib/a-readme.txt", readme(QStringLiteral("MyLib"), QStringLiteral("1.0"))},
            {"MyLib/m-data.bin", pattern(int(DiskLimit) + 1)},
            {"MyLib/z-block.js", "// block"}};
}

QByteArray AppFixture::oldPackage() const {
    return zipOf({{"AHT20/AHT20.xml", "<xml version=\"1\"/>"},
                  {"AHT20/readme.txt", readme(QStringLiteral("AHT20"), QStringLiteral("1.0"))},
                  {"AHT20/dropped.txt", "a file version 2.0 no longer has"}},
                 "AHT20/");
}

} // namespace faults
