#pragma once

#include <QString>

// Every text of the code conversion tool: the affixes of the two conversions, the sample source and
// the conversion window's captions and reminders.
namespace convertstr {

// Line break of the source and of the output: CR LF. A lone CR or LF is an ordinary character.
inline const QString LineBreak = QStringLiteral("\r\n");

// The affixes. The generator that receives the output joins single-quoted literals with '+', and
// every literal ends in the two characters backslash and 'n' (an escape the generator's language
// reads, not a line break here).
inline const QString LinePrefix = QStringLiteral("+'");     // every line after the first
inline const QString LineSuffix = QStringLiteral("\\n'");   // every line
inline const QString FirstLinePrefix = QStringLiteral("'"); // the first line
inline const QString ValuePrefix = QStringLiteral("'+");    // value conversion, before the source
inline const QString ValueSuffix = QStringLiteral("+'");    // value conversion, after the source

// What the source box holds when the window opens: 36 lines, each ending in CR LF.
inline const QString SampleSource =
    QStringLiteral("示例代码\r\n"
                   "void setup(){\r\n"
                   "  Serial.begin(9600);\r\n"
                   "  Serial.println(\"Wait for Smartconfig\");\r\n"
                   "wifiMulti.run();\r\n"
                   "WiFi.setAutoConnect(true);\r\n"
                   "if (WiFi.status() == WL_CONNECTED) {\r\n"
                   "Serial.println(\"WiFi connected\");\r\n"
                   "Serial.println(\"IP address: \");\r\n"
                   "Serial.println(WiFi.localIP());\r\n"
                   " }\r\n"
                   "else{\r\n"
                   " WiFi.mode(WIFI_STA);\r\n"
                   " WiFi.beginSmartConfig();\r\n"
                   " while(!WiFi.smartConfigDone()){\r\n"
                   "Serial.print(\".\");\r\n"
                   "delay(500);\r\n"
                   "}\r\n"
                   "Serial.println(\"SmartConfig Success\");\r\n"
                   "Serial.printf(\"SSID:%s\", WiFi.SSID().c_str());\r\n"
                   "Serial.printf(\"PSW:%s\", WiFi.psk().c_str());\r\n"
                   "wifiMulti.addAP(WiFi.SSID().c_str(),WiFi.psk().c_str());\r\n"
                   "}\r\n"
                   "\r\n"
                   "  NTP.setInterval (600);\r\n"
                   "  NTP.setNTPTimeout (1500);\r\n"
                   "  NTP.begin (ntpServer, timeZone, false);\r\n"
                   "  u8g2.setI2CAddress(0x3C*2);\r\n"
                   "  u8g2.begin();\r\n"
                   "  shijian = \"\";\r\n"
                   "  miao = \"\";\r\n"
                   "  timer.setInterval(1000L, Simple_timer_1);\r\n"
                   "\r\n"
                   "  u8g2.enableUTF8Print();\r\n"
                   "\r\n"
                   "}\r\n");

// The conversion window.
inline const QString WindowTitle =
    QStringLiteral("Quenra小助手") + QString(22, QLatin1Char(' ')) + QStringLiteral("制库小助手 ");
inline const QString SourceFrame = QStringLiteral("原代码");
inline const QString OutputFrame = QStringLiteral("转换后的代码");
inline const QString PasteAutomatically = QStringLiteral("自动粘贴");
inline const QString CopyAfterConverting = QStringLiteral("转换后复制");
inline const QString ClearAll = QStringLiteral("清空所有");
inline const QString MultiLine = QStringLiteral("单多行处理");
inline const QString SingleValue = QStringLiteral("单行value值处理");
inline const QString CopyOutput = QStringLiteral("复制转换后的代码");
inline const QString Close = QStringLiteral("关闭");
inline const QString ReminderFrame = QStringLiteral("温馨提示");
inline const QString PasteAndConvert = QStringLiteral("粘贴并转换[多行处理]");
inline const QString ValueConversion = QStringLiteral("值转化");
inline const QString ConvertOnly = QStringLiteral("转换不行");

// Reminders.
inline const QString Converted = QStringLiteral("代码转化成功！");
inline const QString Copied = QStringLiteral("已复制转换后的代码");

// Stored option values.
inline const QString Ticked = QStringLiteral("1");
inline const QString Unticked = QStringLiteral("0");

} // namespace convertstr
