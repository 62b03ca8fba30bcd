#include "FakePlatform.h"

#include <QDir>
#include <QFileInfo>

namespace {

class FakeProgress final : public Platform::Progress {
public:
    FakeProgress(bool cancelOnFirst, std::function<void(qint64, qint64)> onProgress, QList<QString>& labels)
        : labels_(labels)
        , cancelOnFirst_(cancelOnFirst)
        , onProgress_(std::move(onProgress)) {}
    void setProgress(qint64 received, qint64 total) override {
        if (onProgress_) {
            onProgress_(received, total);
        }
        if (cancelOnFirst_ && !cancelled_ && onCancel_) {
            cancelled_ = true;
            onCancel_();
        }
    }
    void setCount(qint64 done) override { setProgress(done, -1); }
    void setCancelHandler(std::function<void()> onCancel) override { onCancel_ = std::move(onCancel); }
    void setLabel(const QString& label) override { labels_ << label; }

private:
    QList<QString>& labels_;
    bool cancelOnFirst_;
    std::function<void(qint64, qint64)> onProgress_;
    bool cancelled_ = false;
    std::function<void()> onCancel_;
};

} // namespace

Platform::Answer FakePlatform::showMessage(const Message& message) {
    messages << message;
    if (onMessage) {
        if (const std::optional<Answer> a = onMessage(message)) {
            return *a;
        }
    }
    if (!answers.isEmpty()) {
        return answers.takeFirst();
    }
    return message.defaultButton;
}

std::optional<QString> FakePlatform::openFileDialog(const QString& filter, const QString& initialPath) {
    fileDialogs << qMakePair(filter, initialPath);
    if (fileAnswers.isEmpty()) {
        return std::nullopt;
    }
    return fileAnswers.takeFirst();
}

bool FakePlatform::moveToTrash(const QString& path) {
    return !trashFolder.isEmpty() && QDir().mkpath(trashFolder) &&
           QDir().rename(path, trashFolder + QLatin1Char('/') + QFileInfo(path).fileName());
}

bool FakePlatform::setClipboardText(const QString& text) {
    if (clipboardBroken) {
        return false;
    }
    clipboard = text;
    clipboardWrites << text;
    return true;
}

std::unique_ptr<Platform::Progress> FakePlatform::beginProgress(const QString& label) {
    progressLabels << label;
    return std::make_unique<FakeProgress>(cancelOnFirstProgress, onProgress, progressLabels);
}

QStringList FakePlatform::messageTexts() const {
    QStringList texts;
    for (const Message& m : messages) {
        texts << m.text;
    }
    return texts;
}

void FakePlatform::clear() {
    messages.clear();
    opened.clear();
    viewed.clear();
    started.clear();
    fileDialogs.clear();
    progressLabels.clear();
    clipboardWrites.clear();
}
