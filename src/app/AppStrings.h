#pragma once

#include <QString>

// The program's own texts shown by the main window's shell (start-up, panels, captions).
namespace appstr {
inline const QString Title = QStringLiteral("Quenra小助手");
inline const QString HostExeName = QStringLiteral("Quenra.exe");
} // namespace appstr
