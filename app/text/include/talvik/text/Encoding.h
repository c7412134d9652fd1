#pragma once

// Text in the forms other programs read: JSON strings, and UTF-8 from the wide
// texts the keyboard library hands out.

#include <string>
#include <string_view>

namespace talvik::text {

// `text` (UTF-8) as a JSON string with its quotes.
std::string jsonString(std::string_view text);

// A zero-terminated wide text (one code point a character, as the library
// hands out the version) as UTF-8; code points that are not Unicode scalar
// values become U+FFFD.
std::string utf8FromWide(const wchar_t* text);

} // namespace talvik::text
