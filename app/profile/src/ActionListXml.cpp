#include "ProfileXml.h"
#include "talvik/profile/Profile.h"

#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/CXmlDocumentBuilder.h"
#include "talvik/xml/CXmlWriter.h"
#include "talvik/xml/TextCodec.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace talvik::profile {

using talvik::xml::toUtf8;

namespace {

// Lists in a profile nest two deep (collection, entry content, empty item lists); a file
// that nests deeper is not ours, and following it would only exhaust the stack.
constexpr int kMaxListDepth = 8;
// The keyboard takes at most 65535 events in one macro; an "x" ID beyond any list the
// program can make is damage, and honouring it would allocate without bound.
constexpr int kMaxListItems = 65536;

// An item's start tag in the one form the program writes, <x ID="digits" t1="value"> (or
// "/>"): its ID and its text as written, without the general attribute scan. False for any
// other form, which that scan reads; where both apply they give the same.
bool readWrittenItemTag(std::u16string_view tag, int& id, std::u16string_view& text,
                        bool& hasReference) {
    constexpr std::u16string_view kHead = u"<x ID=\"";
    constexpr std::u16string_view kMiddle = u"\" t1=\"";
    if (!tag.starts_with(kHead)) {
        return false;
    }
    std::size_t k = kHead.size();
    int number = 0;
    for (; k < tag.size() && k < kHead.size() + 9 && tag[k] >= u'0' && tag[k] <= u'9'; ++k) {
        number = number * 10 + (tag[k] - u'0');
    }
    if (k == kHead.size() || tag.substr(k, kMiddle.size()) != kMiddle) {
        return false;
    }
    k += kMiddle.size();
    const std::size_t start = k;
    bool reference = false;
    for (; k < tag.size() && tag[k] != u'"'; ++k) {
        reference |= tag[k] == u'&';
    }
    const std::u16string_view rest = tag.substr(std::min(k + 1, tag.size()));
    if (k == tag.size() || (rest != u">" && rest != u"/>")) {
        return false;
    }
    id = number;
    text = tag.substr(start, k - start);
    hasReference = reference;
    return true;
}

} // namespace

std::array<int, 7> CListReader::fields() {
    std::u16string_view tag = m_doc.startTag();
    if (tag.size() == m_lastTag.size() &&
        std::memcmp(tag.data(), m_lastTag.data(), tag.size() * sizeof(char16_t)) == 0) {
        return m_lastFields;
    }
    m_lastFields =
        attributeNumbers<7>(m_doc, {u"SizeOfView", u"ViewStartAt", u"CursorPos", u"Cycles",
                                    u"IsAutoInterval", u"Delay", u"PlayMode"});
    m_lastTag.assign(tag);
    return m_lastFields;
}

// The items of the list element the position is inside: each "x" child's text and nested
// list, placed at its ID; IDs the file skips leave empty items.
void CListReader::loadItems(int depth, std::vector<std::string>& texts,
                            std::vector<model::CActionList>& children) {
    std::string text;
    while (m_doc.findElement(u"x")) {
        int index = 0;
        std::u16string_view written;
        bool hasReference = false;
        if (readWrittenItemTag(m_doc.startTag(), index, written, hasReference)) {
            if (hasReference) {
                xml::CXmlDocument::unescapeInto(written, m_unescaped);
                written = m_unescaped;
            }
            text = toUtf8(written);
        } else {
            text.clear();
            index = attributeNumbers<1>(m_doc, {u"ID"}, u"t1", &text)[0];
        }
        if (index < 0 || index >= kMaxListItems) {
            m_notes.skipped(u"x", index);
            continue;
        }
        auto at = static_cast<std::size_t>(index);
        if (at == texts.size()) { // the usual case: IDs in order
            texts.emplace_back();
            children.emplace_back();
        } else if (at > texts.size()) {
            texts.resize(at + 1);
            children.resize(at + 1);
        } else {
            children[at] = model::CActionList(); // a repeated ID replaces the earlier item whole
        }
        texts[at] = std::move(text);
        model::CActionList& child = children[at];
        if (m_doc.enterElement()) {
            load(child, depth + 1);
            m_doc.leaveElement();
        }
    }
}

void CListReader::load(model::CActionList& list, int depth) {
    list.clear();
    if (!m_doc.findElement(u"List")) {
        return;
    }
    if (depth >= kMaxListDepth) {
        m_notes.tooDeep();
    } else if (std::size_t count = m_doc.childCount(); count != 0 && m_doc.enterElement()) {
        // Room for every child at once: growing a macro's lists step by step would move
        // its items over and over. Most lists are the empty ones under items, which have
        // nothing to read but their fields.
        std::vector<std::string> texts;
        std::vector<model::CActionList> children;
        texts.reserve(count);
        children.reserve(count);
        loadItems(depth, texts, children);
        m_doc.leaveElement();
        list.setContents(std::move(texts), std::move(children));
    }
    std::array<int, 7> read = fields();
    list.SizeOfView = read[0];
    list.ViewStartAt = read[1];
    list.CursorPos = read[2];
    list.Cycles = read[3];
    list.IsAutoInterval = read[4] != 0;
    list.Delay = read[5];
    list.PlayMode = read[6];
}

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

template <typename Builder> void writeList(const model::CActionList& list, Builder& out) {
    out.startElement(u"List");
    out.attribute(u"SizeOfView", list.SizeOfView);
    out.attribute(u"ViewStartAt", list.ViewStartAt);
    out.attribute(u"CursorPos", list.CursorPos);
    out.attribute(u"Cycles", list.Cycles);
    out.attribute(u"IsAutoInterval", list.IsAutoInterval ? 1 : 0);
    out.attribute(u"Delay", list.Delay);
    out.attribute(u"PlayMode", list.PlayMode);
    const auto& items = list.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        out.startElement(u"x");
        out.attribute(u"ID", static_cast<int>(i));
        out.attributeUtf8(u"t1", items[i]);
        writeList(list.children()[i], out);
        out.endElement();
    }
    out.endElement();
}

template void writeList(const model::CActionList&, xml::CXmlWriter&);
template void writeList(const model::CActionList&, xml::CXmlDocumentBuilder&);

void saveTo(const model::CActionList& list, xml::CXmlDocument& doc) {
    xml::CXmlDocumentBuilder builder(doc);
    writeList(list, builder);
}

void loadFrom(model::CActionList& list, xml::CXmlDocument& doc) {
    SProfileNotes notes;
    CListReader(doc, notes).load(list);
}

} // namespace talvik::profile
