#include "talvik/recorder/MacroMenu.h"

#include "talvik/recorder/CActionRecorder.h"
#include "talvik/text/Language.h"

#include <array>

namespace talvik::recorder {

namespace {

struct CommandEntry {
    int command;
    std::string_view chinese;
    std::string_view english;
    MouseAction action;
};

constexpr std::array<CommandEntry, 11> kMouseCommands{{
    {1135, "按下", "Press", {130, 1}},
    {1136, "释放", "Release", {130, 1}},
    {1137, "点击", "Click", {130, 2}},
    {1138, "按下", "Press", {131, 1}},
    {1139, "释放", "Release", {131, 1}},
    {1140, "点击", "Click", {131, 2}},
    {1141, "按下", "Press", {132, 1}},
    {1142, "释放", "Release", {132, 1}},
    {1143, "点击", "Click", {132, 2}},
    {1144, "前翻", "Up", {133, 1}},
    {1145, "后翻", "Down", {134, 1}},
}};

struct SubmenuEntry {
    std::string_view chinese;
    std::string_view english;
    std::size_t first; // into kMouseCommands
    std::size_t count;
};

constexpr std::array<SubmenuEntry, 4> kSubmenus{{
    {"鼠标左键", "Left Click", 0, 3},
    {"鼠标右键", "Right Click", 3, 3},
    {"鼠标中键", "Middle Click", 6, 3},
    {"滚轮", "Wheel", 9, 2},
}};

const std::string_view kDelayZero = "<0 ms>";

// Before the item at `row`, `events` times: the action and, with per-event
// delays, a zero delay on the side that keeps events and delays alternating.
void insertAction(model::CActionList& macro, int row, std::string_view name, int events) {
    const bool beforeDelay = macro.itemAtRow(row).starts_with('<');
    int at = row;
    for (int i = 0; i < events; ++i) {
        if (macro.IsAutoInterval) {
            macro.insertItemAtRow(at++, name);
        } else if (beforeDelay) {
            macro.insertItemAtRow(at++, kDelayZero);
            macro.insertItemAtRow(at++, name);
        } else {
            macro.insertItemAtRow(at++, name);
            macro.insertItemAtRow(at++, kDelayZero);
        }
    }
}

// Removes the item and, with per-event delays, the one that took its place, so
// an event goes with its delay.
void removeItem(model::CActionList& macro, int row) {
    macro.removeItemAtRow(row);
    if (!macro.IsAutoInterval && !macro.empty())
        macro.removeItemAtRow(row);
}

// A row whose item index lies outside the list whatever view start a profile
// gave it: removing there removes the last item.
int rowPastTheEnd(const model::CActionList& list) {
    return list.ViewStartAt < 0 ? 0 : list.count() - list.ViewStartAt;
}

} // namespace

std::vector<MenuLine> eventRowMenu(text::Language language) {
    const auto pick = [language](std::string_view chinese, std::string_view english) {
        return std::string(text::textIn(language, chinese, english));
    };
    std::vector<MenuLine> menu;
    for (const SubmenuEntry& sub : kSubmenus) {
        MenuLine line{pick(sub.chinese, sub.english), 0, {}};
        for (std::size_t i = sub.first; i < sub.first + sub.count; ++i) {
            const CommandEntry& entry = kMouseCommands[i];
            line.submenu.push_back({pick(entry.chinese, entry.english), entry.command, {}});
        }
        menu.push_back(std::move(line));
    }
    menu.push_back({pick("删除", "Delete"), kDeleteItemCommand, {}});
    return menu;
}

std::optional<MouseAction> mouseActionOf(int command) {
    for (const CommandEntry& entry : kMouseCommands) {
        if (entry.command == command)
            return entry.action;
    }
    return std::nullopt;
}

bool applyEventRowCommand(model::CActionList& macro, int row, int command,
                          std::string_view actionName) {
    if (const auto action = mouseActionOf(command))
        insertAction(macro, row, actionName, action->events);
    else if (command == kDeleteItemCommand)
        removeItem(macro, row);
    else
        return false;
    const int limit = macroItemLimit(macro);
    while (macro.count() > limit)
        macro.removeItemAtRow(rowPastTheEnd(macro));
    return true;
}

std::string mouseActionName(const talvik::text::KeyNameMap& names,
                            const talvik::text::CodeTable& hwCodeToVk, int hwCode) {
    return talvik::text::codeToItem(names, hwCodeToVk, hwCode);
}

} // namespace talvik::recorder
