#include "app/Form1.h"

#include "app/AppStrings.h"
#include "app/ClickableLabel.h"
#include "app/ControlFactory.h"
#include "app/TextHolder.h"
#include "app/Twips.h"
#include "host/HostPaths.h"
#include "install/Swap.h"
#include "settings/SettingsKeys.h"
#include "skins/SkinTones.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using controls::button;
using controls::frame;
using controls::label;
using controls::named;

ClickableLabel* link(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* l = named(new ClickableLabel(caption, parent), name);
    l->setGeometry(geometry);
    return l;
}

QListWidget* list(QWidget* parent, const char* name, QRect geometry) {
    auto* l = named(new QListWidget(parent), name);
    l->setGeometry(geometry);
    return l;
}

QLineEdit* hiddenText(QWidget* parent, const char* name) {
    auto* t = named(new QLineEdit(parent), name);
    t->setGeometry(-2000, -2000, 100, 20);
    t->hide();
    return t;
}

QPushButton* hiddenButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = button(parent, name, caption, QRect(-2000, -2000, 80, 25));
    b->hide();
    return b;
}

// The payment-code picture of the donation panel: drawn, not shipped, so it needs no file.
QPixmap paymentCodePicture(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1a, 0xad, 0x19));
    const int cells = 21;
    const double cell = size / double(cells);
    // Three finder squares and a fixed pattern: a stand-in, not a real payment code.
    auto finder = [&](int cx, int cy) {
        p.drawRect(QRectF(cx * cell, cy * cell, 7 * cell, 7 * cell));
        p.setBrush(Qt::white);
        p.drawRect(QRectF((cx + 1) * cell, (cy + 1) * cell, 5 * cell, 5 * cell));
        p.setBrush(QColor(0x1a, 0xad, 0x19));
        p.drawRect(QRectF((cx + 2) * cell, (cy + 2) * cell, 3 * cell, 3 * cell));
    };
    finder(0, 0);
    finder(14, 0);
    finder(0, 14);
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const bool inFinder = (x < 8 && y < 8) || (x > 12 && y < 8) || (x < 8 && y > 12);
            if (!inFinder && ((x * 7 + y * 13 + x * y) % 5 < 2)) {
                p.drawRect(QRectF(x * cell, y * cell, cell, cell));
            }
        }
    }
    return pm;
}

} // namespace

Form1::Form1(const AppContext& context, QWidget* parent)
    : QMainWindow(parent)
    , context_(context)
    , settings_(context.folder) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(appstr::Title + QString(50, QLatin1Char(' ')) + QStringLiteral("By:Quenra小助手开发组"));
    client = named(new QWidget(this), "client");
    client->setFixedSize(twips::px(ClientWidth), twips::px(ClientHeight));
    setCentralWidget(client);

    buildMenus();
    buildPanels();
    buildOverlayPanels();
    buildPathPanel();
    buildHiddenControls();
    connectHandlers();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(40);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();

    setFixedSize(sizeHint());
}

Form1::~Form1() = default;

double Form1::outerWidthTwips() const {
    return twips::fromPx(client->width()) + FrameExtraWidth;
}

double Form1::outerHeightTwips() const {
    return twips::fromPx(client->height()) + FrameExtraHeight;
}

void Form1::buildMenus() {
    shezhi = menuBar()->addMenu(QStringLiteral("设置"));
    shezhi->setObjectName(QStringLiteral("shezhi"));
    pifu = shezhi->addAction(QStringLiteral("皮肤"));
    pifu->setObjectName(QStringLiteral("pifu"));

    gongneng = menuBar()->addMenu(QStringLiteral("功能"));
    gongneng->setObjectName(QStringLiteral("gongneng"));
    bendiku = gongneng->addAction(QStringLiteral("刷新本地库"));
    bendiku->setObjectName(QStringLiteral("bendiku"));
    wangluoku = gongneng->addAction(QStringLiteral("刷新网络库"));
    wangluoku->setObjectName(QStringLiteral("wangluoku"));

    bangzhu = menuBar()->addAction(QStringLiteral("帮助"));
    bangzhu->setObjectName(QStringLiteral("bangzhu"));
    guanyu = menuBar()->addAction(QStringLiteral("关于"));
    guanyu->setObjectName(QStringLiteral("guanyu"));
}

