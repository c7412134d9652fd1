#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace talvik::xml {

// Bytes in some code page turned into the document's UTF-16 text, and back. Conversions
// never fail as a whole: what cannot be decoded or what a code page cannot represent
// becomes "?" and is counted, so the caller can report the loss.

// The quick check that decides whether undeclared bytes are UTF-8: every byte with the high
// bit set must be followed by as many high-bit bytes as its lead bits announce. A zero byte
// ends the check.
bool passesUtf8Test(std::string_view bytes);

// Strict UTF-8 decoding; each malformed sequence becomes one "?".
std::u16string decodeUtf8(std::string_view bytes);
// The same appended to out, for writers that decode many short texts into one.
void appendDecodedUtf8(std::u16string& out, std::string_view bytes);
// The same with unreadable grown by the number of "?" put in.
void appendDecodedUtf8(std::u16string& out, std::string_view bytes, std::size_t& unreadable);

// Lone surrogates cannot be written as UTF-8: they become "?" and add to lost.
std::string encodeUtf8(std::u16string_view text, std::size_t& lost);

// UTF-8 <-> UTF-16 for callers that hold UTF-8 (file names, messages, tests).
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view text);

// Any code page of the charset table; 0 means the ANSI code page (the locale's charset).
// unreadable grows by the number of "?" that stand for bytes that could not be decoded.
std::u16string decodeCodePage(int codePage, std::string_view bytes);
std::u16string decodeCodePage(int codePage, std::string_view bytes, std::size_t& unreadable);
std::string encodeCodePage(int codePage, std::u16string_view text, std::size_t& lost);

// Every byte as one Windows-1252 character. The five bytes that code page leaves undefined
// (0x81 0x8D 0x8F 0x90 0x9D) become the C1 controls of the same value, as Windows reads
// them, so nothing is lost; undefined grows by their number.
std::u16string decodeWindows1252(std::string_view bytes, std::size_t& undefined);

// Whether the ANSI code page is UTF-8 with Windows-1252 for the bytes that are not (a UTF-8
// or plain ASCII locale) rather than a legacy charset of its own.
bool ansiCodePageIsUtf8();

// The locale's charset as iconv names it (from LC_ALL / LC_CTYPE / LANG of the environment).
// Where it is UTF-8 (or plain ASCII), bytes that are not valid UTF-8 are read as
// Windows-1252, since such files almost always come from Windows editors.
std::string ansiCharsetName();

} // namespace talvik::xml
