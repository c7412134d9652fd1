#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace talvik::xml {

// The character of a named reference ("amp", "eacute", …), or 0 if the name is unknown.
char16_t namedEntityValue(std::string_view name);
std::size_t namedEntityCount();

// Attribute values are always written with the five markup characters escaped, even an
// ampersand that already begins a reference, so a value reads back exactly as it was set.
std::u16string escapeAttribute(std::u16string_view value);
void appendEscapedAttribute(std::u16string& out, std::u16string_view value);
// A number as "%d" writes it, appended, or written at out, which has room for
// kMaxDecimalLength characters (the end is returned).
constexpr std::size_t kMaxDecimalLength = 11;
void appendDecimal(std::u16string& out, int value);
char16_t* writeDecimal(char16_t* out, int value);

// Turns numeric and named references back into characters; anything that is not a complete
// reference (no ";" within reach, an unknown name, a reference to code point 0) is kept as
// written, so a stray "&" never loses text.
std::u16string unescapeText(std::u16string_view value);
// The same appended to out, for readers that reuse one buffer for many values.
void appendUnescaped(std::u16string& out, std::u16string_view value);

} // namespace talvik::xml
