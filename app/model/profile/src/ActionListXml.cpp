#include "ProfileXml.h"
#include "talvik/profile/Profile.h"

#include "CXmlDocument.h"
#include "TextCodec.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using talvik::xml::fromUtf8;
using talvik::xml::toUtf8;

namespace {

// Lists in a profile nest two deep (collection, entry content, empty item lists); a file
// that nests deeper is not ours, and following it would only exhaust the stack.
constexpr int kMaxListDepth = 8;
// The keyboard takes at most 65535 events in one macro; an "x" ID beyond any list the
// program can make is damage, and honouring it would allocate without bound.
constexpr int kMaxListItems = 65536;

void loadFromAt(CActionList& list, CXmlDocument& doc, int depth, SProfileNotes& notes);

// The items of the list element the position is inside: each "x" child's text and nested
// list, placed at its ID; IDs the file skips leave empty items.
void loadItems(CXmlDocument& doc, int depth, SProfileNotes& notes, std::vector<std::string>& texts,
               std::vector<CActionList>& children) {
    std::string text;
    while (doc.findElement(u"x")) {
        text.clear();
        int index = attributeNumbers<1>(doc, {u"ID"}, u"t1", &text)[0];
        if (index < 0 || index >= kMaxListItems) {
            notes.skipped(u"x", index);
            continue;
        }
        auto at = static_cast<std::size_t>(index);
        if (at >= texts.size()) {
            texts.resize(at + 1);
            children.resize(at + 1);
        }
        texts[at] = std::move(text);
        // A repeated ID replaces the earlier item whole, child included.
        CActionList& child = children[at];
        child = CActionList();
        if (doc.enterElement()) {
            loadFromAt(child, doc, depth + 1, notes);
            doc.leaveElement();
        }
    }
}

void loadFromAt(CActionList& list, CXmlDocument& doc, int depth, SProfileNotes& notes) {
    list.clear();
    if (!doc.findElement(u"List")) {
        return;
    }
    std::vector<std::string> texts;
    std::vector<CActionList> children;
    if (depth < kMaxListDepth && doc.enterElement()) {
        loadItems(doc, depth, notes, texts, children);
        doc.leaveElement();
    } else if (depth >= kMaxListDepth) {
        notes.tooDeep();
    }
    list.setContents(std::move(texts), std::move(children));
    auto fields = attributeNumbers<7>(doc, {u"SizeOfView", u"ViewStartAt", u"CursorPos", u"Cycles",
                                            u"IsAutoInterval", u"Delay", u"PlayMode"});
    list.SizeOfView = fields[0];
    list.ViewStartAt = fields[1];
    list.CursorPos = fields[2];
    list.Cycles = fields[3];
    list.IsAutoInterval = fields[4] != 0;
    list.Delay = fields[5];
    list.PlayMode = fields[6];
}

} // namespace

int leadingNumber(std::u16string_view value) {
    // Nearly every value the program writes is a few plain digits.
    if (!value.empty() && value.size() <= 9) {
        int number = 0;
        std::size_t k = 0;
        for (; k < value.size() && value[k] >= u'0' && value[k] <= u'9'; ++k) {
            number = number * 10 + (value[k] - u'0');
        }
        if (k == value.size()) {
            return number;
        }
    }
    std::size_t k = 0;
    while (k < value.size() && (value[k] == u' ' || (value[k] >= u'\t' && value[k] <= u'\r'))) {
        ++k;
    }
    bool negative = k < value.size() && value[k] == u'-';
    if (k < value.size() && (value[k] == u'-' || value[k] == u'+')) {
        ++k;
    }
    std::int64_t number = 0;
    for (; k < value.size() && value[k] >= u'0' && value[k] <= u'9'; ++k) {
        number = std::min<std::int64_t>(number * 10 + (value[k] - u'0'), std::int64_t(INT_MAX) + 1);
    }
    number = negative ? -number : number;
    return static_cast<int>(std::clamp<std::int64_t>(number, INT_MIN, INT_MAX));
}

void saveTo(const CActionList& list, CXmlDocument& doc) {
    doc.addElement(u"List");
    doc.setAttribute(u"SizeOfView", list.SizeOfView);
    doc.setAttribute(u"ViewStartAt", list.ViewStartAt);
    doc.setAttribute(u"CursorPos", list.CursorPos);
    doc.setAttribute(u"Cycles", list.Cycles);
    doc.setAttribute(u"IsAutoInterval", list.IsAutoInterval ? 1 : 0);
    doc.setAttribute(u"Delay", list.Delay);
    doc.setAttribute(u"PlayMode", list.PlayMode);
    doc.enterElement();
    const auto& items = list.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        doc.addElement(u"x");
        doc.setAttribute(u"ID", static_cast<int>(i));
        doc.setAttribute(u"t1", fromUtf8(items[i]));
        doc.enterElement();
        saveTo(list.children()[i], doc);
        doc.leaveElement();
    }
    doc.leaveElement();
}

void loadFrom(CActionList& list, CXmlDocument& doc) {
    SProfileNotes notes;
    loadFromAt(list, doc, 0, notes);
}

void loadFrom(CActionList& list, CXmlDocument& doc, SProfileNotes& notes) {
    loadFromAt(list, doc, 0, notes);
}
