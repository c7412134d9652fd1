#pragma once

// The list type behind combos, macros, emulation sequences and their
// collections: display texts, a child list beside each text, the window of rows
// an editor shows, and the play parameters of a macro or emulation.
//
// A content list (what one key does) holds key names, recorded events and
// delay texts; its children stay empty. A collection holds entry names, and
// each entry's child is that entry's content.
//
// Row arguments count from ViewStartAt: row r is item ViewStartAt + r.

#include <string>
#include <string_view>
#include <vector>

namespace talvik::model {

class CActionList {
public:
    // The view and play fields keep the names under which profiles store them.
    int SizeOfView = 0;          // rows an editor shows at once; set by whoever creates the list
    int ViewStartAt = 0;         // item shown in the first row
    int CursorPos = 0;           // selected row; the selected item is ViewStartAt + CursorPos
    int Cycles = 1;              // macro: repetitions in play mode 0
    bool IsAutoInterval = false; // macro: every item is an event and Delay spaces them
    int Delay = 30;              // ms: macro interval (automatic) or emulation interval
    int PlayMode = 0;            // macro: 0 times play, 1 while held, 2 press to play/stop

    CActionList() = default;
    explicit CActionList(int sizeOfView) : SizeOfView(sizeOfView) {}

    // Empties the list and resets every field but SizeOfView.
    void clear();
    // Deep copy of every field, item and child.
    void assign(const CActionList& other);

    const std::vector<std::string>& items() const { return m_items; }
    const std::vector<CActionList>& children() const { return m_children; }
    int count() const { return static_cast<int>(m_items.size()); }
    bool empty() const { return m_items.empty(); }

    // Empty text out of range.
    std::string itemAtRow(int row) const;
    // Out of range: a new empty list with this list's SizeOfView.
    CActionList childAtRow(int row) const;
    // In range: new text, same child. Out of range: appends.
    void setItemAtRow(int row, std::string_view text);
    // In range: replaces the child with a copy. Out of range: nothing.
    void setChildAtRow(int row, const CActionList& child);
    // In range: inserts before that item and leaves the view alone. Out of
    // range: appends.
    void insertItemAtRow(int row, std::string_view text);
    // Removes an item and its child; a row past the end removes the last item.
    void removeItemAtRow(int row);
    // Selects the item at an absolute index, clamped into the list, scrolling it
    // to the first row when it lies outside the view.
    void setCursor(int index);
    // Selects the item `step` items after (or, below zero, before) the
    // selected one, clamped into the list; a view it leaves scrolls only as
    // far as it must, so the item shows in the first or the last row. An
    // empty list stays as it is.
    void stepCursor(int step);
    // Adds the text and a new child at the end and selects the new last item.
    void append(std::string_view text);
    // Replaces every item and child at once, taking both over without copying, for a
    // reader that has built them (a profile holds over a hundred thousand lists). Children
    // beyond the texts are dropped and missing ones are new lists of this SizeOfView. The
    // view and play fields stay as they are.
    void setContents(std::vector<std::string> items, std::vector<CActionList> children);

    // First item equal to the text (exact), or -1.
    int indexOfItem(std::string_view text) const;

    // Same texts in the same order and the same play fields; the view fields
    // and the children do not count.
    static bool sameContent(const CActionList& a, const CActionList& b);
    // Selects the collection entry whose content equals `content`, adding an
    // entry "default" with a copy of it when there is none.
    static void selectOrAddDefault(CActionList& collection, const CActionList& content);
    // The first name made from `format` ("New Combo %d") with 1, 2, 3, ... that
    // the collection does not hold yet.
    static std::string proposeEntryName(const CActionList& collection, std::string_view format);

private:
    // Index of the item at a row, or -1 out of range.
    int indexAtRow(int row) const;

    std::vector<std::string> m_items;
    std::vector<CActionList> m_children; // child i belongs to item i
};

} // namespace talvik::model
