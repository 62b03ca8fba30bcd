#pragma once

#include "ui/Platform.h"

#include <QString>

// The message-box styles the program uses; the title is always the program's.
namespace msg {

// The program's name: the title of every message box and of the main window.
inline const QString Title = QStringLiteral("Quenra小助手");

// The button captions of Windows' own Chinese message boxes; Y and N choose Yes and No.
inline const QString OkCaption = QStringLiteral("确定");
inline const QString CancelCaption = QStringLiteral("取消");
inline const QString YesCaption = QStringLiteral("是(&Y)");
inline const QString NoCaption = QStringLiteral("否(&N)");

// OK with the critical icon: refused input, failed catalog updates.
inline Platform::Message critical(const QString& text) {
    return {text, Title, Platform::Icon::Critical, Platform::Buttons::Ok, Platform::Answer::Ok};
}
// OK with the exclamation icon: failed downloads and extractions.
inline Platform::Message exclamation(const QString& text) {
    return {text, Title, Platform::Icon::Exclamation, Platform::Buttons::Ok, Platform::Answer::Ok};
}
// OK without icon: plain results.
inline Platform::Message plain(const QString& text) {
    return {text, Title, Platform::Icon::None, Platform::Buttons::Ok, Platform::Answer::Ok};
}
// OK with the information icon.
inline Platform::Message information(const QString& text) {
    return {text, Title, Platform::Icon::Information, Platform::Buttons::Ok, Platform::Answer::Ok};
}
// OK and Cancel with the question icon, Cancel the default: confirmations.
inline Platform::Message confirm(const QString& text) {
    return {text, Title, Platform::Icon::Question, Platform::Buttons::OkCancel, Platform::Answer::Cancel};
}

// Yes and No with the question icon, No the default: offers that change files.
inline Platform::Message offer(const QString& text) {
    return {text, Title, Platform::Icon::Question, Platform::Buttons::YesNo, Platform::Answer::No};
}

} // namespace msg
