#include "ui/SkinEngine.h"

#include "skins/SkinTones.h"
#include "skins/StyleSheetCheck.h"

#include <QApplication>

#include <algorithm>

// Registers the glyphs skins may use; registering again is harmless.
static void registerGlyphs() {
    Q_INIT_RESOURCE(glyphs);
}

namespace {

// The frames' border sits half a caption below the frame's top, so the caption crosses the line.
// Frames are opaque up to their top edge, caption row included: a panel laid over others must hide
// what lies beneath it.
const QString kBaseLook = QStringLiteral(R"(
QGroupBox {
    background-color: palette(window);
    background-clip: margin;
    border: 2px groove #d4d0c8;
    margin-top: 8px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 6px;
    padding: 0px 2px;
}
)");

// The application object, when it is one that shows widgets.
QApplication* widgetApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

QString toneRule(const QString& name, const char* colour) {
    return QStringLiteral("*[%1=\"%2\"] { color: %3; }\n")
        .arg(QLatin1String(tone::Property), name, QLatin1String(colour));
}

// Setting a style sheet polishes every widget again, even when the text is the one in force.
void applySheet(QApplication* app, const QString& sheet) {
    if (app->styleSheet() != sheet) {
        app->setStyleSheet(sheet);
    }
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-');
}

} // namespace

QString forListViews(const QString& sheet) {
    static const QString widgetClass = QStringLiteral("QListWidget");
    static const QString viewClass = QStringLiteral("QListView");
    if (!sheet.contains(widgetClass)) {
        return sheet;
    }
    QString out;
    out.reserve(sheet.size());
    const qsizetype n = sheet.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sheet[i];
        if (c == QLatin1Char('/') && i + 1 < n && sheet[i + 1] == QLatin1Char('*')) { // a comment
            const qsizetype close = sheet.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype end = close < 0 ? n : close + 2;
            out += QStringView(sheet).sliced(i, end - i);
            i = end;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) { // a string
            qsizetype end = i + 1;
            while (end < n && sheet[end] != c) {
                end += sheet[end] == QLatin1Char('\\') ? 2 : 1;
            }
            end = std::min(end + 1, n);
            out += QStringView(sheet).sliced(i, end - i);
            i = end;
        } else if (QStringView(sheet).sliced(i).startsWith(widgetClass) &&
                   (i == 0 || !isNameChar(sheet[i - 1])) &&
                   (i + widgetClass.size() == n || !isNameChar(sheet[i + widgetClass.size()]))) {
            out += viewClass;
            i += widgetClass.size();
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString baseStyleSheet() {
    return kBaseLook + toneRule(tone::Alert, "#ff0000") + toneRule(tone::Warning, "#c00000") +
           toneRule(tone::Link, "#0000c0") + toneRule(tone::Muted, "#808080");
}

bool SkinH_Attach() {
    QApplication* app = widgetApplication();
    if (app == nullptr) {
        return false;
    }
    registerGlyphs();
    applySheet(app, baseStyleSheet());
    return true;
}

bool SkinH_AttachEx(const QString& skinFile, const QString& password) {
    Q_UNUSED(password)
    QApplication* app = widgetApplication();
    if (app == nullptr) {
        return false;
    }
    const std::optional<QString> skin = loadSkinFile(skinFile);
    if (!skin) {
        return false;
    }
    registerGlyphs();
    // The skin follows the base, so its rules win where both say something.
    applySheet(app, baseStyleSheet() + QLatin1Char('\n') + forListViews(*skin));
    return true;
}
