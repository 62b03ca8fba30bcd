#include "convert/Form2.h"

#include "app/ControlFactory.h"
#include "app/Messages.h"
#include "app/Platform.h"
#include "app/Twips.h"
#include "convert/ConvertRules.h"
#include "convert/ConvertStrings.h"
#include "convert/EditorText.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStrings.h"

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

Form2::Form2(const AppContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , settings_(context.folder) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(convertstr::WindowTitle);
    setFixedSize(twips::px(ClientWidth), twips::px(ClientHeight));
    buildControls();
    connectHandlers();
    Form_Load();
}

Form2::~Form2() = default;

void Form2::buildControls() {
    using twips::rect;
    Frame2 = frame(this, "Frame2", convertstr::SourceFrame, rect(120, 120, 8055, 7695));
    Text1 = textBox(Frame2, "Text1", rect(120, 240, 7815, 7335));
    QPalette grey = Text1->palette();
    grey.setColor(QPalette::Base, QColor(224, 224, 224));
    Text1->setPalette(grey);
    setSourceText(convertstr::SampleSource);

    Frame3 = frame(this, "Frame3", convertstr::OutputFrame, rect(8400, 120, 8055, 7695));
    Text2 = textBox(Frame3, "Text2", rect(120, 240, 7815, 7335));

    Check2 = named(new QCheckBox(convertstr::PasteAutomatically, this), "Check2");
    Check2->setGeometry(rect(600, 8280, 1095, 255));
    Check1 = named(new QCheckBox(convertstr::CopyAfterConverting, this), "Check1");
    Check1->setGeometry(rect(600, 8640, 1335, 375));

    Frame4 = frame(this, "Frame4", QString(), rect(2400, 8040, 12015, 1215));
    Command7 = button(Frame4, "Command7", convertstr::ClearAll, rect(240, 240, 1575, 735));
    Command4 = button(Frame4, "Command4", convertstr::MultiLine, rect(2460, 240, 1815, 735));
    Command9 = button(Frame4, "Command9", convertstr::SingleValue, rect(4920, 240, 1815, 735));
    Command5 = button(Frame4, "Command5", convertstr::CopyOutput, rect(7380, 240, 1815, 735));
    Command8 = button(Frame4, "Command8", convertstr::Close, rect(9840, 240, 1815, 735));

    Command2 = hiddenButton(this, "Command2", convertstr::PasteAndConvert);
    Command6 = hiddenButton(this, "Command6", convertstr::ValueConversion);
    Command1 = hiddenButton(this, "Command1", convertstr::ConvertOnly);

    // The reminder lies over both boxes, so it is made last and raised.
    Frame1 = frame(this, "Frame1", convertstr::ReminderFrame, rect(6600, 2640, 3255, 2055));
    Frame1->setAutoFillBackground(true);
    Frame1->raise();
    Label2 = named(new QLabel(convertstr::Converted, Frame1), "Label2");
    Label2->setGeometry(rect(480, 840, 2160, 240));
    Label2->setFont(reminderFont(Label2->font()));

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(ReminderMs);
    Timer1->setSingleShot(true);
}

void Form2::connectHandlers() {
    // A box ticked by Form_Load runs its click handling too, as a click does.
    connect(Check1, &QCheckBox::toggled, this, &Form2::Check1_Click);
    connect(Check2, &QCheckBox::toggled, this, &Form2::Check2_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command9, &QPushButton::clicked, this, &Form2::Command9_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form2::Command8_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
}

void Form2::saveSetting(const QString& key, const QString& value) {
    if (!settings_.write(key, value)) {
        platform().showMessage(msg::critical(settingsstr::SaveFailed));
    }
}

void Form2::Form_Load() {
    Check1->setChecked(isTicked(settings_.read(keys::CopyAfterConvert)));
    Check2->setChecked(isTicked(settings_.read(keys::PasteAutomatically)));
    Frame1->hide();
}

void Form2::Check1_Click() {
    saveSetting(keys::CopyAfterConvert, storedValue(Check1));
}

void Form2::Check2_Click() {
    saveSetting(keys::PasteAutomatically, storedValue(Check2));
}

void Form2::Command4_Click() {
    if (Check2->isChecked()) {
        paste();
    }
    prepareReminder(convertstr::Converted);
    // From here on a failing step ends the action silently.
    Text2->clear();
    const std::optional<QString> converted = convert::convertLines(sourceText());
    if (!converted) {
        return;
    }
    setOutputText(*converted);
    if (Check1->isChecked()) {
        setReminderText(convertstr::Copied);
        if (!copy()) {
            return;
        }
    }
    showReminder();
}

void Form2::Command9_Click() {
    if (Check2->isChecked()) {
        paste();
    }
    prepareReminder(convertstr::Converted);
    Text2->clear();
    setOutputText(convert::convertValue(sourceText()));
    if (Check1->isChecked()) {
        setReminderText(convertstr::Copied);
        // Never say "copied" when nothing was copied.
        if (!copy()) {
            return;
        }
    }
    showReminder();
}

void Form2::Command5_Click() {
    prepareReminder(convertstr::Copied);
    if (!copy()) {
        return;
    }
    showReminder();
}

void Form2::Command7_Click() {
    Text1->clear();
    Text2->clear();
}

void Form2::Command8_Click() {
    close();
}

void Form2::Command2_Click() {
    paste();
    Command4_Click();
}

void Form2::Command6_Click() {
    paste();
    Text2->clear();
    setOutputText(convert::convertValue(sourceText()));
    Command5_Click();
}

void Form2::Command1_Click() {
    Text2->clear();
    if (const std::optional<QString> converted = convert::convertLines(sourceText())) {
        setOutputText(*converted);
    }
}

void Form2::Timer1_Timer() {
    Frame1->hide();
    Timer1->stop();
}

QString Form2::sourceText() const {
    return convert::fromEditorText(Text1->document()->toRawText());
}

void Form2::setSourceText(QStringView text) {
    Text1->setPlainText(convert::toEditorText(text));
}

QString Form2::outputText() const {
    return convert::fromEditorText(Text2->document()->toRawText());
}

void Form2::setOutputText(QStringView text) {
    Text2->setPlainText(convert::toEditorText(text));
}

void Form2::paste() {
    setSourceText(platform().clipboardText());
}

bool Form2::copy() {
    return platform().setClipboardText(outputText());
}

void Form2::prepareReminder(const QString& text) {
    setReminderText(text);
    Label2->move((Frame1->width() - Label2->width()) / 2, (Frame1->height() - Label2->height()) / 2);
}

void Form2::setReminderText(const QString& text) {
    Label2->setText(text);
    Label2->adjustSize();
}

void Form2::showReminder() {
    Frame1->show();
    Frame1->raise();
    Timer1->start();
}
