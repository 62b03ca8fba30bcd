#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Which host IDE version is installed, told by the texts its version file holds.
namespace host {

inline const QString Version30 = QStringLiteral("Quenra 3.0 rc0");
inline const QString Version24 = QStringLiteral("Quenra 2.0 rc4");

// The version file's text (GBK), its lines joined with CR LF; nullopt when the file cannot be opened
// (missing, a folder, no access). A read error part-way keeps what was read so far.
std::optional<QString> readVersionFile(const QString& path);

// The supported version named in `text`, or empty text when it names none. The texts are tested
// exactly (case-sensitive, anywhere in the text) in the order 3.0 then 2.0, and a later match wins,
// so a text holding both gives Version24.
QString detectVersion(QStringView text);

} // namespace host
