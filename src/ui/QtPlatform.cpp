#include "ui/QtPlatform.h"

#include "ui/Messages.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>

#include <string>
#endif

namespace {

#ifdef Q_OS_WIN
// Hands `target` (a native path or a web address) to the shell; `verb` null is the default action
// of the item's type. Returns false when the shell could not.
bool shellExecute(const wchar_t* verb, const QString& target) {
    const std::wstring item = target.toStdWString();
    return reinterpret_cast<INT_PTR>(
               ShellExecuteW(nullptr, verb, item.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}
#endif

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QMessageBox::StandardButton toStandard(Platform::Answer a) {
    switch (a) {
    case Platform::Answer::Ok:
        return QMessageBox::Ok;
    case Platform::Answer::Cancel:
        return QMessageBox::Cancel;
    case Platform::Answer::Yes:
        return QMessageBox::Yes;
    case Platform::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// While a blocking transfer runs, the window must repaint but must not take clicks or keys; only the
// progress dialog does.
class InputBlocker final : public QObject {
public:
    explicit InputBlocker(QWidget* allowed)
        : allowed_(allowed) {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(InputBlocker)

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride: {
            auto* w = qobject_cast<QWidget*>(watched);
            if (allowed_ && w && (w == allowed_ || allowed_->isAncestorOf(w))) {
                return false;
            }
            return true;
        }
        case QEvent::Close:
            // Closing a window in the middle of a transfer would delete what the transfer reports to.
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() &&
                watched != allowed_) {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> allowed_;
};

class QtProgress final : public Platform::Progress {
public:
    explicit QtProgress(const QString& label) {
        dialog_ = new QProgressDialog(label, QStringLiteral("取消"), 0, 0, dialogParent());
        dialog_->setWindowTitle(QStringLiteral("Quenra小助手"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(300);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setLabelText(label);
        label_ = label;
        blocker_ = std::make_unique<InputBlocker>(dialog_);
        QObject::connect(dialog_, &QProgressDialog::canceled, dialog_, [this] {
            if (onCancel_) {
                onCancel_();
            }
        });
        dialog_->setValue(0);
        timer_.start();
    }
    ~QtProgress() override {
        blocker_.reset();
        delete dialog_;
    }
    Q_DISABLE_COPY_MOVE(QtProgress)

    void setProgress(qint64 received, qint64 total) override {
        if (!dialog_) {
            return;
        }
        const QString done = QLocale().formattedDataSize(received);
        if (total > 0) {
            dialog_->setLabelText(label_ + QStringLiteral("\n") + done + QStringLiteral(" / ") +
                                  QLocale().formattedDataSize(total));
            dialog_->setMaximum(1000);
            dialog_->setValue(static_cast<int>(qMin<qint64>(999, received * 1000 / total)));
        } else {
            dialog_->setLabelText(label_ + QStringLiteral("\n") + done);
            dialog_->setMaximum(0);
            dialog_->setValue(0);
        }
        if (!dialog_->isVisible() && timer_.elapsed() >= 300) {
            dialog_->show();
        }
    }
    void setCount(qint64 done) override {
        if (!dialog_) {
            return;
        }
        dialog_->setLabelText(label_ + QStringLiteral("\n") + QLocale().toString(done));
        dialog_->setMaximum(0);
        dialog_->setValue(0);
        if (!dialog_->isVisible() && timer_.elapsed() >= 300) {
            dialog_->show();
        }
    }
    void setCancelHandler(std::function<void()> onCancel) override { onCancel_ = std::move(onCancel); }
    void setLabel(const QString& label) override {
        label_ = label;
        if (dialog_) {
            dialog_->setLabelText(label);
        }
    }

private:
    QPointer<QProgressDialog> dialog_;
    std::unique_ptr<InputBlocker> blocker_;
    std::function<void()> onCancel_;
    QString label_;
    QElapsedTimer timer_;
};

} // namespace

QString qtFileDialogFilter(const QString& barSeparatedFilter) {
    if (barSeparatedFilter.isEmpty()) {
        return {};
    }
    const QStringList parts = barSeparatedFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

Platform::Answer QtPlatform::showMessage(const Message& message) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(message.title);
    // Messages carry names and versions from the catalog: shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(message.text);
    switch (message.icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (message.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
#ifdef Q_OS_WIN
    // As Windows' own Chinese message boxes read, whether or not Qt's translation was found.
    const std::pair<QMessageBox::StandardButton, const QString&> captions[] = {
        {QMessageBox::Ok, msg::OkCaption},
        {QMessageBox::Cancel, msg::CancelCaption},
        {QMessageBox::Yes, msg::YesCaption},
        {QMessageBox::No, msg::NoCaption},
    };
    for (const auto& [which, caption] : captions) {
        if (QAbstractButton* button = box.button(which)) {
            button->setText(caption);
        }
    }
#endif
    box.setDefaultButton(toStandard(message.defaultButton));
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        break;
    }
    // Escape or the close box: the negative answer of the box shown.
    if (message.buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    return message.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<QString> QtPlatform::openFileDialog(const QString& filter, const QString& initialPath) {
    const QString start = initialPath.isEmpty() ? QString() : QDir::fromNativeSeparators(initialPath);
    const QString chosen =
        QFileDialog::getOpenFileName(dialogParent(), QString(), start, qtFileDialogFilter(filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(chosen);
}

std::optional<QString> QtPlatform::saveFileDialog(const QString& filter, const QString& initialPath) {
    const QString start = initialPath.isEmpty() ? QString() : QDir::fromNativeSeparators(initialPath);
    const QString chosen =
        QFileDialog::getSaveFileName(dialogParent(), QString(), start, qtFileDialogFilter(filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(chosen);
}

bool QtPlatform::moveToTrash(const QString& path) {
    // Qt moves the item by a rename and reports false instead of copying across disks, so a
    // failure leaves the item where it was. On Windows it is the shell's recycle bin.
    return QFile::moveToTrash(QDir::fromNativeSeparators(path));
}

void QtPlatform::openWithDesktop(const QString& pathOrUrl) {
    const QUrl asUrl(pathOrUrl, QUrl::StrictMode);
    const QString scheme = asUrl.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
#ifdef Q_OS_WIN
    // The default action: the browser for a web page, Explorer for a folder.
    shellExecute(nullptr, web ? QString::fromLatin1(asUrl.toEncoded()) : QDir::toNativeSeparators(pathOrUrl));
#else
    QDesktopServices::openUrl(web ? asUrl : QUrl::fromLocalFile(QDir::fromNativeSeparators(pathOrUrl)));
#endif
}

void QtPlatform::openForViewing(const QString& path) {
    const QString local = QDir::fromNativeSeparators(path);
#ifdef Q_OS_WIN
    // The default action of a .js file is the script host, which runs it; "edit" opens an editor.
    // Where no editor is registered for the type, Notepad shows the text. A missing file opens
    // nothing (Notepad would offer to create it).
    const QFileInfo info(local);
    if (!info.isDir()) {
        if (!info.exists()) {
            return;
        }
        const QString file = QDir::toNativeSeparators(local);
        if (!shellExecute(L"edit", file)) {
            const std::wstring quoted = L"\"" + file.toStdWString() + L"\"";
            ShellExecuteW(nullptr, L"open", L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL);
        }
        return;
    }
    shellExecute(nullptr, QDir::toNativeSeparators(local)); // a folder: Explorer
#else
    // The desktop opens a file by its content type in a viewer, without running it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(local));
#endif
}

bool QtPlatform::startProgram(const QString& program) {
    const QFileInfo info(program);
    return QProcess::startDetached(program, {}, info.absolutePath());
}

QString QtPlatform::clipboardText() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

bool QtPlatform::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return false;
    }
    clipboard->clear();
    clipboard->setText(text);
    return true;
}

std::unique_ptr<Platform::Progress> QtPlatform::beginProgress(const QString& label) {
    return std::make_unique<QtProgress>(label);
}
