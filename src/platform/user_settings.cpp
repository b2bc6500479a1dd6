#include "user_settings.h"

namespace UserSettings {

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("talmero"), QStringLiteral("talmero"));
}

} // namespace UserSettings
