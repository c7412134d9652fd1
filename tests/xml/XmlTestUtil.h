#pragma once

#include "talvik/xml/TextCodec.h"

#include <ostream>
#include <string>
#include <string_view>

inline std::string utf8(std::u16string_view text) {
    return talvik::xml::toUtf8(text);
}
