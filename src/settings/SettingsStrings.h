#pragma once

#include <QString>

// What the windows say about the settings file.
namespace settingsstr {
inline const QString SaveFailed = QStringLiteral("设置保存失败！请检查Dravonel文件夹是否可写。");
} // namespace settingsstr
