#pragma once

#include <cstddef>
#include <string_view>

namespace talvik::xml {

// Windows code page numbers are the currency of the document layer: encoding declarations
// are mapped to them, and conversions are chosen by them.
inline constexpr int kCodePageUtf16Le = 1200;
inline constexpr int kCodePageUtf16Be = 1201;
inline constexpr int kCodePageUtf32Le = 12000;
inline constexpr int kCodePageUtf32Be = 12001;
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageWindows1252 = 1252;
inline constexpr int kCodePageGb18030 = 54936;

// The code page of a charset name or alias (any case), or 0 when the name is unknown or
// 100 characters or longer: the caller then uses the ANSI code page.
int codePageFromName(std::u16string_view name);

// The iconv name of a code page, or nullptr when iconv has no converter for it.
const char* iconvNameOfCodePage(int codePage);

} // namespace talvik::xml
