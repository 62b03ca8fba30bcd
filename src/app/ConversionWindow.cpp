#include "app/ConversionWindow.h"

#include "app/ControlPurposes.h"

#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"
#include "convert/EditorText.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStrings.h"
#include "ui/Controls.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace {

using controls::button;
using controls::frame;
using controls::named;

QPlainTextEdit* textBox(QWidget* parent, const char* name, QRect geometry) {
    auto* t = named(new QPlainTextEdit(parent), name);
    t->setGeometry(geometry);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return t;
}

// Buttons that only code presses: kept out of view.
QPushButton* hiddenButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = button(parent, name, caption, QRect(-2000, -2000, 80, 25));
    b->hide();
    return b;
}

// The reminder's face: 宋体 12 pt, or the nearest Song-style face with Chinese glyphs.
QFont reminderFont(const QFont& fallback) {
    for (const char* family : {"宋体", "SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"}) {
        const QString name = QString::fromUtf8(family);
        if (QFontDatabase::hasFamily(name)) {
            QFont font(name);
            font.setPointSize(12);
            return font;
        }
    }
    QFont font = fallback;
    font.setPointSize(12);
    return font;
}

bool isTicked(const QString& stored) {
    return stored == convertstr::Ticked;
}

const QString& storedValue(const QCheckBox* box) {
    return box->isChecked() ? convertstr::Ticked : convertstr::Unticked;
}

} // namespace

ConversionWindow::ConversionWindow(const AppContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , settings_(context.folder) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(convertstr::WindowTitle);
    setFixedSize(twips::px(ClientWidth), twips::px(ClientHeight));
    buildControls();
    controls::describe(*this, purposes::ConversionWindow);
    connectHandlers();
    controls::orderTabsVisually(this);
    load();
}

ConversionWindow::~ConversionWindow() = default;

void ConversionWindow::buildControls() {
    using twips::rect;
    sourceFrame = frame(this, "Frame2", convertstr::SourceFrame, rect(120, 120, 8055, 7695));
    sourceBox = textBox(sourceFrame, "Text1", rect(120, 240, 7815, 7335));
    QPalette grey = sourceBox->palette();
    grey.setColor(QPalette::Base, QColor(224, 224, 224));
    sourceBox->setPalette(grey);
    setSourceText(convertstr::SampleSource);

    outputFrame = frame(this, "Frame3", convertstr::OutputFrame, rect(8400, 120, 8055, 7695));
    outputBox = textBox(outputFrame, "Text2", rect(120, 240, 7815, 7335));

    pasteAutomaticallyBox = named(new QCheckBox(convertstr::PasteAutomatically, this), "Check2");
    pasteAutomaticallyBox->setGeometry(rect(600, 8280, 1095, 255));
    copyAfterConvertBox = named(new QCheckBox(convertstr::CopyAfterConverting, this), "Check1");
    copyAfterConvertBox->setGeometry(rect(600, 8640, 1335, 375));

    buttonRow = frame(this, "Frame4", QString(), rect(2400, 8040, 12015, 1215));
    clearButton = button(buttonRow, "Command7", convertstr::ClearAll, rect(240, 240, 1575, 735));
    convertLinesButton = button(buttonRow, "Command4", convertstr::MultiLine, rect(2460, 240, 1815, 735));
    convertValueButton = button(buttonRow, "Command9", convertstr::SingleValue, rect(4920, 240, 1815, 735));
    copyButton = button(buttonRow, "Command5", convertstr::CopyOutput, rect(7380, 240, 1815, 735));
    closeButton = button(buttonRow, "Command8", convertstr::Close, rect(9840, 240, 1815, 735));

    pasteAndConvertButton = hiddenButton(this, "Command2", convertstr::PasteAndConvert);
    valueConversionButton = hiddenButton(this, "Command6", convertstr::ValueConversion);
    convertOnlyButton = hiddenButton(this, "Command1", convertstr::ConvertOnly);

    // The reminder lies over both boxes, so it is made last and raised.
    reminderPanel = frame(this, "Frame1", convertstr::ReminderFrame, rect(6600, 2640, 3255, 2055));
    reminderPanel->setAutoFillBackground(true);
    reminderPanel->raise();
    reminderLabel = named(new QLabel(convertstr::Converted, reminderPanel), "Label2");
    reminderLabel->setGeometry(rect(480, 840, 2160, 240));
    reminderLabel->setFont(reminderFont(reminderLabel->font()));

    reminderTimer = named(new QTimer(this), "Timer1");
    reminderTimer->setInterval(ReminderMs);
    reminderTimer->setSingleShot(true);
}

