#pragma once

#include "ui/Platform.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// A desktop that records every call and answers from a script; it never shows a window, opens a
// browser or starts a program.
class FakePlatform final : public Platform {
public:
    // Recorded calls.
    QList<Message> messages;
    QList<QString> opened;                      // openWithDesktop
    QList<QString> viewed;                      // openForViewing
    QList<QString> started;                     // startProgram
    QList<QPair<QString, QString>> fileDialogs; // (filter, initial path), open and save dialogs
    QList<QString> progressLabels;              // beginProgress and each later label
    QList<QString> clipboardWrites;

    // Script. Message answers are taken in order; when none is left, the default button answers.
    QList<Answer> answers;
    // Optional hook called for each message before the script (return nullopt to use the script).
    std::function<std::optional<Answer>(const Message&)> onMessage;
    // File dialog answers in order; nullopt is a cancel. When none is left, the dialog is cancelled.
    QList<std::optional<QString>> fileAnswers;
    // The clipboard: nullopt holds no text.
    std::optional<QString> clipboard;
    bool clipboardBroken = false;
    // When true, every progress indicator presses Cancel at its first progress report.
    bool cancelOnFirstProgress = false;
    // Optional hook called with every progress report (bytes so far, announced total or -1).
    std::function<void(qint64 received, qint64 total)> onProgress;
    bool startProgramResult = true;
    // Where moveToTrash puts what it is given (by a rename); empty: the trash takes nothing.
    QString trashFolder;

    Answer showMessage(const Message& message) override;
    std::optional<QString> openFileDialog(const QString& filter, const QString& initialPath) override;
    std::optional<QString> saveFileDialog(const QString& filter, const QString& initialPath) override {
        return openFileDialog(filter, initialPath);
    }
    bool moveToTrash(const QString& path) override;
    void openWithDesktop(const QString& pathOrUrl) override { opened << pathOrUrl; }
    void openForViewing(const QString& path) override { viewed << path; }
    bool startProgram(const QString& program) override {
        started << program;
        return startProgramResult;
    }
    QString clipboardText() override { return clipboard.value_or(QString()); }
    bool setClipboardText(const QString& text) override;
    std::unique_ptr<Progress> beginProgress(const QString& label) override;

    // Texts of all messages shown, in order.
    QStringList messageTexts() const;
    void clear();
};
