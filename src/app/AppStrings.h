#pragma once

#include "install/InstallStrings.h"

#include <QString>

// The main window's own texts: menus, panel captions, buttons, links and the texts it composes.
// Captions that the program replaces at start-up keep the text the window is designed with.
namespace appstr {

inline const QString WindowTitleBy = QStringLiteral("By:Quenra小助手开发组");
inline const QString ParseCatalogCaption = QStringLiteral("解析KU的源码 C3");
inline const QString SettingsMenu = QStringLiteral("设置");
inline const QString SkinMenu = QStringLiteral("皮肤");
inline const QString FunctionsMenu = QStringLiteral("功能");
inline const QString RefreshLocalMenu = QStringLiteral("刷新本地库");
inline const QString RefreshCatalogMenu = QStringLiteral("刷新网络库");
inline const QString HelpMenu = QStringLiteral("帮助");
inline const QString AboutMenu = QStringLiteral("关于");
inline const QString NoticeCaption = QStringLiteral("公告");
inline const QString NoticeDesignText = QStringLiteral("Quenra小助手 ");
inline const QString HostPathCaption = QStringLiteral("Quenra路径：");
inline const QString ChooseHost = QStringLiteral("获取Quenra路径");
inline const QString RunHost = QStringLiteral("运行Quenra");
inline const QString BoardCaption = QStringLiteral("板卡：");
inline const QString OpenLibraryRoot = QStringLiteral("打开库文件夹");
inline const QString InstallLocal = QStringLiteral("安装本地库");
inline const QString Share = QStringLiteral("我要分享库");
inline const QString Conversion = QStringLiteral("制库助手");
inline const QString Sites = QStringLiteral("推荐网站");
inline const QString Examples = QStringLiteral("示例收集");
inline const QString VersionCaption = QStringLiteral("版本及库信息");
inline const QString LibraryUpdateDesignText = QStringLiteral("库更新时间:2000年00月00日 ");
inline const QString Retry = QStringLiteral("库文件更新失败！点击重试！");
inline const QString NewVersionDesignText = QStringLiteral("点击获取");
inline const QString LocalCaption = QStringLiteral("本地库");
inline const QString NetworkCaption = QStringLiteral("网络库");
inline const QString DetailsCaption = QStringLiteral("库信息");
inline const QString Update = QStringLiteral("更新库");
inline const QString Install = QStringLiteral("安装库");
inline const QString Reinstall = QStringLiteral("重新安装");
inline const QString OpenExamples = QStringLiteral("打开示例");
inline const QString OpenFolder = QStringLiteral("打开库夹");
inline const QString OpenXml = QStringLiteral("打开.xml");
inline const QString OpenBlock = QStringLiteral("打开block");
inline const QString OpenGenerator = QStringLiteral("打开generator");
inline const QString Donate = QStringLiteral("捐赠流量");
inline const QString ChatGroupPrefix = QStringLiteral("交流群：");
inline const QString SkinCaption = QStringLiteral("皮肤选择");
inline const QString Close = QStringLiteral("关闭");
inline const QString AboutCaption = QStringLiteral("版本信息");
inline const QString CurrentVersionDesignText = QStringLiteral("当前版本");
inline const QString LatestVersionDesignText = QStringLiteral("最新版本");
inline const QString ReleaseDateDesignText = QStringLiteral("更新时间");
inline const QString SitePrefix = QStringLiteral("官网网站：");
inline const QString Author = QStringLiteral("作者：Quenra小助手开发组");
inline const QString JoinSuffix = QStringLiteral("[点击加入]");
inline const QString Ok = QStringLiteral("确定");
inline const QString ExamplesHeading = QStringLiteral("示例分享     双击安装");
inline const QString OpenSharedExamples = QStringLiteral("打开实例库");
inline const QString SitesHeading = QStringLiteral("推荐网站     双击打开");
inline const QString PathCaption = QStringLiteral("路径设置");
inline const QString PathPanelPrompt = QStringLiteral("点击右侧按钮获取Quenra主程序目录地址→");
inline const QString PathExample = QStringLiteral("地址示例：D:\\Quenra\\Quenra.exe");
inline const QString PathHint = QStringLiteral("温馨提示：本程序适用于Quenra2.0_RC4以及Quenra3.0");
inline const QString DetailsPageLink = QStringLiteral("→点击查看软件详情←");
inline const QString VideoLink = QStringLiteral("→点击查看软件使用视频教程←");
inline const QString TitlePrefix = QStringLiteral("Quenra小助手V");
inline const QString VersionSuffix = QStringLiteral("版");
inline const QString CurrentVersionPrefix = QStringLiteral("当前版本：V");

// Shared examples: the question after an install, the refusal of a title that is no plain file name
// (it becomes a file name in the examples folder), and the project file's extension.
inline QString openExampleQuestion(const QString& title) {
    return QStringLiteral("是否打开【") + title + QStringLiteral("】示例？");
}
inline QString unsafeExampleTitle(const QString& title) {
    return QStringLiteral("示例【") + title + installstr::BadPackageNameSuffix;
}
inline const QString ExampleSuffix = QStringLiteral(".qnp");

// The about panel's introduction.
inline const QString AboutIntro =
    QStringLiteral("软件简介：Quenra小助手是一款收集分享Quenra库文件的一个小软件。"
                   "欢迎大家积极分享自己制作的库。");

// The donation panel's letter; paragraphs are separated by an empty line.
inline const QString DonationLetter =
    QStringLiteral("致亲爱的物联网爱好者们：") + QStringLiteral("\r\n\r\n") +
    QStringLiteral("大家好！首先非常感谢大家选择使用Quenra小助手，这款软件是完全免费提供给大家使用的。") +
    QStringLiteral("\r\n\r\n") +
    QStringLiteral("虽然软件发布时间不长，但是热度还是挺高的，大家通过不同平台得知这个软件，下载量也很大。") +
    QStringLiteral("\r\n\r\n") +
    QStringLiteral(
        "软件在使用过程中会产生流量费用，而这所有的流量费用一直以来都是由我个人在默默承担着。"
        "随着使用的人数越来越多，这笔流量费用也逐渐成了一个不小的负担（后台检测还有一些人恶意刷下载流"
        "量，"
        "导致流量费用溢出）。") +
    QStringLiteral("\r\n\r\n") +
    QStringLiteral("我特别希望能够持续为大家提供服务，让小助手可以一直陪伴着大家，并不断完善、不断优化。"
                   "但如果长期独自承担这流量费用，实在有些力不从心了。如果您觉得这款软件对您有帮助，"
                   "也认可它给您带来的价值，不妨考虑捐赠一点流量费用，多少都没关系，重要的是大家的这份心意，"
                   "这会帮我分担很大一部分压力，让我可以继续支付流量费用，从而更稳定、更长久地为大家服务下去"
                   "。") +
    QStringLiteral("\r\n\r\n") +
    QStringLiteral("再次感谢大家一直以来的支持与厚爱，也期待咱们能一起让这款软件越来越好，"
                   "继续为大家的中文编程增添光彩呀！");

} // namespace appstr
