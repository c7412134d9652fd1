#pragma once

// Small pieces of talvikctl's output.

#include "talvik/text/Encoding.h"

#include <string>
#include <string_view>

namespace talvik::ctl {

using text::jsonString;
using text::utf8FromWide;

// `text` left-aligned in a column of `width` terminal cells; each Chinese
// character takes two.
std::string padded(std::string_view text, int width);

} // namespace talvik::ctl
