#pragma once

// Text in the "ANSI code page": the character set of the user's locale. The
// keyboard and old files speak it; we turn it into wide characters.

#include <cstdint>
#include <span>
#include <string>

namespace talvik::hwi {

// The character set of the locale the environment names (LC_ALL, LC_CTYPE,
// LANG), read without touching the process's own locale. "ANSI_X3.4-1968"
// when none is set or it is not installed.
std::string ansiCharset();

// Converts `bytes` from `charset` to wide characters. Bytes that are not
// valid in it are taken as Windows-1252, so nothing is lost and no input
// stops the conversion. A charset iconv does not know is read as UTF-8.
std::wstring decodeAnsi(std::span<const std::uint8_t> bytes, const std::string& charset);

// The same in the locale's character set.
inline std::wstring decodeAnsi(std::span<const std::uint8_t> bytes) {
    return decodeAnsi(bytes, ansiCharset());
}

// The character Windows-1252 gives `byte`.
wchar_t windows1252(std::uint8_t byte);

} // namespace talvik::hwi
