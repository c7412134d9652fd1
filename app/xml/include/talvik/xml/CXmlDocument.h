#pragma once

#include "talvik/xml/XmlSyntax.h"

#include <cstddef>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace talvik::xml {

// An XML document kept as one UTF-16 text plus an index of its elements: no node objects,
// elements are ranges of the text and every edit rewrites the text and shifts the index.
// Parsing is lenient: a malformed document is indexed as far as it goes and what was wrong
// is written to result(), never thrown. Callers walk and edit through a current position:
// a parent element and, at that level, a current element (none right after entering).
class CXmlDocument {
public:
    enum EFlags : int {
        kFlagUtf16Le = 0x01,
        kFlagUtf8Bom = 0x04,
        kFlagIgnoreCase = 0x08,
        kFlagReadFile = 0x10,
        kFlagWriteFile = 0x20,
        kFlagAppend = 0x40,
        kFlagUtf16Be = 0x80,
        // Text that should be UTF-8 and is not is read as GB18030 whenever it decodes as
        // such, not only when it then holds CJK characters: its reader writes Chinese.
        kFlagPreferCjk = 0x100,
    };

    // Offsets in the index are ints: longer texts are cut here, longer files refused and
    // edits that would pass it fail.
    static constexpr std::size_t kMaxTextLength = 0x3FFFFFFF;

    CXmlDocument() = default;
    explicit CXmlDocument(int flags) : m_flags(flags) {}

    // Replaces the text, parses it and returns to the document level.
    void setText(std::u16string_view text);
    const std::u16string& text() const { return m_text; }

    // Reads, converts and parses a file; false (with a "file_error" result) when it cannot
    // be opened or read. Text that should be UTF-8 (declared so, or undeclared) and is not
    // is taken for a legacy editor's: GB18030 where it decodes cleanly as such and holds CJK
    // characters (see kFlagPreferCjk), Windows-1252 otherwise; a "legacy_encoding" result
    // names the one assumed. Characters that still could not be read are counted in an
    // "unreadable" result. saveFile writes the text in the encoding its flags or declaration
    // ask for. Both refuse a document in a streaming mode. A file of more than maxBytes
    // (never more than kMaxTextLength) is refused with the system's EFBIG before any of it
    // is read; one that grows while it is read is not read past maxBytes + 1.
    bool loadFile(const std::string& path, std::size_t maxBytes = kMaxTextLength);
    bool saveFile(const std::string& path);
    // What saveFile does with a document's text, for writers that build the text without a
    // document (CXmlWriter): the same encoding choice and conversion, the data on the disk
    // when it returns true, and the results appended to result.
    static bool saveText(const std::string& path, std::u16string_view text, int flags,
                         std::u16string& result);
    // The decoding and parsing of loadFile, for bytes that are already in memory.
    void loadBytes(std::string bytes);

    // Room for a document about to be built, so that building it does not copy the text and
    // the index over and over as they grow.
    void reserve(std::size_t characters, std::size_t elements);

    bool addElement(std::u16string_view name);
    bool setAttribute(std::u16string_view name, std::u16string_view value);
    bool setAttribute(std::u16string_view name, int value);
    std::u16string getAttribute(std::u16string_view name) const;
    // Every attribute of the current element in order, values unescaped.
    std::vector<std::pair<std::u16string, std::u16string>> attributes() const;
    // The same without copies, for readers that take many attributes from many elements:
    // visit(name, value) for each, the value unescaped. The views last only for the call.
    // A visitor may return the name it expects next (a valid name, or empty for no guess);
    // when the next attribute has that name, the name passed is that very view, so the
    // visitor can tell it by its address without comparing. first is the guess for the first.
    template <typename Visit>
    void forEachAttribute(Visit&& visit, std::u16string_view first = {}) const {
        if (m_current == 0) {
            return;
        }
        std::u16string_view text(m_text.data(), startTagEnd(m_current));
        std::size_t k = attributesStart(m_current);
        talvik::xml::SAttributeSpan a;
        std::u16string scratch;
        std::u16string_view expected = first;
        while (talvik::xml::scanAttribute(text, k, a, expected)) {
            std::u16string_view name =
                a.isExpected ? expected : text.substr(a.nameStart, a.nameLength);
            std::u16string_view value = text.substr(a.valueStart, a.valueLength);
            if (a.hasReference) {
                unescapeInto(value, scratch);
                value = scratch;
            }
            if constexpr (std::is_void_v<decltype(visit(name, value))>) {
                visit(name, value);
            } else {
                expected = visit(name, value);
            }
        }
    }

    // An attribute value as written in a tag, its references turned into characters, into
    // out (replacing what it held): for readers that take a value from startTag() themselves.
    static void unescapeInto(std::u16string_view value, std::u16string& out);

