#pragma once

#include "platform/prompter.h"

#include <QString>

// Every setting of a bitmap font, as the generator window holds it. Colours are 0xRRGGBB.
struct FontSettings
{
    FontChoice font{QStringLiteral("MS Sans Serif"), 8};
    quint32 foreground = 0xFFFFFF;
    quint32 background = 0x000000;
    bool shadow = false;
    int shadowSize = 1;
    quint32 shadowColor = 0x000000;
    bool outline = false;
    int outlineSize = 1;
    quint32 outlineColor = 0xFF0000;
    int spaceX = 2;
    int spaceY = 2;
    QString fontName = QStringLiteral("My_Font"); // the name in the declaration line
};
