// The profile reader and writer over arbitrary bytes: reading never crashes, the whole-file parse and
// the single look-up and the section index agree, and a write keeps every other byte and reads back
// what was written.
#include "Fuzz.h"
#include "settings/Gbk.h"
#include "settings/IniFile.h"

#include <algorithm>

void fuzz(const QByteArray& bytes) {
    const QString text = gbk::decode(bytes);
    const ini::Document doc = ini::Document::parse(text);
    const ini::SectionIndex index = ini::SectionIndex::build(bytes);
    for (const QString s : {"Dravonel", "AHT20", "库"}) {
        for (const QString k : {"quenra", "库名", "k"}) {
            require(ini::findValue(text, s, k) == doc.value(s, k));
            require(index.section(bytes, s).value(s, k) == doc.value(s, k));
        }
    }
    const QString section = QStringLiteral("Dravonel"), key = QStringLiteral("quenra");
    const QString value = QStringLiteral("D:\\Q\\Quenra.exe");
    // A value written reads back, unless an unreadable header swallowed the line (a "[" line whose
    // "]" sits in an invalid byte sequence): checked for plain ASCII without NUL only.
    const bool ascii = std::ranges::all_of(bytes, [](char c) { return c != 0 && quint8(c) < 0x80; });
    require(!ascii ||
            ini::findValue(gbk::decode(ini::withValue(bytes, section, key, value)), section, key) == value);
}
