#pragma once

// Pieces the profile reader shares with the list reader.

#include "talvik/model/CActionList.h"
#include "talvik/model/CKeyConfig.h"
#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/TextCodec.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::profile {

// The elements of a list and of a whole profile, in file order, written through a Builder:
// CXmlWriter for a save, CXmlDocumentBuilder for a document being edited (both instantiated).
// The two give the same text, which the tests hold them to.
template <typename Builder> void writeList(const model::CActionList& list, Builder& out);
template <typename Builder>
void writeProfile(const model::CKeyConfig& config, int modelNumber, Builder& out);

// What a lenient load skipped or could not follow, for the caller's message.
struct SProfileNotes {
    std::string text;
    int skippedCount = 0;

    void skipped(std::u16string_view element, int id);
    void tooDeep();
};

// A value as a decimal number with the leading-digits rule: optional sign, digits up to
// the first other character; no digits gives 0.
int leadingNumber(std::u16string_view value);

// Whether an attribute name read by forEachAttribute is the given one: by address when the
// document recognised it as the name the reader expected, else by its characters.
inline bool sameName(std::u16string_view read, std::u16string_view name) {
    return (read.data() == name.data() && read.size() == name.size()) || read == name;
}

// The numbers of a start tag in the form the program writes it, <element a="1" b="-2">
// (or "/>"): exactly the names given, in their order, single spaces between them, each value
// an optional minus and one to nine digits. False for any other form; where the general
// reading of attributeNumbers applies too, both give the same.
template <std::size_t N>
bool writtenNumbers(std::u16string_view tag, const std::array<std::u16string_view, N>& names,
                    std::array<int, N>& numbers) {
    std::size_t k = xml::nameEnd(tag, 1);
    for (std::size_t i = 0; i < N; ++i) {
        const std::u16string_view name = names[i];
        if (k + name.size() + 3 >= tag.size() || tag[k] != u' ' ||
            tag.substr(k + 1, name.size()) != name || tag[k + 1 + name.size()] != u'=' ||
            tag[k + 2 + name.size()] != u'"') {
            return false;
        }
        k += name.size() + 3;
        const bool negative = tag[k] == u'-';
        k += negative ? 1 : 0;
        const std::size_t digits = k;
        int number = 0;
        for (; k < tag.size() && k < digits + 9 && tag[k] >= u'0' && tag[k] <= u'9'; ++k) {
            number = number * 10 + (tag[k] - u'0');
        }
        if (k == digits || k >= tag.size() || tag[k] != u'"') {
            return false;
        }
        ++k;
        numbers[i] = negative ? -number : number;
    }
    const std::u16string_view rest = tag.substr(std::min(k, tag.size()));
    return rest == u">" || rest == u"/>";
}

// The numbers of the named attributes of the current element, read in one pass over its
// start tag; an absent attribute gives 0, a repeated one counts with its first value. The
// attribute textName, if given, is copied to text, in UTF-8.
template <std::size_t N>
std::array<int, N>
attributeNumbers(const xml::CXmlDocument& doc, const std::array<std::u16string_view, N>& names,
                 std::u16string_view textName = {}, std::string* text = nullptr) {
    std::array<int, N> numbers{};
    if (text == nullptr && writtenNumbers(doc.startTag(), names, numbers)) {
        return numbers;
    }
    std::array<bool, N> seen{};
    bool textSeen = false;
    std::size_t next = 0;
    doc.forEachAttribute(
        [&](std::u16string_view name, std::u16string_view value) -> std::u16string_view {
            if (text != nullptr && !textSeen && sameName(name, textName)) {
                *text = talvik::xml::toUtf8(value);
                textSeen = true;
                return next < N ? names[next] : std::u16string_view();
            }
            // Files written by the program list the attributes in this order, so the name after
            // the last match is tried first, and the document checks for it before scanning.
            for (std::size_t k = 0; k < N; ++k) {
                std::size_t i = next + k < N ? next + k : next + k - N;
                if (!seen[i] && sameName(name, names[i])) {
                    numbers[i] = leadingNumber(value);
                    seen[i] = true;
                    next = i + 1;
                    return next < N ? names[next]
                                    : (text != nullptr ? textName : std::u16string_view());
                }
            }
            return {};
        },
        names[0]);
    return numbers;
}

// Reads the lists of one profile load. Most lists in a profile are the empty ones under
// macro items, all with the same start tag, so the fields of the last tag read are kept and
// a tag that is the same text again is not parsed again.
class CListReader {
public:
    CListReader(xml::CXmlDocument& doc, SProfileNotes& notes) : m_doc(doc), m_notes(notes) {}
    // The "List" element among the children of the current position into list, or list
    // cleared when there is none.
    void load(model::CActionList& list, int depth = 0);

private:
    std::array<int, 7> fields();
    void loadItems(int depth, std::vector<std::string>& texts,
                   std::vector<model::CActionList>& children);

    xml::CXmlDocument& m_doc;
    SProfileNotes& m_notes;
    std::u16string m_lastTag;
    std::array<int, 7> m_lastFields{};
    std::u16string m_unescaped;
};

} // namespace talvik::profile
