#include "FakePlatform.h"
#include "Scenes.h"
#include "TempAppFolder.h"
#include "Widgets.h"
#include "app/MainWindow.h"
#include "app/RowsModel.h"
#include "skins/SkinTones.h"
#include "ui/SkinEngine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include <cstdio>

namespace {

// The skins shipped in the working-folder template, by name so the pictures come out in a fixed
// order.
QFileInfoList shippedSkins(const ShotContext& c) {
    return QDir(c.sourceDir + QStringLiteral("/data/Dravonel/SkinH")).entryInfoList(QDir::Files, QDir::Name);
}

QStringList mainWindowConfig(const QString& skin) {
    return {QStringLiteral("banben=1.03"),
            QStringLiteral("qunhao=123456789"),
            QStringLiteral("guanwang=https://quenra-helper.example.com"),
            QStringLiteral("fuwuqi=http://127.0.0.1:1/"),
            QStringLiteral("quenra=/opt/Quenra/Quenra.exe"),
            QStringLiteral("quenraBanben=Quenra 3.0 rc0"),
            QStringLiteral("pifu=") + skin};
}

// An application folder holding every shipped skin, with `skin` chosen.
void installSkins(const TempAppFolder& app, const ShotContext& c) {
    for (const QFileInfo& skin : shippedSkins(c)) {
        QFile::copy(skin.absoluteFilePath(), app.file(QStringLiteral("Dravonel/SkinH/") + skin.fileName()));
    }
}

QWidget* openConversionWindow() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QStringLiteral("Form2") && top->isVisible()) {
            return top;
        }
    }
    return nullptr;
}

void fillSampleLists(MainWindow& w) {
    QStringList network = rows(child<QListView>(w, "List2"));
    for (const char* name : {"Blinker",  "DHT11温湿度", "OLED显示屏", "WiFi配网",   "舵机控制", "超声波测距",
                             "红外遥控", "步进电机",    "RFID读卡",   "MQTT物联网", "蓝牙串口", "RGB灯带",
                             "数码管",   "矩阵键盘",    "LCD1602",    "继电器",     "语音播报", "GPS定位",
                             "陀螺仪",   "心率传感器",  "土壤湿度",   "气压传感器"}) {
        network << QString::fromUtf8(name);
    }
    controls::rowsOf(child<QListView>(w, "List2")).setRows(network);
    controls::rowsOf(child<QListView>(w, "List3"))
        .setRows(rows(child<QListView>(w, "List3")) + QStringList{QStringLiteral("Blinker"),
                                                                  QStringLiteral("OLED显示屏"),
                                                                  QStringLiteral("舵机控制")});
    child<QListView>(w, "List2")->setCurrentIndex(child<QListView>(w, "List2")->model()->index(2, 0));
    child<QComboBox>(w, "Combo2")->addItems({QStringLiteral("ESP32"), QStringLiteral("Arduino AVR")});
    child<QPlainTextEdit>(w, "Text11")
        ->setPlainText(QStringLiteral("库名称：OLED显示屏\n作者：示例作者\n版本：1.2\n更新时间：2024-05-01\n"
                                      "说明：驱动 0.96 寸 OLED 屏幕，支持中文显示。"));
    child<QPlainTextEdit>(w, "Text11")->show();
    child<QPushButton>(w, "Command13")->show();
    child<QPushButton>(w, "Command101")->show();
    child<QPushButton>(w, "Command102")->show();
    child<QPushButton>(w, "Command200")->show();
    child<QPushButton>(w, "Command201")->show();
    child<QPushButton>(w, "Command202")->show();
}

// The main window in each shipped skin, with lists and details filled so every kind of control shows,
// then the about panel (link colours) and the path-settings panel (warning colour, grey hint).
const SceneRegistrar mainWindowSkins("main-window-skins", [](ShotContext& c) {
    for (const QFileInfo& skin : shippedSkins(c)) {
        const QString suffix = QStringLiteral("-") + skin.completeBaseName();
        {
            TempAppFolder app(mainWindowConfig(skin.fileName()));
            installSkins(app, c);
            FakePlatform platform;
            MainWindow w(app.context(&platform));
            w.startUp();
            fillSampleLists(w);
            w.show();
            saveShot(&w, QStringLiteral("main-window") + suffix, c);
            child<QAction>(w, "guanyu")->trigger();
            saveShot(&w, QStringLiteral("about-panel") + suffix, c);

            // The conversion window, opened after the skin was applied, then with its reminder.
            child<QPushButton>(w, "Command25")->click();
            if (auto* conversion = openConversionWindow()) {
                saveShot(conversion, QStringLiteral("conversion-window") + suffix, c);
                conversion->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
                saveShot(conversion, QStringLiteral("conversion-converted") + suffix, c);
                conversion->close();
            }
        }
        {
            QStringList config = mainWindowConfig(skin.fileName());
            config.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("quenra=")); });
            TempAppFolder app(config);
            installSkins(app, c);
            FakePlatform platform;
            MainWindow w(app.context(&platform));
            w.startUp();
            w.show();
            saveShot(&w, QStringLiteral("path-settings") + suffix, c);
            // After a choice the path shows in the normal text colour.
            platform.fileAnswers << QStringLiteral("/opt/Quenra/Quenra.exe");
            platform.answers << Platform::Answer::Cancel;
            child<QPushButton>(w, "Command5")->click();
            saveShot(&w, QStringLiteral("path-settings-chosen") + suffix, c);
        }
    }
});

