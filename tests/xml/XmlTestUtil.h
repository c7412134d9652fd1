#pragma once

#include "TextCodec.h"

#include <ostream>
#include <string>

inline std::string utf8(const std::u16string& text) {
    return talvik::xml::toUtf8(text);
}
