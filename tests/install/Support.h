#pragma once

#include "AppWindow.h"
#include "Files.h"
#include "settings/Gbk.h"

#include <functional>

// Files, messages and windows as the install, example and fault tests use them.

// Board Uno's libraries in the host installation the window tests lay out.
inline const QString LibraryRoot =
    QStringLiteral("host/resources/app/src/boards/default/Uno/libraries/ThirdParty");

inline QByteArray readme(const QString& name, const QString& version) {
    return gbk::encode('[' + name + "]\r\n库名=" + name + "\r\n库版本=" + version + "\r\n");
}

// The message that refuses a library name no file may have.
inline QString unusableName(const QString& name) {
    return "库名【" + name +
           "】含有不能用作文件名的字符（/ \\ : * ? \" < > | "
           "或控制字符），或以点或空格结尾，或是系统保留的设备名"
           "（CON、PRN、AUX、NUL、COM1-COM9、LPT1-LPT9），无法使用！";
}

// The messages shown, in order, each behind its style: "? " a confirmation (OK and Cancel, Cancel
// the default), "! " exclamation, "x " critical, nothing for a plain OK box, all under the program's
// title. Only a text's first line is kept: a second line holds a path for diagnostics.
inline QStringList shown(const FakePlatform& platform) {
    QStringList out;
    for (const Platform::Message& m : platform.messages) {
        using I = Platform::Icon;
        const bool titled = m.title == QStringLiteral("Quenra小助手");
        const bool ok =
            titled && m.buttons == Platform::Buttons::Ok && m.defaultButton == Platform::Answer::Ok;
        const bool confirm =
            titled && m.buttons == Platform::Buttons::OkCancel && m.defaultButton == Platform::Answer::Cancel;
        const QString style = confirm && m.icon == I::Question ? QStringLiteral("? ")
                              : ok && m.icon == I::Exclamation ? QStringLiteral("! ")
                              : ok && m.icon == I::Critical    ? QStringLiteral("x ")
                              : ok && m.icon == I::None        ? QString()
                                                               : QStringLiteral("<other style> ");
        out << style + m.text.section(QStringLiteral("\r\n"), 0, 0);
    }
    return out;
}

// A started window on `board` of a host installation in the application folder, with the catalog
// of `base`; `setUp` writes files and scripts the platform before the start.
struct LibraryWindow : AppWindow {
    LibraryWindow(const QString& base, const QString& board,
                  const std::function<void(LibraryWindow&)>& setUp = {}) {
        app.writeConfig({"fuwuqi=" + base, "quenra=" + app.file("host/Quenra.exe"), "Kuliebiao=" + board});
        app.writeFile(QStringLiteral("host/Quenra.exe"), "#!/bin/sh\n");
        if (setUp) {
            setUp(*this);
        }
        start();
        platform.clear();
    }
    QString root() const { return app.file(LibraryRoot); }
    void writeReadme(const QString& library, const QString& version) const {
        app.writeFile(LibraryRoot + '/' + library + "/readme.txt", readme(library, version));
    }
};
