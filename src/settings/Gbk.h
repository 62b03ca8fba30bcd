#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 936 (GBK): the encoding of every file the program exchanges with the host IDE and the
// catalog server (settings, catalog, description files). All conversions go through here.
namespace gbk {

// Invalid byte sequences decode to U+FFFD; decoding never fails.
QString decode(QByteArrayView bytes);
// Characters GBK cannot hold become '?'.
QByteArray encode(QStringView text);
// True when a GBK codec is available in this Qt build.
bool available();

} // namespace gbk