void ConversionWindow::connectHandlers() {
    // A box ticked by load runs its click handling too, as a click does.
    connect(copyAfterConvertBox, &QCheckBox::toggled, this, &ConversionWindow::onCopyAfterConvertToggled);
    connect(pasteAutomaticallyBox, &QCheckBox::toggled, this, &ConversionWindow::onPasteAutomaticallyToggled);
    connect(convertLinesButton, &QPushButton::clicked, this, &ConversionWindow::onConvertLinesClicked);
    connect(convertValueButton, &QPushButton::clicked, this, &ConversionWindow::onConvertValueClicked);
    connect(copyButton, &QPushButton::clicked, this, &ConversionWindow::onCopyClicked);
    connect(clearButton, &QPushButton::clicked, this, &ConversionWindow::onClearClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(pasteAndConvertButton, &QPushButton::clicked, this, &ConversionWindow::onPasteAndConvertClicked);
    connect(valueConversionButton, &QPushButton::clicked, this, &ConversionWindow::onValueConversionClicked);
    connect(convertOnlyButton, &QPushButton::clicked, this, &ConversionWindow::onConvertOnlyClicked);
    connect(reminderTimer, &QTimer::timeout, this, &ConversionWindow::hideReminder);
}

void ConversionWindow::saveSetting(const QString& key, const QString& value) {
    if (!settings_.write(key, value)) {
        platform().showMessage(msg::critical(settingsstr::SaveFailed));
    }
}

void ConversionWindow::load() {
    copyAfterConvertBox->setChecked(isTicked(settings_.read(keys::CopyAfterConvert)));
    pasteAutomaticallyBox->setChecked(isTicked(settings_.read(keys::PasteAutomatically)));
    reminderPanel->hide();
}

void ConversionWindow::onCopyAfterConvertToggled() {
    saveSetting(keys::CopyAfterConvert, storedValue(copyAfterConvertBox));
}

void ConversionWindow::onPasteAutomaticallyToggled() {
    saveSetting(keys::PasteAutomatically, storedValue(pasteAutomaticallyBox));
}

void ConversionWindow::onConvertLinesClicked() {
    if (pasteAutomaticallyBox->isChecked()) {
        paste();
    }
    prepareReminder(convertstr::Converted);
    // From here on a failing step ends the action silently.
    outputBox->clear();
    const std::optional<QString> converted = convert::convertLines(sourceText());
    if (!converted) {
        return;
    }
    setOutputText(*converted);
    if (copyAfterConvertBox->isChecked()) {
        setReminderText(convertstr::Copied);
        if (!copy()) {
            return;
        }
    }
    showReminder();
}

void ConversionWindow::onConvertValueClicked() {
    if (pasteAutomaticallyBox->isChecked()) {
        paste();
    }
    prepareReminder(convertstr::Converted);
    outputBox->clear();
    setOutputText(convert::convertValue(sourceText()));
    if (copyAfterConvertBox->isChecked()) {
        setReminderText(convertstr::Copied);
        // Never say "copied" when nothing was copied.
        if (!copy()) {
            return;
        }
    }
    showReminder();
}

void ConversionWindow::onCopyClicked() {
    prepareReminder(convertstr::Copied);
    if (!copy()) {
        return;
    }
    showReminder();
}

void ConversionWindow::onClearClicked() {
    sourceBox->clear();
    outputBox->clear();
}

void ConversionWindow::onPasteAndConvertClicked() {
    paste();
    onConvertLinesClicked();
}

void ConversionWindow::onValueConversionClicked() {
    paste();
    outputBox->clear();
    setOutputText(convert::convertValue(sourceText()));
    onCopyClicked();
}

void ConversionWindow::onConvertOnlyClicked() {
    outputBox->clear();
    if (const std::optional<QString> converted = convert::convertLines(sourceText())) {
        setOutputText(*converted);
    }
}

void ConversionWindow::hideReminder() {
    reminderPanel->hide();
    reminderTimer->stop();
}

QString ConversionWindow::sourceText() const {
    return convert::fromEditorText(sourceBox->document()->toRawText());
}

void ConversionWindow::setSourceText(QStringView text) {
    sourceBox->setPlainText(convert::toEditorText(text));
}

QString ConversionWindow::outputText() const {
    return convert::fromEditorText(outputBox->document()->toRawText());
}

void ConversionWindow::setOutputText(QStringView text) {
    outputBox->setPlainText(convert::toEditorText(text));
}

void ConversionWindow::paste() {
    setSourceText(platform().clipboardText());
}

bool ConversionWindow::copy() {
    return platform().setClipboardText(outputText());
}

void ConversionWindow::prepareReminder(const QString& text) {
    setReminderText(text);
    reminderLabel->move((reminderPanel->width() - reminderLabel->width()) / 2,
                        (reminderPanel->height() - reminderLabel->height()) / 2);
}

void ConversionWindow::setReminderText(const QString& text) {
    reminderLabel->setText(text);
    reminderLabel->adjustSize();
}

void ConversionWindow::showReminder() {
    reminderPanel->show();
    reminderPanel->raise();
    reminderTimer->start();
}
