#include "settings/MK.h"

#include "settings/IniFile.h"

namespace MK {

QString ReadIniValue(const QString& section, const QString& key, const QString& file) {
    return ini::readValue(file, section, key);
}

} // namespace MK
