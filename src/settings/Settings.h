#pragma once

#include "settings/AppFolder.h"

#include <QString>

// The settings file: one key at a time, at the moment of use. Nothing is cached, so a hand edit made
// while the program runs is seen by the next read.
class Settings {
public:
    explicit Settings(AppFolder folder)
        : folder_(std::move(folder)) {}

    QString read(const QString& key) const;
    // Failures are not reported to the user; the result is for tests and callers that care.
    bool write(const QString& key, const QString& value) const;

    const AppFolder& folder() const { return folder_; }

private:
    AppFolder folder_;
};