const SceneRegistrar skinPanel("skin-panel", [](ShotContext& c) {
    TempAppFolder app(mainWindowConfig(QString()));
    installSkins(app, c);
    FakePlatform platform;
    MainWindow w(app.context(&platform));
    w.startUp();
    w.show();
    child<QAction>(w, "pifu")->trigger();
    saveShot(&w, QStringLiteral("skin-panel"), c);
});

// Every kind of control the program's windows use, in every state worth seeing, with the popups and
// dialogs beside it: one picture per skin, plus the base look.
class ControlSheet final {
public:
    ControlSheet() {
        window.setObjectName(QStringLiteral("controls"));
        window.resize(520, 470);
        auto* frame = new QGroupBox(QStringLiteral("框架标题"), &window);
        frame->setGeometry(8, 4, 504, 200);
        auto* plain = new QLabel(QStringLiteral("普通标签：板卡"), frame);
        plain->setGeometry(12, 22, 150, 18);
        auto* alert = new QLabel(QStringLiteral("库文件更新失败！点击重试！"), frame);
        alert->setProperty(tone::Property, tone::Alert);
        alert->setGeometry(170, 22, 180, 18);
        auto* link = new QLabel(QStringLiteral("https://example.com"), frame);
        link->setProperty(tone::Property, tone::Link);
        link->setGeometry(360, 22, 140, 18);
        auto* warning = new QLabel(QStringLiteral("温馨提示：捐赠流量"), frame);
        warning->setProperty(tone::Property, tone::Warning);
        warning->setGeometry(12, 44, 150, 18);

        auto* edit = new QLineEdit(QStringLiteral("/opt/Quenra/Quenra.exe"), frame);
        edit->setGeometry(12, 68, 230, 23);
        auto* readOnly = new QLineEdit(QStringLiteral("只读文本框"), frame);
        readOnly->setReadOnly(true);
        readOnly->setGeometry(250, 68, 120, 23);
        auto* disabledEdit = new QLineEdit(QStringLiteral("禁用文本框"), frame);
        disabledEdit->setEnabled(false);
        disabledEdit->setGeometry(378, 68, 114, 23);

        auto* normal = new QPushButton(QStringLiteral("获取Quenra路径"), frame);
        normal->setGeometry(12, 100, 113, 25);
        auto* preferred = new QPushButton(QStringLiteral("默认按钮"), frame);
        preferred->setGeometry(132, 100, 113, 25);
        preferred->setDefault(true);
        auto* pressed = new QPushButton(QStringLiteral("按下按钮"), frame);
        pressed->setGeometry(252, 100, 113, 25);
        pressed->setDown(true);
        auto* disabled = new QPushButton(QStringLiteral("运行Quenra"), frame);
        disabled->setGeometry(372, 100, 113, 25);
        disabled->setEnabled(false);

        auto* combo = new QComboBox(frame);
        combo->addItems({QStringLiteral("ESP32"), QStringLiteral("Arduino AVR")});
        combo->setGeometry(12, 134, 209, 23);
        auto* on = new QCheckBox(QStringLiteral("转换后复制"), frame);
        on->setChecked(true);
        on->setGeometry(232, 136, 90, 20);
        auto* off = new QCheckBox(QStringLiteral("自动粘贴"), frame);
        off->setGeometry(326, 136, 80, 20);
        auto* offDisabled = new QCheckBox(QStringLiteral("禁用"), frame);
        offDisabled->setChecked(true);
        offDisabled->setEnabled(false);
        offDisabled->setGeometry(410, 136, 80, 20);
        auto* bar = new QProgressBar(frame);
        bar->setRange(0, 100);
        bar->setValue(42);
        bar->setGeometry(12, 166, 480, 22);

        auto* lists = new QGroupBox(QStringLiteral("网络库"), &window);
        lists->setGeometry(8, 210, 504, 252);
        auto* list = new QListWidget(lists);
        list->setGeometry(12, 22, 160, 218);
        for (int i = 1; i <= 20; ++i) {
            list->addItem(QStringLiteral("示例库%1").arg(i));
        }
        list->setCurrentRow(1);
        auto* text = new QPlainTextEdit(lists);
        text->setGeometry(180, 22, 312, 218);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        QString sample;
        for (int i = 1; i <= 30; ++i) {
            sample += QStringLiteral("Serial.println(\"第%1行：这是一段很长很长的示例代码文本\");\n").arg(i);
        }
        text->setPlainText(sample);
        text->selectAll();
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(10);
        cursor.setPosition(40, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
        comboBox = combo;

        menuBar = new QMenuBar(&menuHost);
        menu = menuBar->addMenu(QStringLiteral("设置"));
        menu->addAction(QStringLiteral("皮肤"));
        menu->addAction(QStringLiteral("刷新本地库"));
        menu->addSeparator();
        QAction* off2 = menu->addAction(QStringLiteral("禁用的菜单项"));
        off2->setEnabled(false);
        menuBar->addAction(QStringLiteral("帮助"));
        menuBar->addAction(QStringLiteral("关于"));
        menuHost.resize(240, 26);
        menuBar->resize(240, 26);
    }

    QPixmap render() {
        window.show();
        menuHost.show();
        settle();
        // As if the mouse rested on it.
        const QPixmap main = window.grab();
        const QPixmap bar = menuHost.grab();

        menu->popup(QPoint(0, 0));
        menu->setActiveAction(menu->actions().at(1));
        settle();
        const QPixmap menuShot = menu->grab();
        menu->hide();

        comboBox->showPopup();
        settle();
        const QPixmap comboShot = comboBox->view()->window()->grab();
        comboBox->hidePopup();

        QMessageBox box(QMessageBox::Question, QStringLiteral("Quenra小助手"),
                        QStringLiteral("确定要安装这个库吗？"), QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        box.show();
        settle();
        const QPixmap boxShot = box.grab();
        box.hide();

        QProgressDialog progress(QStringLiteral("正在下载 OLED显示屏.zip"), QStringLiteral("取消"), 0, 100);
        progress.setMinimumDuration(0);
        progress.setValue(63);
        progress.show();
        settle();
        const QPixmap progressShot = progress.grab();
        progress.hide();

        const int gap = 10;
        const int rightX = main.width() + 2 * gap;
        const int rightW = std::max(
            {bar.width(), menuShot.width() + comboShot.width() + gap, boxShot.width(), progressShot.width()});
        const int rightH = bar.height() + std::max(menuShot.height(), comboShot.height()) + boxShot.height() +
                           progressShot.height() + 4 * gap;
        QPixmap sheet(rightX + rightW + gap, std::max(main.height(), rightH) + 2 * gap);
        sheet.fill(QColor(0x80, 0x80, 0x80));
        QPainter p(&sheet);
        p.drawPixmap(gap, gap, main);
        int y = gap;
        p.drawPixmap(rightX, y, bar);
        y += bar.height();
        p.drawPixmap(rightX, y, menuShot);
        p.drawPixmap(rightX + menuShot.width() + gap, y, comboShot);
        y += std::max(menuShot.height(), comboShot.height()) + gap;
        p.drawPixmap(rightX, y, boxShot);
        y += boxShot.height() + gap;
        p.drawPixmap(rightX, y, progressShot);
        return sheet;
    }

private:
    QWidget window;
    QWidget menuHost;
    QMenuBar* menuBar = nullptr;
    QMenu* menu = nullptr;
    QComboBox* comboBox = nullptr;
};

void saveControls(const QString& name, const ShotContext& c) {
    ControlSheet sheet;
    const QString path = QDir(c.outDir).filePath(name + QStringLiteral(".png"));
    sheet.render().save(path);
    std::printf("%s\n", qPrintable(path));
}

const SceneRegistrar controls("skin-controls", [](ShotContext& c) {
    SkinH_Attach();
    saveControls(QStringLiteral("controls-base"), c);
    for (const QFileInfo& skin : shippedSkins(c)) {
        SkinH_Attach();
        SkinH_AttachEx(skin.absoluteFilePath(), QString());
        saveControls(QStringLiteral("controls-") + skin.completeBaseName(), c);
    }
    SkinH_Attach();
});

} // namespace
