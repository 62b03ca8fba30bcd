#pragma once

#include <QString>

// Labels that must stand out (warnings, links) carry a tone instead of a colour of their own: a
// widget's own style sheet would beat any skin, so a dark skin could not make them readable. The
// base look gives each tone its classic colour; a skin may give it another.
namespace tone {
// Name of the dynamic property; its value is one of the tones below.
inline constexpr char Property[] = "tone";
inline const QString Alert = QStringLiteral("alert");     // failures and offers: bright red
inline const QString Warning = QStringLiteral("warning"); // notes and the donation link: dark red
inline const QString Link = QStringLiteral("link");       // web addresses and chat links: dark blue
inline const QString Muted = QStringLiteral("muted");     // side notes: grey
} // namespace tone