    bool findElement(std::u16string_view name);
    // Moves to the next element at this level whatever its name.
    bool nextElement();
    // Inline: a profile load steps in and out of every one of its elements.
    bool enterElement() {
        if (m_current == 0) {
            return false;
        }
        m_parent = m_current;
        m_current = 0;
        return true;
    }
    bool leaveElement() {
        if (m_parent == 0) {
            return false;
        }
        m_current = m_parent;
        m_parent = m_elements[static_cast<std::size_t>(m_parent)].parent;
        return true;
    }
    void resetPosition();
    bool hasCurrentElement() const { return m_current != 0; }
    // How many elements the current element holds directly, whatever their names.
    std::size_t childCount() const;
    std::u16string tagName() const;
    // The current element's start tag as written, from "<" to ">"; empty when there is none.
    // Readers use it to recognise a tag they have read before.
    std::u16string_view startTag() const {
        return m_current == 0 ? std::u16string_view()
                              : std::u16string_view(m_text).substr(
                                    static_cast<std::size_t>(m_elements[m_current].start),
                                    static_cast<std::size_t>(m_elements[m_current].startTagLength));
    }

    const std::u16string& result() const { return m_result; }
    bool isWellFormed() const;
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }

private:
    enum EElementFlags : int {
        kEmptyElement = 0x01,
        kUnended = 0x02,
        kNotWellFormed = 0x04,
    };

    // One element; record 0 is the document itself. Links are record indexes, 0 = none,
    // except prevSibling of a first child, which names the last child so that appending
    // is constant time.
    struct SElement {
        int start = 0;
        int length = 0;
        int startTagLength = 0;
        int endTagLength = 0;
        int flags = 0;
        int parent = 0;
        int firstChild = 0;
        int nextSibling = 0;
        int prevSibling = 0;
    };
    using SAttribute = talvik::xml::SAttributeSpan;
    friend class CXmlParser;

    void parse();
    using SResultAttributes = std::initializer_list<std::pair<std::u16string_view, std::u16string>>;
    void addResult(std::u16string_view word, SResultAttributes attrs) {
        appendResult(m_result, word, attrs);
    }
    static void appendResult(std::u16string& result, std::u16string_view word,
                             SResultAttributes attrs);
    std::u16string_view nameAt(std::size_t offset) const;
    bool namesEqual(std::u16string_view a, std::u16string_view b) const;
    // Whether the element name at offset is exactly name, which must be a valid name.
    bool hasNameEndingAt(std::size_t at, std::u16string_view name) const;
    std::size_t attributesStart(int element) const;
    std::size_t startTagEnd(int element) const;
    bool nextAttribute(std::size_t& k, std::size_t tagEnd, SAttribute& attribute) const;
    bool findAttribute(int element, std::u16string_view name, SAttribute& found,
                       std::size_t& end) const;
    void linkChild(int parent, int child, int after);
    // linkChild behind the last child; inline, as the parser links every element so.
    void appendChild(int parent, int child) {
        SElement& element = m_elements[static_cast<std::size_t>(child)];
        element.parent = parent;
        element.nextSibling = 0;
        SElement& owner = m_elements[static_cast<std::size_t>(parent)];
        if (owner.firstChild == 0) {
            owner.firstChild = child;
            element.prevSibling = child;
            return;
        }
        SElement& first = m_elements[static_cast<std::size_t>(owner.firstChild)];
        element.prevSibling = first.prevSibling;
        m_elements[static_cast<std::size_t>(first.prevSibling)].nextSibling = child;
        first.prevSibling = child;
    }
    void insertRecord(int index, const SElement& element);
    int indexAt(std::size_t offset) const;
    void replaceText(std::size_t offset, std::size_t removed, std::u16string_view inserted,
                     int innermost);
    void splitEmptyParent(std::u16string_view childTag);
    bool hasRoomFor(std::size_t characters) const;

    static bool fileError(std::u16string& result, int error);
    bool readRest(std::FILE* file, std::size_t size, std::size_t maxBytes, std::string& bytes);
    enum class EStreamed { Loaded, Failed, NotPlainUtf8 };
    EStreamed streamPlainUtf8(std::FILE* file, std::size_t size, std::size_t maxBytes);
    void decodeAndParse(std::string bytes);
    std::u16string decodeBytes(std::string& bytes, int codePage,
                               const std::optional<std::u16string>& declared);
    std::u16string decodeLegacy(std::string_view bytes);
    static bool writeFile(const std::string& path, bool append, std::u16string& result,
                          const std::function<bool(std::FILE*)>& write);
    static bool writeEncoded(std::FILE* file, std::u16string_view text, int codePage,
                             std::string_view bom, std::size_t& lost, std::size_t& written);

    std::u16string m_text;
    std::vector<SElement> m_elements{SElement{}};
    int m_flags = 0;
    int m_parent = 0;
    int m_current = 0;
    std::u16string m_result;
    std::u16string m_scratch;
};

} // namespace talvik::xml
