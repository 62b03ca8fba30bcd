#include "ui/SkinEngine.h"

#include "skins/SkinTones.h"
#include "skins/StyleSheetCheck.h"

#include <QApplication>

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

} // namespace

QString baseStyleSheet() {
    return kBaseLook + toneRule(tone::Alert, "#ff0000") + toneRule(tone::Warning, "#c00000") +
           toneRule(tone::Link, "#0000c0");
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
    applySheet(app, baseStyleSheet() + QLatin1Char('\n') + *skin);
    return true;
}
