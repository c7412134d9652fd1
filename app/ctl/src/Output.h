#pragma once

// Small pieces of talvikctl's output.

#include <string>
#include <string_view>

namespace talvik::ctl {

// `text` (UTF-8) as a JSON string with its quotes.
std::string jsonString(std::string_view text);

// A zero-terminated wide text (one code point a character, as the library
// hands out the version) as UTF-8; code points that are not Unicode scalar
// values become U+FFFD.
std::string utf8FromWide(const wchar_t* text);

// `text` left-aligned in a column of `width` terminal cells; each Chinese
// character takes two.
std::string padded(std::string_view text, int width);

} // namespace talvik::ctl
