#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 936 (GBK): the encoding of every file the program exchanges with the host IDE and the
// catalog server (settings, catalog, description files). All conversions go through here.
//
// Text is read and written as GB18030, the superset of GBK that holds every Unicode character and
// gives the same bytes for every GBK character, so a file of GBK text stays byte for byte what the
// host IDE wrote, and a character GBK lacks (a name under "/home/björn", a skin "한.qss") survives
// instead of becoming "?". The two single bytes code page 936 gives meaning to beyond GB18030 (0x80,
// the euro sign, and 0xFF) keep that meaning in both directions.
namespace gbk {

// Invalid byte sequences decode to U+FFFD; decoding never fails.
QString decode(QByteArrayView bytes);
// Every character has a form; nothing becomes '?'.
QByteArray encode(QStringView text);
// True when a GB18030 codec is available in this Qt build.
bool available();

} // namespace gbk
