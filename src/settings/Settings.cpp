#include "settings/Settings.h"

#include "settings/IniFile.h"
#include "settings/MK.h"
#include "settings/SettingsKeys.h"

QString Settings::read(const QString& key) const {
    return MK::ReadIniValue(keys::Section, key, folder_.settingsFile());
}

bool Settings::write(const QString& key, const QString& value) const {
    return ini::writeValue(folder_.settingsFile(), keys::Section, key, value);
}
