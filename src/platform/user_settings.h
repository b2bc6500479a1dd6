#pragma once

#include <QSettings>
#include <memory>

// The settings the program keeps per user, in an INI file in the user's configuration folder
// (QSettings::setPath moves it, as the tests do).
namespace UserSettings {

std::unique_ptr<QSettings> open();

} // namespace UserSettings
