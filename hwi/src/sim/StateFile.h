#pragma once

// The simulated keyboards' memory as plain text, so that it survives a run
// (TALVIK_SIMULATOR_STATE) and can be read and edited by hand:
//
//   talvik-simulator-state 1
//   model 2
//   light <522 hex digits: red, green, blue of keys 1 to 87>
//   counters <87 decimal press counts, keys 1 to 87>
//   counter-reads <how often the counters were read>
//   firmware <records received> <bad records> <clean images>
//   slot <0..173> <the slot's record: 128 hex digits per 64-byte block>
//
// The first line is required unless the file is empty; blank lines and lines starting with '#' are
// skipped. A "model" line starts the section of that model; the lines after
// it may come in any order and each at most once (slots once per slot). A
// line left out keeps the factory value. Hex digits are read in either case
// and written in lower case.

#include "sim/KeyboardMemory.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace talvik::hwi::sim {

using CMemoryMap = std::map<int, CKeyboardMemory>; // by model number 1..4

std::string formatState(const CMemoryMap& memories);

// The memories the text describes, or nothing (with `error` saying where and
// why) when any line is damaged: a half-read memory would mislead more than
// a fresh one.
std::optional<CMemoryMap> parseState(std::string_view text, std::string& error);

std::string toHex(std::span<const std::uint8_t> bytes);
// Nothing when the text has an odd length or a character that is not a hex digit.
std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text);

} // namespace talvik::hwi::sim
