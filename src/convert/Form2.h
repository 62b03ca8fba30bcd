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
// top-level window of its own; closing it deletes it.
class Form2 final : public QWidget {
    Q_OBJECT
public:
    explicit Form2(const AppContext& context, QWidget* parent = nullptr);
    ~Form2() override;
    Q_DISABLE_COPY_MOVE(Form2)

    // Client area, in twips.
    static constexpr int ClientWidth = 16530;
    static constexpr int ClientHeight = 9375;
    // How long the reminder stays.
    static constexpr int ReminderMs = 1000;

    // Handlers, each a fixed sequence of steps.
    void Form_Load();
    void Check1_Click();
    void Check2_Click();
    void Command4_Click(); // convert line by line
    void Command9_Click(); // convert a value
    void Command5_Click(); // copy the output
    void Command7_Click(); // clear both boxes
    void Command8_Click(); // close
    void Command2_Click(); // paste, then Command4
    void Command6_Click(); // paste, convert a value, then Command5
    void Command1_Click(); // convert line by line only
    void Timer1_Timer();

    // The boxes' texts with CR LF line breaks, the form the conversions work on. Text put in with
    // CR LF line breaks reads back unchanged.
    QString sourceText() const;
    void setSourceText(QStringView text);
    QString outputText() const;
    void setOutputText(QStringView text);

    // ---- controls ----
    QGroupBox* Frame2 = nullptr;     // 原代码
    QPlainTextEdit* Text1 = nullptr; // the source box
    QGroupBox* Frame3 = nullptr;     // 转换后的代码
    QPlainTextEdit* Text2 = nullptr; // the output box
    QCheckBox* Check2 = nullptr;     // 自动粘贴
    QCheckBox* Check1 = nullptr;     // 转换后复制
    QGroupBox* Frame4 = nullptr;     // the button row, no caption
    QPushButton* Command7 = nullptr; // 清空所有
    QPushButton* Command4 = nullptr; // 单多行处理
    QPushButton* Command9 = nullptr; // 单行value值处理
    QPushButton* Command5 = nullptr; // 复制转换后的代码
    QPushButton* Command8 = nullptr; // 关闭
    QGroupBox* Frame1 = nullptr;     // 温馨提示, the reminder
    QLabel* Label2 = nullptr;        // the reminder text
    QTimer* Timer1 = nullptr;        // hides the reminder
    QPushButton* Command2 = nullptr; // 粘贴并转换[多行处理], never shown
    QPushButton* Command6 = nullptr; // 值转化, never shown
    QPushButton* Command1 = nullptr; // 转换不行, never shown

private:
    void buildControls();
    void connectHandlers();
    Platform& platform() const { return *context_.platform; }
    // Writes one setting; a write that fails is told to the user, and the option stays as ticked.
    void saveSetting(const QString& key, const QString& value);

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

    AppContext context_;
    Settings settings_;
};
