#pragma once

#include "FakePlatform.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QStringList>

// Files and messages as the install and example tests compare them.

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

// Every folder, file and link below `root`, with the content of the files: equal snapshots prove
// that a refused step changed nothing.
inline QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QByteArray content = info.isSymLink() ? "<link>" + QFile::encodeName(info.symLinkTarget())
                                   : info.isDir()   ? QByteArray("<dir>")
                                                    : readFile(path);
        tree.insert(QDir(root).relativeFilePath(path), content);
    }
    return tree;
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
