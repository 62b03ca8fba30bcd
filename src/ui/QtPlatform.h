#pragma once

#include "ui/Platform.h"

class QWidget;

// The desktop as Qt offers it: QMessageBox, QFileDialog, QProgressDialog, QDesktopServices,
// QProcess and the application clipboard (on Windows also the shell's "edit" verb).
class QtPlatform final : public Platform {
public:
    QtPlatform() = default;
    Q_DISABLE_COPY_MOVE(QtPlatform)

    Answer showMessage(const Message& message) override;
    std::optional<QString> openFileDialog(const QString& filter, const QString& initialPath) override;
    std::optional<QString> saveFileDialog(const QString& filter, const QString& initialPath) override;
    bool moveToTrash(const QString& path) override;
    void openWithDesktop(const QString& pathOrUrl) override;
    void openForViewing(const QString& path) override;
    bool startProgram(const QString& program) override;
    QString clipboardText() override;
    bool setClipboardText(const QString& text) override;
    std::unique_ptr<Progress> beginProgress(const QString& label) override;
};

// "desc|pattern|desc|pattern" -> the Qt form "desc (pattern);;desc (pattern)". Empty stays empty.
QString qtFileDialogFilter(const QString& barSeparatedFilter);
