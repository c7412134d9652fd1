// The list behind combos, macros, emulations and their collections: the view
// rules the editors rely on, and the collection helpers.

#include "talvik/model/CActionList.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

using namespace talvik::model;

namespace {

CActionList listOf(int sizeOfView, int items, int viewStartAt = 0) {
    CActionList list(sizeOfView);
    for (int i = 0; i < items; ++i)
        list.append("item " + std::to_string(i));
    list.ViewStartAt = viewStartAt;
    list.CursorPos = 0;
    return list;
}

void expectView(const CActionList& list, int viewStartAt, int cursorPos) {
    EXPECT_EQ(list.ViewStartAt, viewStartAt);
    EXPECT_EQ(list.CursorPos, cursorPos);
}

} // namespace

TEST(ActionList, Append_SelectsTheNewLastItemAndScrollsIt) {
    CActionList nine = listOf(9, 9);
    nine.setItemAtRow(20000, "tenth");
    expectView(nine, 1, 8);
    EXPECT_EQ(nine.itemAtRow(8), "tenth");

    CActionList three = listOf(9, 3);
    three.setItemAtRow(200000, "fourth");
    expectView(three, 0, 3);
    EXPECT_EQ(three.children().size(), 4u);
    EXPECT_EQ(three.children().back().SizeOfView, 9) << "new children take the owner's view size";
}

TEST(ActionList, Remove_KeepsTheViewInsideTheList) {
    CActionList one = listOf(6, 1);
    one.removeItemAtRow(0);
    EXPECT_TRUE(one.empty());
    EXPECT_TRUE(one.children().empty());
    expectView(one, 0, 0);

    CActionList list = listOf(6, 4);
    list.removeItemAtRow(99);
    EXPECT_EQ(list.items().back(), "item 2") << "a row past the end removes the last item";

    CActionList scrolled = listOf(6, 10, 8);
    scrolled.CursorPos = 1;
    scrolled.removeItemAtRow(1); // removes item 9, the view must not point past the end
    expectView(scrolled, 8, 0);
    scrolled.removeItemAtRow(0);
    expectView(scrolled, 7, 0);

    CActionList empty(6);
    empty.removeItemAtRow(0);
    EXPECT_TRUE(empty.empty());
}

TEST(ActionList, ViewFieldsFromADamagedFile_AppendAndRemoveStayInRange) {
    // A profile file hands over whatever numbers it holds; editing such a
    // list must still select the right item and never overflow.
    for (int sizeOfView : {INT_MIN, -5, 0}) {
        CActionList list(sizeOfView);
        list.append("a");
        list.append("b");
        EXPECT_GE(list.ViewStartAt, 0) << sizeOfView;
        EXPECT_LE(list.ViewStartAt, 2) << sizeOfView;
        EXPECT_EQ(static_cast<long long>(list.ViewStartAt) + list.CursorPos, 1) << sizeOfView;
    }
    CActionList wide(INT_MAX);
    wide.ViewStartAt = INT_MAX;
    wide.append("a");
    EXPECT_EQ(static_cast<long long>(wide.ViewStartAt) + wide.CursorPos, 0);

    CActionList list = listOf(6, 4, INT_MIN);
    list.CursorPos = 5;
    list.removeItemAtRow(INT_MAX);
    EXPECT_EQ(list.count(), 3);
    expectView(list, INT_MIN, 5);
}

TEST(ActionList, SetCursor_InsideTheViewMovesTheCursor_OutsideScrolls) {
    CActionList list = listOf(6, 20, 3);
    list.setCursor(5);
    expectView(list, 3, 2);
    list.setCursor(12);
    expectView(list, 12, 0);
    list.setCursor(50);
    expectView(list, 19, 0);
    list.setCursor(-4);
    expectView(list, 0, 0);
}

TEST(ActionList, StepCursor_ScrollsOnlyAsFarAsTheItemNeedsAndStopsAtTheEnds) {
    CActionList list = listOf(6, 9, 0);
    list.stepCursor(5);
    expectView(list, 0, 5);
    list.stepCursor(1); // one row down, the item in the last row
    expectView(list, 1, 5);
    list.stepCursor(10); // clamped to the last item
    expectView(list, 3, 5);
    list.stepCursor(-5);
    expectView(list, 3, 0);
    list.stepCursor(-1); // one row up, the item in the first row
    expectView(list, 2, 0);
    list.stepCursor(-100);
    expectView(list, 0, 0);
    CActionList stray = listOf(6, 9, 0);
    stray.ViewStartAt = 7; // as a profile may leave it
    stray.CursorPos = 4;
    stray.stepCursor(1);
    EXPECT_EQ(stray.ViewStartAt + stray.CursorPos, 8) << "from a view past the end, the last";
    EXPECT_GE(stray.CursorPos, 0);
    CActionList none(6);
    none.stepCursor(1);
    expectView(none, 0, 0);
}

TEST(ActionList, SetCursorOnEmptyList_RowsOutOfRange_NextAppendRestoresTheView) {
    CActionList list(6);
    list.setCursor(0);
    expectView(list, -1, 0);
    EXPECT_EQ(list.itemAtRow(0), "");
    EXPECT_EQ(list.itemAtRow(1), "");
    list.setItemAtRow(1, "first"); // out of range, so it appends
    expectView(list, 0, 0);
    EXPECT_EQ(list.itemAtRow(0), "first");
}

