#include "TempAppFolder.h"

#include "settings/Gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempAppFolder::TempAppFolder(const QStringList& configLines) {
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("Dravonel/ku/Wenjian"));
    root.mkpath(QStringLiteral("Dravonel/SkinH"));
    writeConfig(configLines);
}

AppFolder TempAppFolder::folder() const {
    AppFolder f;
    f.dir = dir_.path();
    f.sep = QLatin1Char('/');
    return f;
}

AppContext TempAppFolder::context(Platform* platform) const {
    AppContext c;
    c.folder = folder();
    c.platform = platform;
    c.timeouts.connectMs = 3000;
    c.timeouts.stallMs = 3000;
    return c;
}

void TempAppFolder::writeConfig(const QStringList& lines) const {
    QString text = QStringLiteral("[Dravonel]\r\n");
    for (const QString& line : lines) {
        text += line + QStringLiteral("\r\n");
    }
    writeGbk(QStringLiteral("Dravonel/config.ini"), text);
}

QByteArray TempAppFolder::configBytes() const {
    QFile f(file(QStringLiteral("Dravonel/config.ini")));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

void TempAppFolder::writeFile(const QString& relative, const QByteArray& bytes) const {
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

void TempAppFolder::writeGbk(const QString& relative, const QString& text) const {
    writeFile(relative, gbk::encode(text));
}
