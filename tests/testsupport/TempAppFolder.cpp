#include "TempAppFolder.h"

#include "Files.h"
#include "settings/Gbk.h"

#include <QDir>

TempAppFolder::TempAppFolder(const QStringList& configLines) {
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("Dravonel/ku/Wenjian"));
    root.mkpath(QStringLiteral("Dravonel/SkinH"));
    writeConfig(configLines);
}

AppFolder TempAppFolder::folder() const {
    return AppFolder{dir_.path(), QLatin1Char('/')};
}

AppContext TempAppFolder::context(Platform* platform) const {
    return AppContext{folder(), platform, NetTimeouts{3000, 3000}};
}

void TempAppFolder::writeConfig(const QStringList& lines) const {
    QString text = QStringLiteral("[Dravonel]\r\n");
    for (const QString& line : lines) {
        text += line + QStringLiteral("\r\n");
    }
    writeGbk(QStringLiteral("Dravonel/config.ini"), text);
}

QByteArray TempAppFolder::configBytes() const {
    return readFile(file(QStringLiteral("Dravonel/config.ini")));
}

void TempAppFolder::writeFile(const QString& relative, const QByteArray& bytes) const {
    ::writeFile(file(relative), bytes);
}

void TempAppFolder::writeGbk(const QString& relative, const QString& text) const {
    writeFile(relative, gbk::encode(text));
}
