#pragma once

// What the user is told when a skinned window cannot open because the skin
// file lacks its pictures or holds them in sizes that do not agree: which
// window, what is wrong, and how to put it right, in the user's language.

#include "talvik/text/Language.h"

#include <QString>

#include <initializer_list>

class QImage;

namespace talvik::shell {

enum class ESkinWindow {
    KeySettings,
    VirtualKeyboard,
    Backlight,
    MultiSelect,
    Firmware,
    Progress,
    WaitKeyboard,
};

QString skinProblemText(ESkinWindow window, text::Language language);

// True when every picture is there and all have the size of the first.
bool picturesAgree(std::initializer_list<const QImage*> pictures);

} // namespace talvik::shell
