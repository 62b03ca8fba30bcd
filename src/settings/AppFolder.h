#pragma once

#include <QChar>
#include <QDir>
#include <QString>

// The folder of the running program file, and the separator its paths use. Every path of the
// working folder is the application folder followed by a literal that starts with the separator;
// nothing is normalised, so a program in a drive root gives a doubled separator, which the file
// system reads as one.
struct AppFolder {
    QString dir;
    QChar sep = QDir::separator();

    // dir + sep + relative, where the '/' in `relative` become `sep`.
    // file("Dravonel/config.ini") -> "<dir>\Dravonel\config.ini" on Windows.
    QString file(const QString& relative) const;

    QString settingsFile() const { return file(QStringLiteral("Dravonel/config.ini")); }
    QString catalogCache() const { return file(QStringLiteral("Dravonel/ku/Ku.txt")); }
    // The same file under the name the library details use; file names are matched without regard
    // to case on Windows, and on other systems the name the cache is written under is used.
    QString catalogCacheForDetails() const;
    // Ends with the separator.
    QString packageCacheFolder() const { return file(QStringLiteral("Dravonel/ku/Wenjian/")); }
    // Ends with the separator.
    QString skinFolder() const { return file(QStringLiteral("Dravonel/SkinH/")); }

    // The folder of the running program, with native separators.
    static AppFolder ofRunningProgram();
};
