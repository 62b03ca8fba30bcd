#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>

// Files as tests write, read and compare them.

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Creates the folders on the way.
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

// Dates the file 2025-01-02 03:04, as a package an earlier download left.
inline void backdate(const QString& path) {
    QFile f(path);
    if (f.open(QIODevice::ReadWrite)) {
        f.setFileTime(QDateTime(QDate(2025, 1, 2), QTime(3, 4)), QFileDevice::FileModificationTime);
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
