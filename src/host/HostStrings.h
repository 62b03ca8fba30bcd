#pragma once

#include <QString>

// The texts the host IDE handlers show.
namespace hoststr {

// Any of the three host path choosers, when the chosen file is not Quenra.exe.
inline const QString InvalidPath = QStringLiteral("Quenra程序路径选择错误,请重新选择！");
// The version file names neither supported version; OK opens the host IDE's download page.
inline const QString VersionTooOld =
    QStringLiteral("您的Quenra版本过低!（非2.0_RC4或3.0版本）是否现在前往下载最新版？");
// The board list's current entry is empty.
inline const QString BoardRequired = QStringLiteral("板卡为必选项！请选择对应板卡！");
// Open-file dialog filter of the tools panel's chooser ("description|pattern").
inline const QString ExeFilter = QStringLiteral("Quenra.exe文件(*.exe)|*.exe");

} // namespace hoststr
