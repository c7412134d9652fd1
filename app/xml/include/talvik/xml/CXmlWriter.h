#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace talvik::xml {

// A document written front to back, for savers that produce a whole document in order: the
// text is exactly what CXmlDocument's editing interface gives for the same elements added in
// document order (one tag a line, no indentation, CR LF after every line, an element without
// children as an empty-element tag, values escaped as setAttribute escapes them), without an
// index to keep up to date on every edit. Elements are started, given their attributes, given
// their children, and ended; nothing already written is changed afterwards.
class CXmlWriter {
public:
    // prologue is written as given before the root element: the declaration line, which
    // also names the encoding saveFile writes in.
    explicit CXmlWriter(std::u16string_view prologue = {}) { put(prologue); }

    void reserve(std::size_t characters);

    // A new element inside the innermost one still open (or at the document level). False,
    // writing nothing, for a name that the document could not read back as one.
    bool startElement(std::u16string_view name);
    // An attribute of the element just started. False, writing nothing, once that element has
    // children (or when there is none) and for an invalid name. Each name is to be given once:
    // the writer does not look back for an earlier value to replace.
    bool attribute(std::u16string_view name, std::u16string_view value);
    bool attribute(std::u16string_view name, int value);
    // The same for a value held as UTF-8; malformed sequences become "?", as in a document.
    bool attributeUtf8(std::u16string_view name, std::string_view value);
    // Ends the innermost open element; false when none is open.
    bool endElement();
    // A comment line at the current position, inside the innermost open element or at the
    // document level. A reader skips it. "--" cannot stand in a comment and a "-" not at its
    // end: such runs are written with a space between the dashes. UTF-8 as attributeUtf8.
    void commentUtf8(std::string_view text);

    // The text so far; a complete document once every element is ended.
    std::u16string_view text() const { return {m_text.get(), m_size}; }
    // Ends whatever is still open and writes the text as CXmlDocument::saveFile writes a fresh
    // document's (the encoding its declaration names), with the same results and failures.
    bool saveFile(const std::string& path);
    const std::u16string& result() const { return m_result; }

private:
    bool beginAttribute(std::u16string_view name);
    // The text is kept in a buffer of its own rather than a string: a profile is over a
    // million small pieces, and a string's append costs more than the piece itself.
    char16_t* room(std::size_t characters) {
        if (m_capacity - m_size < characters) {
            grow(characters);
        }
        return m_text.get() + m_size;
    }
    void grow(std::size_t characters);
    void put(std::u16string_view piece);

    struct SOpenElement {
        std::size_t nameStart;
        std::size_t nameLength;
    };

    std::unique_ptr<char16_t[]> m_text;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::vector<SOpenElement> m_open;
    // The innermost open element's start tag still lacks its ">": attributes may follow.
    bool m_inStartTag = false;
    std::u16string m_decoded;
    std::u16string m_scratch;
    std::u16string m_result;
};

} // namespace talvik::xml
