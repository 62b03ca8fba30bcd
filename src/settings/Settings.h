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
    // False when the value could not be saved (the file or its folder not writable, another copy of
    // the program holding the file too long); the windows tell the user.
    bool write(const QString& key, const QString& value) const;

    const AppFolder& folder() const { return folder_; }

private:
    AppFolder folder_;
};
