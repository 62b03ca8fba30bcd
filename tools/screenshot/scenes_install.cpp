#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"
#include "app/RowsModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace {

// Used when no demo server runs: the demo catalog's library sections, enough for the details.
const QString kFallbackCatalog = QStringLiteral(
    "[AHT20]\r\n库名=AHT20温湿度传感器\r\n作者=Quenra小助手开发组\r\n库版本=1.2\r\n"
    "适用板卡=Arduino Uno,ESP32\r\n更新日期=2024年03月02日\r\n联系方式=aht20@quenra-helper.example.com\r\n"
    "网址=https://quenra-helper.example.com/lib/AHT20\r\n库简介=读取AHT20温度与湿度，I2C接口。\r\n"
    "[OLED]\r\n库名=OLED显示屏\r\n作者=小明\r\n库版本=1.1\r\n适用板卡=Arduino Uno,ESP32\r\n"
    "更新日期=2024年04月10日\r\n联系方式=QQ 10001\r\n网址=https://quenra-helper.example.com/lib/OLED\r\n"
    "库简介=0.96寸SSD1306 OLED显示文字与图形。\r\n"
    "[WS2812]\r\n库名=WS2812彩灯\r\n作者=小红\r\n库版本=1.0\r\n适用板卡=Arduino Uno,ESP32\r\n"
    "更新日期=2024年05月01日\r\n联系方式=QQ群 "
    "123456789\r\n网址=https://quenra-helper.example.com/lib/WS2812\r\n"
    "库简介=单颗或多颗WS2812彩灯的颜色控制。\r\n"
    "[NoName]\r\n作者=佚名\r\n库版本=0.1\r\n库简介=没有库名的条目。\r\n");

void click(QListView* list, const QString& text) {
    list->setCurrentIndex(rowOf(list, text));
}

// The details panel in each of its cases, on the demo installation's board "Arduino Uno" (AHT20 at
// the catalog's version, OLED at an older one) and "ESP32" (MyLocalLib, which the catalog lacks).
const SceneRegistrar details("library-details", [](ShotContext& c) {
    DemoHostWindow shown(c, QStringLiteral("Arduino Uno"));
    MainWindow& w = *shown.window;
    if (rows(child<QListView>(w, "List2")).isEmpty()) {
        shown.app.writeGbk(QStringLiteral("Dravonel/ku/Ku.txt"), kFallbackCatalog);
        controls::rowsOf(child<QListView>(w, "List2"))
            .setRows(QStringList{QStringLiteral("AHT20"), QStringLiteral("OLED"), QStringLiteral("WS2812"),
                                 QStringLiteral("NoName")});
    }
    press(w, "Combo2");

    click(child<QListView>(w, "List2"), QStringLiteral("AHT20"));
    saveShot(&w, QStringLiteral("details-installed-current"), c);
    click(child<QListView>(w, "List2"), QStringLiteral("OLED"));
    saveShot(&w, QStringLiteral("details-installed-older"), c);
    click(child<QListView>(w, "List2"), QStringLiteral("WS2812"));
    saveShot(&w, QStringLiteral("details-not-installed"), c);
    click(child<QListView>(w, "List2"), QStringLiteral("NoName"));
    saveShot(&w, QStringLiteral("details-neither"), c);

    choose(w, "Combo2", QStringLiteral("ESP32"));
    click(child<QListView>(w, "List3"), QStringLiteral("MyLocalLib"));
    saveShot(&w, QStringLiteral("details-local-only"), c);
});

// An update from the demo server: RGB灯带 on board 掌控板 v2 goes from 1.1 to the catalog's 1.3 (its
// package's entry names are in code page 936). Needs the demo server.
const SceneRegistrar update("library-update", [](ShotContext& c) {
    if (c.serverUrl.isEmpty()) {
        return;
    }
    DemoHostWindow shown(c, QStringLiteral("掌控板 v2"));
    MainWindow& w = *shown.window;
    press(w, "Combo2");
    click(child<QListView>(w, "List2"), QStringLiteral("RGB灯带"));
    saveShot(&w, QStringLiteral("update-offered"), c);
    shown.platform.clear();
    shown.platform.answers << Platform::Answer::Ok << Platform::Answer::Ok << Platform::Answer::Cancel;
    child<QPushButton>(w, "Command19")->click();
    for (const QString& text : shown.platform.messageTexts()) {
        qInfo("message: %s", qPrintable(text));
    }
    click(child<QListView>(w, "List3"), QStringLiteral("RGB灯带"));
    saveShot(&w, QStringLiteral("update-installed"), c);
});

// The search box and the updates-only filter over the demo catalog on board 掌控板 v2, whose
// RGB灯带 is older than the catalog's; then that library's details with its update and uninstall
// buttons. Needs the demo server.
const SceneRegistrar manage("library-manage", [](ShotContext& c) {
    if (c.serverUrl.isEmpty()) {
        return;
    }
    DemoHostWindow shown(c, QStringLiteral("掌控板 v2"));
    MainWindow& w = *shown.window;
    press(w, "Combo2");
    child<QLineEdit>(w, "Text20")->setText(QStringLiteral("灯"));
    saveShot(&w, QStringLiteral("library-search"), c);
    child<QLineEdit>(w, "Text20")->clear();
    child<QCheckBox>(w, "Check1")->setChecked(true);
    click(child<QListView>(w, "List3"), QStringLiteral("RGB灯带"));
    saveShot(&w, QStringLiteral("library-updates-only"), c);
});

} // namespace
