#pragma once

// Pieces the profile reader shares with the list reader.

#include <string>
#include <string_view>

class CActionList;
class CXmlDocument;

// What a lenient load skipped or could not follow, for the caller's message.
struct SProfileNotes {
    std::string text;
    int skippedCount = 0;

    void skipped(std::u16string_view element, int id);
    void tooDeep();
};

// An attribute's value as a decimal number with the leading-digits rule: optional sign,
// digits up to the first other character; absent or no digits gives 0.
int attributeNumber(const CXmlDocument& doc, std::u16string_view name);

void loadFrom(CActionList& list, CXmlDocument& doc, SProfileNotes& notes);
