#pragma once

#include <QString>

// The texts of library details, downloads, extraction and installs, as users see them.
namespace installstr {

// Details panel captions.
inline const QString NetworkInfoCaption = QStringLiteral("网络库信息");
inline const QString LocalInfoCaption = QStringLiteral("本地库信息");

// Labels of the detail lines.
inline const QString NameLabel = QStringLiteral("库名：");
inline const QString AuthorLabel = QStringLiteral("作者：");
inline const QString NetworkVersionLabel = QStringLiteral("网络库版本：");
inline const QString LocalVersionLabel = QStringLiteral("本地版本：");
inline const QString BoardsLabel = QStringLiteral("适用板卡：");
inline const QString DateLabel = QStringLiteral("更新日期：");
inline const QString ContactLabel = QStringLiteral("联系方式：");
inline const QString WebLabel = QStringLiteral("网址：");
inline const QString IntroLabel = QStringLiteral("库简介：");

// Keys of a library record (catalog section or description file).
inline const QString KeyName = QStringLiteral("库名");
inline const QString KeyAuthor = QStringLiteral("作者");
inline const QString KeyVersion = QStringLiteral("库版本");
inline const QString KeyBoards = QStringLiteral("适用板卡");
inline const QString KeyDate = QStringLiteral("更新日期");
inline const QString KeyContact = QStringLiteral("联系方式");
inline const QString KeyWeb = QStringLiteral("网址");
inline const QString KeyIntro = QStringLiteral("库简介");
// The SHA-256 of the package .zip (Checksum.h).
inline const QString KeyChecksum = QStringLiteral("校验码");

// Downloads and extraction.
inline const QString DownloadFailed = QStringLiteral("库文件下载失败！请检查网络后重试！错误代码：");
inline const QString UnzipFailed = QStringLiteral("解压失败");
inline const QString ChecksumFailed = QStringLiteral("库文件校验失败，文件可能不完整或已被篡改！");
inline const QString DownloadProgress = QStringLiteral("正在下载库文件……");
inline const QString UnzipProgress = QStringLiteral("正在解压……");
// A name from the catalog or a package that cannot stand as a file name in our folders (our own
// wording): prefix + name + suffix.
inline const QString BadPackageNamePrefix = QStringLiteral("库名【");
inline const QString BadPackageNameSuffix =
    QStringLiteral("】含有不能用作文件名的字符（/ \\ : * ? \" < > | 或控制字符），或以点或空格结尾，"
                   "或是系统保留的设备名（CON、PRN、AUX、NUL、COM1-COM9、LPT1-LPT9），无法使用！");
inline QString badNameMessage(const QString& name) {
    return BadPackageNamePrefix + name + BadPackageNameSuffix;
}

// Installing.
inline const QString NoBoard = QStringLiteral("请先选择对应板块后重试！！");
inline const QString ConfirmPrefix = QStringLiteral("是否确定将【");
inline const QString ConfirmMiddle = QStringLiteral("】加入到【");
inline const QString ConfirmSuffix = QStringLiteral("】库中？");
inline const QString Installed = QStringLiteral("安装成功");
inline const QString OpenHost = QStringLiteral("是否打开Quenra？");
inline const QString WrongXml = QStringLiteral("库文件选择错误，请选择库文件夹下的.xml文件！");
// A local library folder that could not be copied (our own wording); the path follows.
inline const QString CopyFailed = QStringLiteral("库文件夹复制失败，库未安装！请检查文件夹权限后重试！\r\n");

inline QString confirmInstall(const QString& name, const QString& board) {
    return ConfirmPrefix + name + ConfirmMiddle + board + ConfirmSuffix;
}

// Searching the two library lists.
inline const QString SearchPlaceholder = QStringLiteral("搜索库");
inline const QString UpdatesOnly = QStringLiteral("仅显示可更新");

// Packages and bundles chosen with "安装本地库": the dialog offers both kinds.
inline const QString XmlOrZipFilter = QStringLiteral("库文件|*.xml;*.zip");
inline const QString NoLibraryInArchive = QStringLiteral("压缩包中没有找到库（应为 库名/库名.xml）！");
inline const QString NameListSeparator = QStringLiteral("、");

// "导出库包": every installed library of a board in one archive.
inline const QString ExportAction = QStringLiteral("导出库包");
inline const QString BundleFilter = QStringLiteral("压缩包|*.zip");
inline const QString ExportProgress = QStringLiteral("正在导出……");
inline const QString Exported = QStringLiteral("已导出到：\r\n");
inline const QString ExportFailed = QStringLiteral("导出失败，没有写入文件：\r\n");

// "全部更新".
inline const QString UpdateAllAction = QStringLiteral("全部更新");
inline const QString AllCurrent = QStringLiteral("所有库均已是最新版本！");
inline const QString ConfirmUpdateAll = QStringLiteral("以下库有新版本，是否全部更新？");
inline QString updatingProgress(const QString& name, int index, int count) {
    return QStringLiteral("正在更新【%1】（%2/%3）……").arg(name).arg(index).arg(count);
}
inline QString updatedCount(int count) {
    return QStringLiteral("已更新 %1 个库。").arg(count);
}
inline const QString UpdateFailedHeading = QStringLiteral("更新失败：");

// "卸载库".
inline const QString UninstallCaption = QStringLiteral("卸载库");
inline QString confirmUninstall(const QString& name, const QString& board) {
    return ConfirmPrefix + name + QStringLiteral("】从【") + board + QStringLiteral("】库中删除？");
}
inline QString uninstalled(const QString& name) {
    return QStringLiteral("已卸载【") + name + QStringLiteral("】，可在回收站中恢复。");
}
inline const QString UninstallFailed = QStringLiteral("卸载失败：无法移到回收站，库未删除。");

// Offline: the catalog of the last successful download, and packages already in the cache.
inline const QString ShowingCachedCatalog = QStringLiteral("正在显示上次获取的库列表");
inline QString offerCachedPackage(const QString& name, const QString& date) {
    return QStringLiteral("是否安装已缓存的【") + name + QStringLiteral("】（下载于 ") + date +
           QStringLiteral("）？");
}

} // namespace installstr
