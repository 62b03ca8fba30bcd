#pragma once

#include <QString>

// The skin subsystem's own texts.
namespace skinstr {
// Shown when the skin folder is missing while the skin list is filled.
inline const QString FolderMissing = QStringLiteral("指定的文件夹不存在，请检查路径！");
} // namespace skinstr
