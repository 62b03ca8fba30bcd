#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

// The one seam between the program and the desktop: every message box, file dialog, progress
// dialog, shell open, program start and clipboard access goes through it. Production uses
// QtPlatform; tests use a fake that records every call and answers from a script.
class Platform {
public:
    enum class Icon { None, Critical, Exclamation, Question, Information };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Message {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
    };

    // A modal progress indicator for a blocking transfer. It appears only when the operation takes
    // a noticeable time; its Cancel button calls the cancel handler.
    class Progress {
    public:
        virtual ~Progress() = default;
        // total < 0 when unknown.
        virtual void setProgress(qint64 received, qint64 total) = 0;
        // A count of items done (entries unpacked), shown as a plain number.
        virtual void setCount(qint64 done) = 0;
        virtual void setCancelHandler(std::function<void()> onCancel) = 0;
        // Replaces the label, for one indicator over a run of several steps.
        virtual void setLabel(const QString& label) = 0;
    };

    virtual ~Platform() = default;

    virtual Answer showMessage(const Message& message) = 0;

    // The open-file dialog. `filter` is given as "description|pattern" pairs joined by "|" (for
    // example "Quenra.exe文件(*.exe)|*.exe"); empty shows all files. `initialPath` is the file name
    // the dialog starts with. Returns nullopt when the user cancels.
    virtual std::optional<QString> openFileDialog(const QString& filter, const QString& initialPath) = 0;

    // The save-file dialog, filter as above, offering the name `initialPath`; it asks before a file
    // is replaced. Returns nullopt when the user cancels. The caller writes the file.
    virtual std::optional<QString> saveFileDialog(const QString& filter, const QString& initialPath) = 0;

    // Moves a file or folder into the desktop's trash, where the user can restore it. False when the
    // trash cannot take it (no trash on that disk, say); nothing is deleted then.
    virtual bool moveToTrash(const QString& path) = 0;

    // Opens a web page, a folder or a file with the desktop's associated program. Not waited for;
    // the result is not examined by the program.
    virtual void openWithDesktop(const QString& pathOrUrl) = 0;

    // Opens a file of an installed library for reading or editing, never running it: a script in a
    // package a stranger published must not start because the user wanted to look at it. A folder
    // opens in the file manager. Not waited for; the result is not examined.
    virtual void openForViewing(const QString& path) = 0;

    // Starts a program detached, without parameters; not waited for.
    virtual bool startProgram(const QString& program) = 0;

    // Plain text on the clipboard; empty when it holds no text.
    virtual QString clipboardText() = 0;
    // Clears the clipboard and puts `text` on it. Returns false when the clipboard is unavailable.
    virtual bool setClipboardText(const QString& text) = 0;

    virtual std::unique_ptr<Progress> beginProgress(const QString& label) = 0;
};