void Form1::buildPanels() {
    using twips::rect;

    // Notice panel.
    Frame12 = frame(client, "Frame12", QStringLiteral("公告"), rect(120, 0, 10335, 615));
    QString design;
    for (int i = 0; i < 5; ++i) {
        design += QStringLiteral("Quenra小助手 ");
    }
    Label18 = link(Frame12, "Label18", design, rect(0, 270, 6000, 255));
    Label18->adjustSize();

    // Tools panel.
    Frame4 = frame(client, "Frame4", QString(), rect(120, 720, 10335, 1815));
    Label16 = label(Frame4, "Label16", QStringLiteral("Quenra路径："), rect(240, 330, 1095, 255));
    Text8 = named(new QLineEdit(QStringLiteral("获取Quenra路径"), Frame4), "Text8");
    Text8->setGeometry(rect(1320, 270, 5295, 345));
    Command16 = button(Frame4, "Command16", QStringLiteral("获取Quenra路径"), rect(6720, 255, 1695, 375));
    Command17 = button(Frame4, "Command17", QStringLiteral("运行Quenra"), rect(8520, 255, 1695, 375));
    Label12 = label(Frame4, "Label12", QStringLiteral("板卡："), rect(720, 840, 615, 255));
    Command21 = button(Frame4, "Command21", QStringLiteral("打开库文件夹"), rect(4680, 765, 1695, 375));
    Command14 = button(Frame4, "Command14", QStringLiteral("安装本地库"), rect(6600, 765, 1695, 375));
    Command20 = button(Frame4, "Command20", QStringLiteral("我要分享库"), rect(8520, 765, 1695, 375));
    Command25 = button(Frame4, "Command25", QStringLiteral("制库助手"), rect(4680, 1275, 1695, 375));
    Command28 = button(Frame4, "Command28", QStringLiteral("推荐网站"), rect(6600, 1275, 1695, 375));
    Command29 = button(Frame4, "Command29", QStringLiteral("示例收集"), rect(8520, 1275, 1695, 375));
    List7 = list(Frame4, "List7", rect(1320, 1275, 3135, 375));

    // The board list belongs to the window itself, over the tools panel.
    Combo2 = named(new QComboBox(client), "Combo2");
    Combo2->setEditable(false);
    Combo2->setGeometry(rect(1440, 1500, 3135, 345));
    Combo2->raise();

    // Version and library information.
    Frame10 = frame(client, "Frame10", QStringLiteral("版本及库信息"), rect(120, 2760, 10335, 615));
    Label20 =
        label(Frame10, "Label20", QStringLiteral("库更新时间:2000年00月00日 "), rect(240, 270, 4200, 255));
    Label2 =
        link(Frame10, "Label2", QStringLiteral("库文件更新失败！点击重试！"), rect(5400, 270, 4695, 255));
    Label2->setProperty(tone::Property, tone::Alert);
    Label1 = link(Frame10, "Label1", QStringLiteral("点击获取"), rect(5400, 270, 4695, 255));
    Label1->setProperty(tone::Property, tone::Alert);
    Label1->hide();

    // Library lists.
    Frame3 = frame(client, "Frame3", QString(), rect(120, 3480, 10335, 4695));
    Frame1 = frame(Frame3, "Frame1", QStringLiteral("本地库"), rect(120, 120, 2535, 4455));
    List3 = list(Frame1, "List3", rect(120, 300, 2295, 4035));
    Frame6 = frame(Frame3, "Frame6", QStringLiteral("网络库"), rect(2760, 120, 2535, 4455));
    List2 = list(Frame6, "List2", rect(120, 300, 2295, 4035));
    Frame7 = frame(Frame3, "Frame7", QStringLiteral("库信息"), rect(5400, 120, 4815, 4455));
    Text11 = named(new QPlainTextEdit(Frame7), "Text11");
    Text11->setGeometry(rect(120, 300, 4575, 3135));
    Text11->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text11->setReadOnly(true);
    // Only one of install, reinstall and update is ever shown, so they share a place.
    Command19 = button(Frame7, "Command19", QStringLiteral("更新库"), rect(120, 3540, 1455, 375));
    Command13 = button(Frame7, "Command13", QStringLiteral("安装库"), rect(120, 3540, 1455, 375));
    Command6 = button(Frame7, "Command6", QStringLiteral("重新安装"), rect(120, 3540, 1455, 375));
    Command101 = button(Frame7, "Command101", QStringLiteral("打开示例"), rect(1680, 3540, 1455, 375));
    Command102 = button(Frame7, "Command102", QStringLiteral("打开库夹"), rect(3240, 3540, 1455, 375));
    Command200 = button(Frame7, "Command200", QStringLiteral("打开.xml"), rect(120, 3960, 1455, 375));
    Command201 = button(Frame7, "Command201", QStringLiteral("打开block"), rect(1680, 3960, 1455, 375));
    Command202 = button(Frame7, "Command202", QStringLiteral("打开generator"), rect(3240, 3960, 1455, 375));

    // Status strip.
    Frame2 = frame(client, "Frame2", QString(), rect(120, 8280, 10335, 615));
    Label7 = link(Frame2, "Label7", QStringLiteral("捐赠流量"), rect(240, 270, 1095, 255));
    Label7->setProperty(tone::Property, tone::Warning);
    const QString groupNumber = settings_.read(keys::ChatGroupNumber);
    Label17 = link(Frame2, "Label17", QStringLiteral("交流群：") + groupNumber, rect(1560, 270, 2655, 255));
    Label5 = link(Frame2, "Label5", settings_.read(keys::MakerSite), rect(4320, 270, 3255, 255));
    Label5->setProperty(tone::Property, tone::Link);
    Label4 = label(Frame2, "Label4", appstr::Title, rect(7680, 270, 2535, 255));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void Form1::buildOverlayPanels() {
    using twips::rect;
    // Laid out outside the client area; Form_Load centres them.
    const QRect away(-4000, -4000, 10, 10);

    Frame11 = frame(client, "Frame11", QStringLiteral("皮肤选择"), away);
    Frame11->resize(twips::px(4215), twips::px(5655));
    List4 = list(Frame11, "List4", rect(120, 360, 3975, 4560));
    Command24 = button(Frame11, "Command24", QStringLiteral("关闭"), rect(1680, 5160, 975, 375));

    Frame8 = frame(client, "Frame8", QStringLiteral("版本信息"), away);
    Frame8->resize(twips::px(4695), twips::px(4815));
    Label3 = label(Frame8, "Label3", appstr::Title, rect(240, 360, 4215, 495));
    QFont big = Label3->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    Label3->setFont(big);
    Label3->setAlignment(Qt::AlignCenter);
    Label53 = label(Frame8, "Label53",
                    QStringLiteral("软件简介：Quenra小助手是一款收集分享Quenra库文件的一个小软件。"
                                   "欢迎大家积极分享自己制作的库。"),
                    rect(240, 960, 4215, 975));
    Label53->setWordWrap(true);
    Label53->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label50 = label(Frame8, "Label50", QStringLiteral("当前版本"), rect(240, 2040, 4215, 255));
    Label51 = label(Frame8, "Label51", QStringLiteral("最新版本"), rect(240, 2400, 4215, 255));
    Label52 = label(Frame8, "Label52", QStringLiteral("更新时间"), rect(240, 2760, 4215, 255));
    Label9 = link(Frame8, "Label9", QStringLiteral("官网网站：") + settings_.read(keys::MakerSite),
                  rect(240, 3120, 4215, 255));
    Label9->setProperty(tone::Property, tone::Link);
    Label10 =
        label(Frame8, "Label10", QStringLiteral("作者：Quenra小助手开发组"), rect(240, 3480, 4215, 255));
    Label11 = link(Frame8, "Label11",
                   QStringLiteral("交流群：") + settings_.read(keys::ChatGroupNumber) +
                       QStringLiteral("[点击加入]"),
                   rect(240, 3840, 4215, 255));
    Label11->setProperty(tone::Property, tone::Link);
    Command4 = button(Frame8, "Command4", QStringLiteral("确定"), rect(1860, 4260, 975, 375));

    Frame15 = frame(client, "Frame15", QString(), away);
    Frame15->resize(twips::px(7695), twips::px(6135));
    const QString para = QStringLiteral("\r\n\r\n");
    Label24 = label(
        Frame15, "Label24",
        QStringLiteral("致亲爱的物联网爱好者们：") + para +
            QStringLiteral(
                "大家好！首先非常感谢大家选择使用Quenra小助手，这款软件是完全免费提供给大家使用的。") +
            para +
            QStringLiteral(
                "虽然软件发布时间不长，但是热度还是挺高的，大家通过不同平台得知这个软件，下载量也很大。") +
            para +
            QStringLiteral(
                "软件在使用过程中会产生流量费用，而这所有的流量费用一直以来都是由我个人在默默承担着。"
                "随着使用的人数越来越多，这笔流量费用也逐渐成了一个不小的负担（后台检测还有一些人恶意刷下载流"
                "量，"
                "导致流量费用溢出）。") +
            para +
            QStringLiteral(
                "我特别希望能够持续为大家提供服务，让小助手可以一直陪伴着大家，并不断完善、不断优化。"
                "但如果长期独自承担这流量费用，实在有些力不从心了。如果您觉得这款软件对您有帮助，"
                "也认可它给您带来的价值，不妨考虑捐赠一点流量费用，多少都没关系，重要的是大家的这份心意，"
                "这会帮我分担很大一部分压力，让我可以继续支付流量费用，从而更稳定、更长久地为大家服务下去"
                "。") +
            para +
            QStringLiteral("再次感谢大家一直以来的支持与厚爱，也期待咱们能一起让这款软件越来越好，"
                           "继续为大家的中文编程增添光彩呀！"),
        rect(240, 240, 5400, 5760));
    QFont letterFont = Label24->font();
    letterFont.setPointSizeF(letterFont.pointSizeF() * 0.9);
    Label24->setFont(letterFont);
    Label24->setWordWrap(true);
    Label24->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1 = label(Frame15, "Image1", QString(), rect(5790, 1440, 1695, 1695));
    Image1->setPixmap(paymentCodePicture(twips::px(1695)));
    Command31 = button(Frame15, "Command31", QStringLiteral("关闭"), rect(6150, 5520, 975, 375));

    Frame14 = frame(client, "Frame14", QString(), away);
    Frame14->resize(twips::px(5295), twips::px(6495));
    Label22 = label(Frame14, "Label22", QStringLiteral("示例分享     双击安装"), rect(240, 240, 4815, 300));
    List6 = list(Frame14, "List6", rect(120, 600, 5055, 5160));
    Command30 = button(Frame14, "Command30", QStringLiteral("打开实例库"), rect(720, 5940, 1575, 375));
    Command27 = button(Frame14, "Command27", QStringLiteral("关闭"), rect(3000, 5940, 1575, 375));

    Frame13 = frame(client, "Frame13", QString(), away);
    Frame13->resize(twips::px(5295), twips::px(6615));
    Label23 = label(Frame13, "Label23", QStringLiteral("推荐网站     双击打开"), rect(240, 240, 4815, 300));
    List5 = list(Frame13, "List5", rect(120, 600, 5055, 5280));
    Command26 = button(Frame13, "Command26", QStringLiteral("关闭"), rect(2160, 6060, 975, 375));

    for (QGroupBox* panel : {Frame11, Frame8, Frame15, Frame14, Frame13}) {
        panel->setAutoFillBackground(true);
    }
}

void Form1::buildPathPanel() {
    using twips::rect;
    Frame9 = frame(client, "Frame9", QStringLiteral("路径设置"), QRect(-4000, -4000, 10, 10));
    Frame9->setAutoFillBackground(true);
    Frame9->hide();
    Text1 = named(new QLineEdit(Frame9), "Text1");
    Text1->setReadOnly(true);
    Text1->setText(QStringLiteral("点击右侧按钮获取Quenra主程序目录地址→"));
    Text1->setStyleSheet(QStringLiteral("color: grey;"));
    Text1->setGeometry(rect(1080, 2520, 6255, 375));
    Command5 = button(Frame9, "Command5", QStringLiteral("获取Quenra路径"), rect(7440, 2505, 1815, 405));
    Label15 = label(Frame9, "Label15", QStringLiteral("地址示例：D:\\Quenra\\Quenra.exe"),
                    rect(1080, 3060, 6255, 255));
    Label13 = label(Frame9, "Label13", QStringLiteral("温馨提示：本程序适用于Quenra2.0_RC4以及Quenra3.0"),
                    rect(1080, 3420, 6255, 255));
    Label13->setProperty(tone::Property, tone::Warning);
    Command7 = button(Frame9, "Command7", QStringLiteral("确定"), rect(4320, 4020, 1815, 465));
    Label14 = link(Frame9, "Label14", QStringLiteral("→点击查看软件详情←"), rect(1080, 5160, 2655, 255));
    Label21 =
        link(Frame9, "Label21", QStringLiteral("→点击查看软件使用视频教程←"), rect(3960, 5160, 3375, 255));
    Label19 = link(Frame9, "Label19", QStringLiteral("交流群：") + settings_.read(keys::ChatGroupNumber),
                   rect(7560, 5160, 2535, 255));
    for (ClickableLabel* l : {Label14, Label21, Label19}) {
        l->setProperty(tone::Property, tone::Link);
    }
}

void Form1::buildHiddenControls() {
    Command9 = hiddenButton(client, "Command9", QStringLiteral("获取源码C9"));
    Command3 = hiddenButton(client, "Command3", QStringLiteral("解析KU的源码 C3"));
    Command10 = hiddenButton(client, "Command10", QStringLiteral("刷新网络库"));
    Command18 = hiddenButton(client, "Command18", QStringLiteral("刷新本地库"));
    Text12 = named(new TextHolder(client), "Text12");
    Text2 = hiddenText(client, "Text2");
    Text3 = hiddenText(client, "Text3");
    Text4 = hiddenText(client, "Text4");
    Text5 = hiddenText(client, "Text5");
    Text6 = hiddenText(client, "Text6");
    Text7 = hiddenText(client, "Text7");
    Text16 = hiddenText(client, "Text16");
    Text17 = hiddenText(client, "Text17");
    Text19 = hiddenText(client, "Text19");
    Text18 = hiddenText(client, "Text18");
}

void Form1::connectHandlers() {
    // Shell.
    connect(pifu, &QAction::triggered, this, &Form1::pifu_Click);
    connect(Command24, &QPushButton::clicked, this, &Form1::Command24_Click);
    connect(guanyu, &QAction::triggered, this, &Form1::guanyu_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Label7, &ClickableLabel::clicked, this, &Form1::Label7_Click);
    connect(Command31, &QPushButton::clicked, this, &Form1::Command31_Click);
    connect(Command28, &QPushButton::clicked, this, &Form1::Command28_Click);
    connect(Command26, &QPushButton::clicked, this, &Form1::Command26_Click);
    connect(Command27, &QPushButton::clicked, this, &Form1::Command27_Click);

    // Host IDE.
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command16, &QPushButton::clicked, this, &Form1::Command16_Click);
    connect(Command17, &QPushButton::clicked, this, &Form1::Command17_Click);
    connect(Combo2, &QComboBox::activated, this, [this](int) { Combo2_Click(); });
    connect(bendiku, &QAction::triggered, this, &Form1::bendiku_Click);
    connect(Command18, &QPushButton::clicked, this, &Form1::Command18_Click);

    // Catalog and links.
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(wangluoku, &QAction::triggered, this, &Form1::wangluoku_Click);
    connect(Label2, &ClickableLabel::clicked, this, &Form1::Label2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Label1, &ClickableLabel::clicked, this, &Form1::Label1_Click);
    connect(bangzhu, &QAction::triggered, this, &Form1::bangzhu_Click);
    connect(Label14, &ClickableLabel::clicked, this, &Form1::Label14_Click);
    connect(Label18, &ClickableLabel::clicked, this, &Form1::Label18_Click);
    connect(Command20, &QPushButton::clicked, this, &Form1::Command20_Click);
    connect(Label9, &ClickableLabel::clicked, this, &Form1::Label9_Click);
    connect(Label5, &ClickableLabel::clicked, this, &Form1::Label5_Click);
    connect(Label21, &ClickableLabel::clicked, this, &Form1::Label21_Click);
    connect(Label19, &ClickableLabel::clicked, this, &Form1::Label19_Click);
    connect(Label17, &ClickableLabel::clicked, this, &Form1::Label17_Click);
    connect(Label11, &ClickableLabel::clicked, this, &Form1::Label11_Click);
    connect(List5, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { List5_DblClick(); });

    // Libraries. A click is any change of the selected row, by mouse or by the arrow keys, and a
    // click on the row already selected (the details are read anew, so a changed description file
    // shows). A click that changes the row shows the details twice over; they are read from files
    // and set, nothing else, so that costs a fraction of a millisecond and needs no bookkeeping.
    for (auto [list, handler] :
         {std::pair{List2, &Form1::List2_Click}, std::pair{List3, &Form1::List3_Click}}) {
        connect(list, &QListWidget::currentRowChanged, this, [this, h = handler](int row) {
            if (row >= 0) {
                (this->*h)();
            }
        });
        connect(list, &QListWidget::itemClicked, this,
                [this, h = handler](QListWidgetItem*) { (this->*h)(); });
    }
    connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
    connect(Command19, &QPushButton::clicked, this, &Form1::Command19_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command14, &QPushButton::clicked, this, &Form1::Command14_Click);
    connect(Command21, &QPushButton::clicked, this, &Form1::Command21_Click);
    connect(Command101, &QPushButton::clicked, this, &Form1::Command101_Click);
    connect(Command102, &QPushButton::clicked, this, &Form1::Command102_Click);
    connect(Command200, &QPushButton::clicked, this, &Form1::Command200_Click);
    connect(Command201, &QPushButton::clicked, this, &Form1::Command201_Click);
    connect(Command202, &QPushButton::clicked, this, &Form1::Command202_Click);

    // Examples.
    connect(Command29, &QPushButton::clicked, this, &Form1::Command29_Click);
    connect(Command30, &QPushButton::clicked, this, &Form1::Command30_Click);
    connect(List6, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { List6_DblClick(); });

    // Conversion window and skins.
    connect(Command25, &QPushButton::clicked, this, &Form1::Command25_Click);
    connect(List4, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { List4_Click(); });
}

