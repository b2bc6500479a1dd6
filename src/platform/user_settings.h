#pragma once

#include <QSettings>
#include <memory>

// The settings the program keeps per user, in talmero/talmero.ini in the user's configuration
// folder (setFolder moves it, as the tests do). The file is the user's: it is read only when it
// is a regular file of a sane size. Any other (a FIFO, a device, a link to one, a file of many
// megabytes) is left alone: the settings then read as their defaults and are not written.
namespace UserSettings {

QString fileName();
void setFolder(const QString &folder);
std::unique_ptr<QSettings> open();
// Why the file was left alone at the last open; empty when it was used.
QString refusal();

} // namespace UserSettings
