#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A skin file is a style sheet: rules of the form `selectors { property: value; ... }`. A file that
// does not have that shape (empty, binary, cut off, braces or quotes that do not match) is not a
// usable skin; applying it would leave the program half-styled or unstyled.
bool isUsableStyleSheet(QStringView text);

// Larger files are not skins; reading one would only waste memory.
inline constexpr qint64 MaxSkinFileBytes = 4 * 1024 * 1024;

// The text of a skin file (UTF-8, an optional byte-order mark dropped) when `path` names a regular,
// readable file that holds a usable style sheet; nothing otherwise.
std::optional<QString> loadSkinFile(const QString& path);
