#pragma once

#include "app/AppContext.h"
#include "settings/Settings.h"

#include <QString>
#include <QStringView>
#include <QWidget>

class Platform;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The conversion window: a source box and an output box, the two conversions on buttons, two
// options kept in the settings file and a reminder shown for a second after an action. It is a
// top-level window of its own; closing it deletes it. Every control carries the name the user's
// handbook gives it as its Qt object name.
class ConversionWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ConversionWindow(const AppContext& context, QWidget* parent = nullptr);
    ~ConversionWindow() override;
    Q_DISABLE_COPY_MOVE(ConversionWindow)

    // Client area, in twips.
    static constexpr int ClientWidth = 16530;
    static constexpr int ClientHeight = 9375;
    // How long the reminder stays.
    static constexpr int ReminderMs = 1000;

private:
    void buildControls();
    void connectHandlers();
    // Ticks the two boxes as the settings file says and hides the reminder.
    void load();
    Platform& platform() const { return *context_.platform; }
    // Writes one setting; a write that fails is told to the user, and the option stays as ticked.
    void saveSetting(const QString& key, const QString& value);

    // Handlers, each a fixed sequence of steps.
    void onCopyAfterConvertToggled();
    void onPasteAutomaticallyToggled();
    void onConvertLinesClicked();
    void onConvertValueClicked();
    void onCopyClicked();
    void onClearClicked();
    void onPasteAndConvertClicked(); // paste, then the line-by-line conversion
    void onValueConversionClicked(); // paste, convert a value, then copy
    void onConvertOnlyClicked();     // the line-by-line conversion alone
    void hideReminder();

    // The boxes' texts with CR LF line breaks, the form the conversions work on. Text put in with
    // CR LF line breaks reads back unchanged.
    QString sourceText() const;
    void setSourceText(QStringView text);
    QString outputText() const;
    void setOutputText(QStringView text);

    // Puts the clipboard's text into the source box; no text on the clipboard empties it.
    void paste();
    // Puts the output box's text on the clipboard; false when the clipboard is unavailable.
    bool copy();
    // Sets the reminder's text, sizes the label to it and centres it in the reminder panel.
    void prepareReminder(const QString& text);
    // Sets the reminder's text and sizes the label, keeping its place.
    void setReminderText(const QString& text);
    // Shows the reminder for ReminderMs; a reminder already showing gets the full time again.
    void showReminder();

    // ---- controls: object name, then caption ----
    QGroupBox* sourceFrame = nullptr;           // Frame2: 原代码
    QPlainTextEdit* sourceBox = nullptr;        // Text1: the source code
    QGroupBox* outputFrame = nullptr;           // Frame3: 转换后的代码
    QPlainTextEdit* outputBox = nullptr;        // Text2: the converted code
    QCheckBox* pasteAutomaticallyBox = nullptr; // Check2: 自动粘贴
    QCheckBox* copyAfterConvertBox = nullptr;   // Check1: 转换后复制
    QGroupBox* buttonRow = nullptr;             // Frame4: no caption
    QPushButton* clearButton = nullptr;         // Command7: 清空所有
    QPushButton* convertLinesButton = nullptr;  // Command4: 单多行处理
    QPushButton* convertValueButton = nullptr;  // Command9: 单行value值处理
    QPushButton* copyButton = nullptr;          // Command5: 复制转换后的代码
    QPushButton* closeButton = nullptr;         // Command8: 关闭
    QGroupBox* reminderPanel = nullptr;         // Frame1: 温馨提示
    QLabel* reminderLabel = nullptr;            // Label2: the reminder text
    QTimer* reminderTimer = nullptr;            // Timer1: hides the reminder
    // Never shown; kept as named controls that skins and tests can reach by object name.
    QPushButton* pasteAndConvertButton = nullptr; // Command2: 粘贴并转换[多行处理]
    QPushButton* valueConversionButton = nullptr; // Command6: 值转化
    QPushButton* convertOnlyButton = nullptr;     // Command1: 转换不行

    AppContext context_;
    Settings settings_;
};
