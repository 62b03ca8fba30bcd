#include "ui/SkinEngine.h"

#include "skins/SkinTones.h"
#include "skins/StyleSheetCheck.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>
#include <optional>

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

// A standard icon of the style, made when it is first drawn or measured. Making one reads its
// pictures, and the first picture read loads every image-format plugin to ask whether it reads it.
class DeferredIconEngine final : public QIconEngine {
public:
    DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget)
        : style_(style)
        , which_(which)
        , widget_(const_cast<QWidget*>(widget)) {
        if (option) {
            option_ = *option; // what the style reads of it: the direction, the palette
        }
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return !made_ && style_ ? false : icon().isNull(); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!made_) {
            made_ = true;
            if (style_) {
                icon_ = style_->standardIcon(which_, option_ ? &*option_ : nullptr, widget_);
            }
        }
        return icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    std::optional<QStyleOption> option_;
    QPointer<QWidget> widget_;
    bool made_ = false;
    QIcon icon_;
};

// The application's style, but for the icons every main window carries and rarely shows (the menu
// bar's overflow button, the search box's clear button): those are made when first shown.
class DeferredIconStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_LineEditClearButton) {
            return QIcon(new DeferredIconEngine(baseStyle(), which, option, widget));
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

// Puts the deferred icons into the application's style, once, before any style sheet wraps it. Only
// into Fusion: a style sheet reads less of a platform style it no longer recognises behind a proxy.
void deferStandardIcons(QApplication* app) {
    static const char* const Marker = "_quenra_deferred_icons";
    const QString name = QApplication::style()->name();
    if (app->property(Marker).toBool() || !app->styleSheet().isEmpty() ||
        name.compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0) {
        return;
    }
    if (QStyle* base = QStyleFactory::create(name)) {
        QApplication::setStyle(new DeferredIconStyle(base));
        app->setProperty(Marker, true);
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
    deferStandardIcons(app);
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
