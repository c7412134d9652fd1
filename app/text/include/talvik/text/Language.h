#pragma once

// The language tag and the rules by which a text is chosen for it. The tag only
// ever holds "zh-CN" or "en-US"; comparisons are exact over the whole tag.

#include <string>
#include <string_view>

namespace talvik::text {

inline constexpr std::string_view kChinese = "zh-CN";
inline constexpr std::string_view kEnglish = "en-US";

// The tag after the user presses the language button.
std::string_view toggledLanguage(std::string_view tag);

// Questions and messages with no third case: Chinese for "zh-CN", English for
// anything else.
std::string_view twoWayText(std::string_view tag, std::string_view chinese,
                            std::string_view english);

// Texts that must be Chinese or English and nothing else: an unknown tag gives
// the empty text.
std::string_view explicitText(std::string_view tag, std::string_view chinese,
                              std::string_view english);

// Row of a two-language table (0 Chinese, 1 English), -1 for any other tag.
int languageIndex(std::string_view tag);

// The collections of the configuration model whose entries get proposed names.
enum class CollectionKind { Combo, Macro, Emulation };

// The numbered-name format ("New Combo %d", "组合键%d", ...) of a collection in
// the given language.
std::string_view entryNameFormat(CollectionKind kind, std::string_view tag);

// Replaces the first "%d" of the format with the number; a format without one
// gets nothing replaced. User text never reaches printf this way.
std::string formatNumbered(std::string_view format, int number);

// The model's name, the same in both languages: captions, message titles, the
// notification-area tip and the root element of its profiles. Every number
// other than 2, 3 and 4 (1, and 0 when nothing was detected) is the first model.
std::string_view modelName(int model);

// Firmware images are told apart by their file name alone: an image of a model
// is named "<model name>_...". The prefix must stand at the very start of the
// name (without its folder) and is compared case-sensitively, byte for byte.
std::string firmwareFilePrefix(int model);
bool isFirmwareFileOfModel(std::string_view fileName, int model);

} // namespace talvik::text
