#pragma once

// The two languages every text of the program comes in. Inside the program a
// language is always one of them; the tags "zh-CN" and "en-US" exist only where
// the program meets the outside (element tables, help page names, locales).

#include <optional>
#include <string>
#include <string_view>

namespace talvik::text {

enum class Language { Chinese, English };

// "zh-CN" or "en-US".
std::string_view tagOf(Language language);

// The language a tag names, compared exactly over the whole tag; nothing for
// any other tag.
std::optional<Language> languageFromTag(std::string_view tag);

// The language after the user presses the language button.
Language toggledLanguage(Language language);

// The text of a language from its two versions.
std::string_view textIn(Language language, std::string_view chinese, std::string_view english);

// The collections of the configuration model whose entries get proposed names.
enum class CollectionKind { Combo, Macro, Emulation };

// The numbered-name format ("New Combo %d", "组合键%d", ...) of a collection in
// the given language.
std::string_view entryNameFormat(CollectionKind kind, Language language);

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
