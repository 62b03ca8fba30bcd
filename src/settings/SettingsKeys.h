#pragma once

#include <QString>

// Keys of the settings file (section "Dravonel").
namespace keys {
inline const QString Section = QStringLiteral("Dravonel");
inline const QString HostPath = QStringLiteral("quenra");           // host executable path
inline const QString HostVersion = QStringLiteral("quenraBanben");  // detected host IDE version
inline const QString ProgramVersion = QStringLiteral("banben");     // the program's own version
inline const QString Board = QStringLiteral("Kuliebiao");           // board last chosen
inline const QString Skin = QStringLiteral("pifu");                 // chosen skin file name
inline const QString CopyAfterConvert = QStringLiteral("Check1");   // conversion window option
inline const QString PasteAutomatically = QStringLiteral("Check2"); // conversion window option
inline const QString CatalogServer = QStringLiteral("fuwuqi");      // catalog server base address
inline const QString MakerSite = QStringLiteral("guanwang");        // maker's web site
inline const QString VideoPage = QStringLiteral("shipin");          // video tutorial page
inline const QString ChatGroupPage = QStringLiteral("qunliao");     // chat-group invitation page
inline const QString ChatGroupNumber = QStringLiteral("qunhao");    // chat-group number shown
inline const QString HostDownloadPage = QStringLiteral("xiazai");   // host IDE download page
} // namespace keys
