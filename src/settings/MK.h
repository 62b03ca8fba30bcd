#pragma once

#include <QString>

// Module MK: the one read routine through which every profile file is read (the settings file, the
// catalog cache and the description files of installed libraries).
namespace MK {

// The value of `key` in `section` of the INI file `file`; empty text when the file, the section or
// the key is missing. The value is returned whole (no length cut).
QString ReadIniValue(const QString& section, const QString& key, const QString& file);

} // namespace MK