TEST(ActionList, RowAccess_OutOfRangeGivesEmptyValues) {
    CActionList list = listOf(6, 3, 1);
    EXPECT_EQ(list.itemAtRow(0), "item 1");
    EXPECT_EQ(list.itemAtRow(2), "");
    EXPECT_EQ(list.itemAtRow(-2), "");
    const CActionList child = list.childAtRow(5);
    EXPECT_TRUE(child.empty());
    EXPECT_EQ(child.SizeOfView, 6);

    CActionList content(9);
    content.append("A");
    list.setChildAtRow(1, content);
    EXPECT_EQ(list.childAtRow(1).items(), content.items());
    list.setChildAtRow(7, content); // out of range: nothing happens
    EXPECT_EQ(list.count(), 3);
    list.setItemAtRow(0, "renamed");
    EXPECT_EQ(list.items()[1], "renamed");
    EXPECT_EQ(list.children()[2].items(), content.items()) << "renaming keeps the child";
}

TEST(ActionList, InsertInRange_ShowsTheItemAtThatRow_CursorStays) {
    CActionList list = listOf(6, 8, 2);
    list.CursorPos = 3;
    list.insertItemAtRow(1, "new");
    EXPECT_EQ(list.itemAtRow(1), "new");
    EXPECT_EQ(list.items()[3], "new");
    EXPECT_EQ(list.children().size(), 9u);
    expectView(list, 2, 3);
    list.insertItemAtRow(100, "last");
    EXPECT_EQ(list.items().back(), "last");
}

TEST(ActionList, CopyIsDeep_ClearResetsAllButTheViewSize) {
    CActionList collection(6);
    collection.append("entry");
    CActionList content(6);
    content.append("A");
    collection.setChildAtRow(0, content);

    CActionList copy;
    copy.assign(collection);
    copy.setChildAtRow(0, CActionList(6));
    EXPECT_EQ(collection.children()[0].count(), 1) << "the copy shares nothing";

    collection.Cycles = 5;
    collection.Delay = 7;
    collection.IsAutoInterval = true;
    collection.PlayMode = 2;
    collection.clear();
    EXPECT_TRUE(collection.empty());
    EXPECT_TRUE(collection.children().empty());
    EXPECT_EQ(collection.SizeOfView, 6);
    EXPECT_EQ(collection.Cycles, 1);
    EXPECT_EQ(collection.Delay, 30);
    EXPECT_FALSE(collection.IsAutoInterval);
    EXPECT_EQ(collection.PlayMode, 0);
    expectView(collection, 0, 0);
}

TEST(ActionList, SameContent_ComparesTextsAndPlayFieldsOnly) {
    CActionList a = listOf(6, 3);
    CActionList b = listOf(9, 3, 2);
    b.CursorPos = 1;
    EXPECT_TRUE(CActionList::sameContent(a, b));
    b.Delay = 31;
    EXPECT_FALSE(CActionList::sameContent(a, b));
    b.Delay = a.Delay;
    b.setItemAtRow(-2, "ITEM 0");
    EXPECT_FALSE(CActionList::sameContent(a, b)) << "letter case counts";
    CActionList shorter = listOf(6, 2);
    EXPECT_FALSE(CActionList::sameContent(a, shorter));
}

TEST(ActionList, SelectOrAddDefault_AddsOneEntryOnce) {
    CActionList collection = listOf(6, 8);
    CActionList content(6);
    content.append("LCTRL");
    content.append("C");

    CActionList::selectOrAddDefault(collection, content);
    ASSERT_EQ(collection.count(), 9);
    EXPECT_EQ(collection.items().back(), "default");
    EXPECT_EQ(collection.ViewStartAt + collection.CursorPos, 8);
    EXPECT_TRUE(CActionList::sameContent(collection.children()[8], content));

    collection.setCursor(0);
    CActionList::selectOrAddDefault(collection, content);
    EXPECT_EQ(collection.count(), 9);
    EXPECT_EQ(collection.ViewStartAt + collection.CursorPos, 8);
}

TEST(ActionList, ProposeEntryName_FirstFreeNumber) {
    CActionList collection(6);
    EXPECT_EQ(CActionList::proposeEntryName(collection, "New Combo %d"), "New Combo 1");
    collection.append("New Combo 1");
    collection.append("New Combo 3");
    EXPECT_EQ(CActionList::proposeEntryName(collection, "New Combo %d"), "New Combo 2");
    EXPECT_EQ(CActionList::proposeEntryName(collection, "组合键%d"), "组合键1");
    collection.append("fixed");
    EXPECT_EQ(CActionList::proposeEntryName(collection, "fixed"), "fixed")
        << "a format without a number must not loop forever";
}

TEST(ActionList, SetContents_TakesItemsAndChildrenWithoutCopies_PadsMissingChildren) {
    CActionList list(6);
    list.append("old");
    list.ViewStartAt = 2;
    list.Cycles = 7;
    CActionList child(3);
    child.append("inner");
    std::vector<std::string> items = {"a", std::string(100, 'b'), "c"};
    const char* longText = items[1].data();
    std::vector<CActionList> children(1);
    children[0] = child;
    list.setContents(std::move(items), std::move(children));

    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.items()[0], "a");
    EXPECT_EQ(list.items()[1].data(), longText); // moved, not copied
    ASSERT_EQ(list.children().size(), 3u);
    EXPECT_EQ(list.children()[0].items(), child.items());
    EXPECT_EQ(list.children()[2].SizeOfView, 6);
    EXPECT_TRUE(list.children()[2].empty());
    EXPECT_EQ(list.ViewStartAt, 2); // view and play fields are the caller's
    EXPECT_EQ(list.Cycles, 7);

    std::vector<CActionList> tooMany(5);
    list.setContents({"only"}, std::move(tooMany));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.children().size(), 1u);
}
