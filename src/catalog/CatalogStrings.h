#pragma once

#include <QString>

// The catalog's markers and the texts the catalog area shows.
namespace catstr {

// The catalog on the server, below the base address.
inline const QString CatalogFile = QStringLiteral("KU.txt");
// A body without this text is no catalog.
inline const QString NoticeMarker = QStringLiteral("公告");

// Line markers, tested without their colon and removed with the full-width colon.
inline const QString VersionMarker = QStringLiteral("版本号");
inline const QString ReleaseDateMarker = QStringLiteral("软件更新日期");
inline const QString LibraryUpdateMarker = QStringLiteral("库更新");
inline const QString SiteMarker = QStringLiteral("分享网址");
inline const QString ExampleMarker = QStringLiteral("分享示例");
inline const QString FullWidthColon = QStringLiteral("：");

// Messages.
inline const QString DownloadFailed = QStringLiteral("库文件更新解析失败！请检查网络后重试！");
inline const QString UpdateFailed = QStringLiteral("库文件更新失败！请检查网络后重试！");
inline const QString UpToDate = QStringLiteral("库列表已更新为最新版！");
inline const QString Downloading = QStringLiteral("正在获取库列表…");

// Captions.
inline QString latestVersionCaption(const QString& v) {
    return QStringLiteral("最新版本：V") + v + QStringLiteral("版");
}
inline QString releaseDateCaption(const QString& d) {
    return QStringLiteral("更新日期：") + d;
}
inline QString libraryUpdateCaption(const QString& d) {
    return QStringLiteral("库更新时间:") + d;
}
inline QString newVersionLink(const QString& v) {
    return QStringLiteral("最新版本为") + v + QStringLiteral("版,点击下载");
}
inline QString newVersionPrompt(const QString& v) {
    return QStringLiteral("当前版本过低！最新版本为V") + v + QStringLiteral("版，是否前往下载最新版？");
}

} // namespace catstr
