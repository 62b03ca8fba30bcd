#pragma once

#include "app/AppContext.h"
#include "settings/AppFolder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Platform;

// QFile::link makes a shortcut file on Windows, which the file system does not follow; a test that
// needs a real link skips with this reason there.
#ifdef Q_OS_WIN
inline constexpr const char* NoFileLinks = "QFile::link makes a shortcut file on Windows, not a link";
#else
inline constexpr const char* NoFileLinks = nullptr;
#endif

// A fresh application folder for one test, laid out as an installed program's: Dravonel/ with
// config.ini, ku/, ku/Wenjian/ and SkinH/.
class TempAppFolder {
public:
    // `configLines` become config.ini (GBK, CR LF) under the section [Dravonel]; pass an empty list
    // for a file with just the section.
    explicit TempAppFolder(const QStringList& configLines = {});

    AppFolder folder() const;
    AppContext context(Platform* platform) const;
    QString path() const { return dir_.path(); }
    // Path of a file below the application folder, '/'-separated relative path.
    QString file(const QString& relative) const { return dir_.path() + QLatin1Char('/') + relative; }

    void writeConfig(const QStringList& lines) const;
    QByteArray configBytes() const;

    // Below the application folder, creating folders; text is GBK.
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    void writeGbk(const QString& relative, const QString& text) const;

private:
    QTemporaryDir dir_;
};
