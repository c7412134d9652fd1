#include "ProfileXml.h"
#include "talvik/profile/Profile.h"

#include "CXmlDocument.h"
#include "TextCodec.h"

#include <algorithm>
#include <climits>
#include <cstdint>

using talvik::xml::fromUtf8;
using talvik::xml::toUtf8;

namespace {

// Lists in a profile nest two deep (collection, entry content, empty item lists); a file
// that nests deeper is not ours, and following it would only exhaust the stack.
constexpr int kMaxListDepth = 8;
// The keyboard takes at most 65535 events in one macro; an "x" ID beyond any list the
// program can make is damage, and honouring it would allocate without bound.
constexpr int kMaxListItems = 65536;

void loadFromAt(CActionList& list, CXmlDocument& doc, int depth, SProfileNotes& notes) {
    list.clear();
    if (!doc.findElement(u"List")) {
        return;
    }
    CActionList loaded;
    loaded.SizeOfView = INT_MAX; // no scrolling while items are appended
    std::vector<std::string> texts;
    std::vector<CActionList> children;
    if (depth < kMaxListDepth && doc.enterElement()) {
        std::u16string text;
        while (doc.findElement(u"x")) {
            text.clear();
            int index = attributeNumbers<1>(doc, {u"ID"}, u"t1", &text)[0];
            if (index < 0 || index >= kMaxListItems) {
                notes.skipped(u"x", index);
                continue;
            }
            if (static_cast<std::size_t>(index) >= texts.size()) {
                texts.resize(static_cast<std::size_t>(index) + 1);
                children.resize(static_cast<std::size_t>(index) + 1);
            }
            texts[index] = toUtf8(text);
            CActionList child;
            if (doc.enterElement()) {
                loadFromAt(child, doc, depth + 1, notes);
                doc.leaveElement();
            }
            children[index] = std::move(child);
        }
        doc.leaveElement();
    } else if (depth >= kMaxListDepth) {
        notes.tooDeep();
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        loaded.append(texts[i]);
        loaded.setChildAtRow(loaded.CursorPos, children[i]);
    }
    auto fields = attributeNumbers<7>(doc, {u"SizeOfView", u"ViewStartAt", u"CursorPos", u"Cycles",
                                            u"IsAutoInterval", u"Delay", u"PlayMode"});
    loaded.SizeOfView = fields[0];
    loaded.ViewStartAt = fields[1];
    loaded.CursorPos = fields[2];
    loaded.Cycles = fields[3];
    loaded.IsAutoInterval = fields[4] != 0;
    loaded.Delay = fields[5];
    loaded.PlayMode = fields[6];
    list = std::move(loaded);
}

} // namespace

int leadingNumber(std::u16string_view value) {
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
