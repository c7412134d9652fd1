#pragma once

// The one-line texts by which the main window shows a key's combo, macro or
// emulation content.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace talvik::text {

// A macro summary stops growing once it is longer than this many bytes.
inline constexpr std::size_t kMacroSummaryLimit = 120;

// Combos and emulation sequences: the items joined with " | ".
std::string joinedSummary(std::span<const std::string> items);

// A macro item as the summary shows it: a delay text becomes its number, a
// recorded event loses its " Down" or " UP".
std::string shortenedMacroItem(std::string_view item);

// Macros: the shortened items joined with ","; once the text is longer than
// the limit, " ... ..." ends it.
std::string macroSummary(std::span<const std::string> items);

} // namespace talvik::text
