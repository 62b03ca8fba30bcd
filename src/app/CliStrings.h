#pragma once

#include <QString>

// The command line's own texts; the messages of installing are the window's (InstallStrings.h).
namespace clistr {

inline const QString Usage = QStringLiteral(
    "用法：\n"
    "  Quenra小助手                                  启动窗口\n"
    "  Quenra小助手 --list [--board 板卡]            列出板卡，或板卡已安装的库及其本地版本和网络库版本\n"
    "  Quenra小助手 --install 库名... --board 板卡   从网络库下载并安装这些库\n"
    "  Quenra小助手 --update-all --board 板卡        更新板卡中所有有新版本的库\n"
    "  Quenra小助手 --import 库包.zip --board 板卡   安装库包（导出库包所得）中的库\n"
    "  Quenra小助手 --help                           显示本说明\n"
    "使用程序文件夹中 Dravonel/config.ini 保存的Quenra路径和服务器地址。\n"
    "退出码：0 全部成功，1 部分失败，2 无法开始（参数错误、未设置Quenra路径、没有库列表）。");
inline const QString BadArguments = QStringLiteral("参数错误：");
inline const QString UnknownOption = QStringLiteral("未知选项 ");
inline const QString MissingValue = QStringLiteral("缺少选项的值 ");
inline const QString OneCommand = QStringLiteral("请只给出 --list、--install、--update-all、--import 之一");
inline const QString NoNames = QStringLiteral("--install 后缺少库名");
inline const QString NoHostPath = QStringLiteral("未设置有效的Quenra路径，请先在窗口中设置。");
inline QString unknownBoard(const QString& board) {
    return QStringLiteral("没有板卡【") + board + QStringLiteral("】。");
}
inline const QString BoardsHeading = QStringLiteral("板卡：");
inline QString notInCatalog(const QString& name) {
    return QStringLiteral("网络库中没有【") + name + QStringLiteral("】");
}
inline QString downloading(const QString& name) {
    return QStringLiteral("正在下载【") + name + QStringLiteral("】……");
}
inline QString summary(int succeeded, int failed) {
    return QStringLiteral("完成：成功 %1 个，失败 %2 个。").arg(succeeded).arg(failed);
}

} // namespace clistr
