#pragma once

#include <QString>

// The texts of quenra-catalog, the catalog publishers' tool.
namespace publishstr {

inline const QString Usage = QStringLiteral(
    "用法：\n"
    "  quenra-catalog check KU.txt [--packages 文件夹]\n"
    "      检查库列表（有 --packages 时也检查文件夹中的库包），每个问题一行：KU.txt:行号: 说明\n"
    "  quenra-catalog stamp KU.txt --packages 文件夹\n"
    "      为库包（文件夹/库名.zip）存在的每个库写入或更新“校验码=”，文件的其余字节保持不变\n"
    "退出码：0 没有问题，1 发现问题，2 用法错误或文件无法读取\n");
inline const QString CannotRead = QStringLiteral("无法读取文件：");
inline const QString NoFolder = QStringLiteral("文件夹不存在：");
inline const QString CannotWrite = QStringLiteral("无法写入文件：");
inline QString stamped(int count) {
    return QStringLiteral("已写入 %1 个库的校验码").arg(count);
}

// Problems in the catalog text.
inline const QString NoNotice = QStringLiteral("全文没有“公告”：客户端会认为库列表下载失败");
inline const QString NotGbk = QStringLiteral("这一行不是有效的GBK编码文字");
inline QString duplicate(const QString& name, int firstLine) {
    return QStringLiteral("重复的库【%1】：客户端只读取第%2行的那一节").arg(name).arg(firstLine);
}
inline QString unusableName(const QString& name) {
    return QStringLiteral("名称【%1】不能用作文件名，客户端会拒绝它").arg(name);
}
inline QString headerMismatch(const QString& row, const QString& section) {
    return QStringLiteral("库列表中显示为【%1】，与节名【%2】不符（节头末尾应多一个字符，如“[%2] ”）")
        .arg(row, section);
}
inline const QString NoLibraryName = QStringLiteral("这一节没有“库名”：客户端不会提供安装");
inline QString versionDiffers(const QString& value, const QString& first, int firstLine) {
    return QStringLiteral("版本号【%1】与第%3行的【%2】不一致").arg(value, first).arg(firstLine);
}
inline const QString SiteNotWeb =
    QStringLiteral("分享网址没有http(s)网址（应为 标题[网址]）：客户端不会打开它");
inline const QString ExampleNoPackage = QStringLiteral("分享示例没有写明包名（应为 标题[包名]）");
inline const QString BadChecksum =
    QStringLiteral("校验码应为64位十六进制数字：客户端会认为这个库的包校验失败");

// Problems of the packages (--packages).
inline QString packageMissing(const QString& file) {
    return QStringLiteral("库包 %1 不存在").arg(file);
}
inline QString notZip(const QString& file) {
    return QStringLiteral("库包 %1 不是完整可读的zip压缩包").arg(file);
}
inline QString refused(const QString& file, const QString& reason, const QString& detail) {
    return QStringLiteral("库包 %1 会被客户端拒绝解压（%2）：%3").arg(file, reason, detail);
}
inline const QString UnsafeEntry = QStringLiteral("条目路径不安全");
inline const QString LinkEntry = QStringLiteral("含有链接或特殊文件");
inline const QString TooLarge = QStringLiteral("解压后过大");
inline const QString TooManyEntries = QStringLiteral("条目过多");
inline const QString NoFile = QStringLiteral("没有任何文件");
inline QString noXml(const QString& file, const QString& name) {
    return QStringLiteral("库包 %1 中没有 %2/%2.xml").arg(file, name);
}
inline QString checksumMismatch(const QString& file, const QString& hex) {
    return QStringLiteral("校验码与库包 %1 不符（它的SHA-256为 %2）").arg(file, hex);
}

} // namespace publishstr
