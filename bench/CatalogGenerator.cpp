#include "CatalogGenerator.h"

#include "settings/Gbk.h"

#include <QString>
#include <QStringList>

QByteArray generateCatalog(int libraries) {
    const QStringList kinds{QStringLiteral("温湿度传感器"), QStringLiteral("显示屏"),
                            QStringLiteral("电机驱动"), QStringLiteral("灯带"), QStringLiteral("蓝牙模块")};
    QString text;
    text.reserve(libraries * 130 + 1024);
    const QString eol = QStringLiteral("\r\n");
    text += QStringLiteral("版本号：1.03") + eol + QStringLiteral("软件更新日期：2025年1月5日") + eol +
            QStringLiteral("公告：欢迎使用") + eol + QStringLiteral("库更新：2025年1月4日") + eol;
    for (int i = 0; i < 20; ++i) {
        text += QStringLiteral("分享网址：网站%1[https://site%1.example.com/]").arg(i) + eol;
        text += QStringLiteral("分享示例：示例%1[example%1]").arg(i) + eol;
    }
    text += eol;
    for (int i = 0; i < libraries; ++i) {
        const QString name = QStringLiteral("Lib%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString& kind = kinds[i % kinds.size()];
        text += QLatin1Char('[') + name + QStringLiteral("] ") + eol;
        text += QStringLiteral("库名=") + name + kind + eol;
        text += QStringLiteral("作者=作者%1").arg(i % 97) + eol;
        text += QStringLiteral("库版本=1.%1").arg(i % 10) + eol;
        text += QStringLiteral("适用板卡=Arduino Uno、Arduino Nano") + eol;
        text += QStringLiteral("更新日期=2024年%1月%2日").arg(i % 12 + 1).arg(i % 28 + 1) + eol;
        text += QStringLiteral("联系方式=lib%1@example.com").arg(i) + eol;
        text += QStringLiteral("网址=https://quenra-helper.example.com/?p=%1").arg(1000 + i) + eol;
        text += QStringLiteral("库简介=用于") + kind +
                QStringLiteral("的积木库，提供初始化和读取两个积木。") + eol;
        text += eol;
    }
    return gbk::encode(text);
}

QByteArray generateFloodCatalog(qsizetype sections) {
    QByteArray bytes = gbk::encode(QStringLiteral("公告：欢迎使用\r\n"));
    bytes.reserve(bytes.size() + sections * 6);
    char line[] = "[a] \r\n";
    for (qsizetype i = 0; i < sections; ++i) {
        line[1] = char('a' + i % 26);
        bytes.append(line, 6);
    }
    return bytes;
}