void Form1::startUp() {
    Form_Initialize();
    Form_Load();
}

void Form1::Form_Initialize() {
    ApplySkin();
    for (QWidget* w : std::initializer_list<QWidget*>{Text11, Command13, Command6, Command101, Command102,
                                                      Command200, Command201, Command202, Command19}) {
        w->hide();
    }
    // The notice enters from the right edge of its panel.
    noticeLeftTwips_ = twips::fromPx(Frame12->width());
    Label18->move(twips::px(noticeLeftTwips_), Label18->y());
    // No system components are needed: Qt brings the file dialog and the HTTP client, so nothing is
    // copied into system folders and nothing is registered.
}

void Form1::placeOverlay(QGroupBox* panel, double leftTw, double topTw) {
    panel->move(twips::px(leftTw), twips::px(topTw));
}

void Form1::Form_Load() {
    List7->hide();
    for (QGroupBox* panel : {Frame11, Frame8, Frame13, Frame14, Frame15}) {
        panel->hide();
    }
    const double w = outerWidthTwips();
    const double h = outerHeightTwips();
    for (QGroupBox* panel : {Frame15, Frame14, Frame13, Frame8, Frame11}) {
        const double pw = twips::fromPx(panel->width());
        const double ph = twips::fromPx(panel->height());
        placeOverlay(panel, (w - pw) / 2.0, (h - ph) / 2.0);
        panel->raise();
    }

    Text8->setText(settings_.read(keys::HostPath));
    Frame4->setTitle(settings_.read(keys::HostVersion));

    const QChar sep = context_.folder.sep;
    if (host::isValidHostPath(Text8->text(), sep)) {
        Command17->setEnabled(true);
    } else {
        Frame9->setGeometry(twips::rect(20, 0, w - 150, h - 750));
        Frame9->show();
        Frame9->raise();
        Command17->setEnabled(false);
    }

    ListSkins();

    if (host::isValidHostPath(Text8->text(), sep)) {
        Command17->setEnabled(true);
        Command21->setEnabled(true);
        // An install that a killed copy of the program left half done is finished or undone before
        // anything lists the libraries.
        install::recoverInstalls(Text8->text(), sep);
        ListBoards();
    } else {
        Command17->setEnabled(false);
        Command21->setEnabled(false);
    }

    CurrentVersion = settings_.read(keys::ProgramVersion);
    Label4->setText(QStringLiteral("Quenra小助手V") + CurrentVersion + QStringLiteral("版"));
    Label50->setText(QStringLiteral("当前版本：V") + CurrentVersion + QStringLiteral("版"));

    Command9_Click();
}

