#pragma once

#include "talvik/xml/CXmlDocument.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace talvik::xml {

// The lenient scan that builds a document's element index from its text. It records what
// it finds wrong in the document's result and carries on, so that a damaged file still
// yields every element that can be recognised.
class CXmlParser {
public:
    explicit CXmlParser(CXmlDocument& document);
    void run();

private:
    using SElement = CXmlDocument::SElement;

    std::size_t markup(std::size_t pos);
    std::size_t startTag(std::size_t pos);
    enum class ETagScan { Closed, Interrupted, OpenQuote };
    ETagScan scanStartTag(std::size_t& k, bool& empty);
    std::size_t endTag(std::size_t pos);
    std::size_t exclamation(std::size_t pos);
    std::size_t skipTo(std::size_t pos, std::u16string_view terminator, std::size_t from,
                       std::u16string_view type);
    std::size_t doctype(std::size_t pos);
    void unendAbove(std::size_t depth, std::size_t closedAt);
    void syntaxError(std::u16string_view word, std::size_t offset, std::u16string_view type = {});
    void checkDocumentLevel();
    std::size_t find(std::u16string_view terminator, std::size_t from);
    std::size_t closingQuote(std::size_t open);
    int& openCount(std::u16string_view name);
    std::size_t openDepthOf(std::u16string_view name);
    bool isNamed(int index, std::u16string_view name) const;

    CXmlDocument& m_doc;
    const std::u16string& m_text;
    std::vector<CXmlDocument::SElement>& m_elements;
    std::vector<int> m_open;
    // Hash and equality that fold ASCII case when the document ignores it.
    struct SNameHash {
        bool ignoreCase;
        std::size_t operator()(std::u16string_view name) const;
    };
    struct SNameEqual {
        bool ignoreCase;
        bool operator()(std::u16string_view a, std::u16string_view b) const;
    };
    std::unordered_map<std::u16string_view, int, SNameHash, SNameEqual> m_openNames;
    std::vector<std::pair<std::u16string_view, std::size_t>> m_missing;
    bool m_doctypeUnterminated = false;
    bool m_counting = false;
};

} // namespace talvik::xml
