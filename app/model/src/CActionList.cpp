#include "talvik/model/CActionList.h"

#include "talvik/text/Language.h"

#include <algorithm>
#include <utility>

namespace talvik::model {

void CActionList::clear() {
    m_items.clear();
    m_children.clear();
    ViewStartAt = 0;
    CursorPos = 0;
    Cycles = 1;
    Delay = 30;
    IsAutoInterval = false;
    PlayMode = 0;
}

void CActionList::assign(const CActionList& other) {
    if (this != &other)
        *this = other;
}

int CActionList::indexAtRow(int row) const {
    const long long index = static_cast<long long>(ViewStartAt) + row;
    return index >= 0 && index < count() ? static_cast<int>(index) : -1;
}

std::string CActionList::itemAtRow(int row) const {
    const int index = indexAtRow(row);
    return index < 0 ? std::string() : m_items[index];
}

CActionList CActionList::childAtRow(int row) const {
    const int index = indexAtRow(row);
    return index < 0 ? CActionList(SizeOfView) : m_children[index];
}

void CActionList::setItemAtRow(int row, std::string_view text) {
    const int index = indexAtRow(row);
    if (index < 0)
        append(text);
    else
        m_items[index] = text;
}

void CActionList::setChildAtRow(int row, const CActionList& child) {
    const int index = indexAtRow(row);
    if (index >= 0)
        m_children[index] = child;
}

void CActionList::insertItemAtRow(int row, std::string_view text) {
    const int index = indexAtRow(row);
    if (index < 0) {
        append(text);
        return;
    }
    m_items.insert(m_items.begin() + index, std::string(text));
    m_children.insert(m_children.begin() + index, CActionList(SizeOfView));
}

void CActionList::append(std::string_view text) {
    m_items.emplace_back(text);
    m_children.emplace_back(SizeOfView);
    // setCursor on an empty list leaves the view at -1; the view starts over
    // here so that the first row shows the first item again.
    if (ViewStartAt < 0)
        ViewStartAt = 0;
    // A profile file may give any view size; one below zero shows no rows,
    // like zero, and must not carry the sums past what an int holds.
    const int rows = std::max(SizeOfView, 0);
    const int visible = count() - ViewStartAt;
    if (visible > rows) {
        ViewStartAt += visible - rows;
        CursorPos = rows - 1;
    } else {
        CursorPos = visible - 1;
    }
}

void CActionList::setContents(std::vector<std::string> items, std::vector<CActionList> children) {
    m_items = std::move(items);
    m_children = std::move(children);
    if (m_children.size() != m_items.size())
        m_children.resize(m_items.size(), CActionList(SizeOfView));
}

void CActionList::removeItemAtRow(int row) {
    if (m_items.empty())
        return;
    long long index = static_cast<long long>(ViewStartAt) + row;
    if (index < 0 || index >= count())
        index = count() - 1;
    m_items.erase(m_items.begin() + index);
    m_children.erase(m_children.begin() + index);
    if (m_items.empty()) {
        ViewStartAt = 0;
        CursorPos = 0;
        return;
    }
    const int n = count();
    if (ViewStartAt >= n)
        ViewStartAt = n - 1;
    // Wide, since a view start read from a file may lie far below zero.
    const long long rowsLeft = static_cast<long long>(n) - ViewStartAt;
    if (CursorPos >= rowsLeft)
        CursorPos = static_cast<int>(rowsLeft - 1);
}

void CActionList::setCursor(int index) {
    index = std::max(index, 0);
    if (index >= count())
        index = count() - 1;
    if (index >= ViewStartAt &&
        static_cast<long long>(index) < static_cast<long long>(ViewStartAt) + SizeOfView) {
        CursorPos = index - ViewStartAt;
    } else {
        ViewStartAt = index;
        CursorPos = 0;
    }
}

void CActionList::stepCursor(int step) {
    if (empty()) {
        return;
    }
    const int rows = std::max(SizeOfView, 1);
    const long long wanted = static_cast<long long>(ViewStartAt) + CursorPos + step;
    const int index = static_cast<int>(std::clamp<long long>(wanted, 0, count() - 1));
    if (index < ViewStartAt) {
        ViewStartAt = index;
    } else if (static_cast<long long>(index) >= static_cast<long long>(ViewStartAt) + rows) {
        ViewStartAt = index - rows + 1;
    }
    CursorPos = index - ViewStartAt;
}

int CActionList::indexOfItem(std::string_view text) const {
    const auto found = std::find(m_items.begin(), m_items.end(), text);
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

bool CActionList::sameContent(const CActionList& a, const CActionList& b) {
    return a.m_items == b.m_items && a.Cycles == b.Cycles && a.IsAutoInterval == b.IsAutoInterval &&
           a.Delay == b.Delay && a.PlayMode == b.PlayMode;
}

void CActionList::selectOrAddDefault(CActionList& collection, const CActionList& content) {
    const auto& children = collection.m_children;
    const auto found =
        std::find_if(children.begin(), children.end(),
                     [&](const CActionList& child) { return sameContent(child, content); });
    if (found != children.end()) {
        collection.setCursor(static_cast<int>(found - children.begin()));
        return;
    }
    collection.append("default");
    collection.setChildAtRow(collection.CursorPos, content);
}

std::string CActionList::proposeEntryName(const CActionList& collection, std::string_view format) {
    // Among count + 1 numbers at least one is free, so this ends even for a
    // format that makes no numbered names.
    std::string name;
    for (int n = 1; n <= collection.count() + 1; ++n) {
        name = talvik::text::formatNumbered(format, n);
        if (collection.indexOfItem(name) < 0)
            break;
    }
    return name;
}

} // namespace talvik::model