void Form1::HideOverlayPanels() {
    Frame11->hide();
    Frame13->hide();
    Frame15->hide();
    Frame14->hide();
    Frame8->hide();
}

void Form1::toggleOverlay(QGroupBox* panel) {
    if (panel->isVisible()) {
        panel->hide();
        return;
    }
    HideOverlayPanels();
    panel->show();
    panel->raise();
}

void Form1::Timer1_Timer() {
    noticeLeftTwips_ -= 20;
    const double labelWidth = twips::fromPx(Label18->width());
    if (noticeLeftTwips_ < -labelWidth) {
        noticeLeftTwips_ = twips::fromPx(Frame12->width());
    }
    Label18->move(twips::px(noticeLeftTwips_), Label18->y());
}

void Form1::pifu_Click() {
    toggleOverlay(Frame11);
}

void Form1::Command24_Click() {
    toggleOverlay(Frame11);
}

void Form1::guanyu_Click() {
    toggleOverlay(Frame8);
}

void Form1::Command4_Click() {
    toggleOverlay(Frame8);
}

void Form1::Label7_Click() {
    toggleOverlay(Frame15);
}

void Form1::Command31_Click() {
    toggleOverlay(Frame15);
}

void Form1::Command28_Click() {
    toggleOverlay(Frame13);
}

void Form1::Command26_Click() {
    toggleOverlay(Frame13);
}

void Form1::Command27_Click() {
    toggleOverlay(Frame14);
    Command29->setFocus();
}

QString Form1::showOpenFileDialog() {
    if (const std::optional<QString> chosen = platform().openFileDialog(dialogFilter_, dialogFileName_)) {
        dialogFileName_ = *chosen;
    }
    return dialogFileName_;
}
