// A library list of the key settings session: whatever moves its cursor
// writes the working copy back into the entry it came from and loads the one
// it lands on, so no entry ever receives another entry's content.

#include "KeyMapTestSupport.h"

#include "talvik/keymap/CLibraryView.h"

#include <gtest/gtest.h>

using namespace talvik::model;

namespace {

using talvik::keymap::CLibraryView;
using talvik::test::listOf;

constexpr int kFirstRow = 221;
constexpr int kRows = 3;

class LibraryView : public ::testing::Test {
protected:
    // Entries "E0".."E<n-1>", entry k holding the single item "k<k>".
    void loadEntries(int n) {
        CActionList collection(kRows);
        for (int k = 0; k < n; ++k) {
            collection.append("E" + std::to_string(k));
            collection.setChildAtRow(collection.CursorPos,
                                     listOf({("k" + std::to_string(k)).c_str()}, 5));
        }
        collection.setCursor(0);
        view.load(collection);
    }
    std::vector<std::string> contentOf(int index) const {
        return library.children()[static_cast<std::size_t>(index)].items();
    }

    CActionList library{kRows};
    CActionList entry{kRows};
    CLibraryView view{library, entry, kFirstRow, kRows, talvik::text::CollectionKind::Macro};
};

TEST_F(LibraryView, Load_TakesTheSelectedEntryInTheRowsOfTheLibrary) {
    loadEntries(2);
    EXPECT_EQ(entry.items(), std::vector<std::string>{"k0"});
    EXPECT_EQ(entry.SizeOfView, kRows) << "whatever view size the profile gave the entry";
    EXPECT_EQ(library.SizeOfView, kRows);
}

TEST_F(LibraryView, ClickRow_WritesBackBeforeLoadingAnother_AndRenamesTheSelectedRow) {
    loadEntries(2);
    entry.append("edited");
    EXPECT_EQ(view.clickRow(1), CLibraryView::RowClick::Selected);
    EXPECT_EQ(contentOf(0), (std::vector<std::string>{"k0", "edited"}));
    EXPECT_EQ(entry.items(), std::vector<std::string>{"k1"});
    EXPECT_EQ(view.clickRow(1), CLibraryView::RowClick::Rename);
    EXPECT_EQ(view.clickRow(2), CLibraryView::RowClick::Ignored) << "a row past the end";
    EXPECT_EQ(view.selectedRow(), 1);
}

TEST_F(LibraryView, MoveAndRemove_LoadTheEntryTheCursorLandsOn) {
    loadEntries(5);
    entry.append("edited");
    view.moveTo(4);
    EXPECT_EQ(contentOf(0), (std::vector<std::string>{"k0", "edited"}));
    EXPECT_EQ(entry.items(), std::vector<std::string>{"k4"});
    EXPECT_EQ(view.selectedRow(), library.CursorPos);

    view.removeSelected();
    ASSERT_EQ(library.count(), 4);
    EXPECT_EQ(library.indexOfItem("E4"), -1);
    EXPECT_EQ(entry.items(), contentOf(library.ViewStartAt + library.CursorPos));
}

TEST_F(LibraryView, RemoveFromAnEmptyLibrary_LeavesAnEmptyEntry) {
    view.load(CActionList(kRows));
    entry.append("stray");
    view.removeSelected();
    EXPECT_TRUE(library.empty());
    EXPECT_TRUE(entry.empty());
    EXPECT_EQ(view.selectedRow(), -1);
}

TEST_F(LibraryView, AddEntry_SelectsANewEmptyEntry_AndProposesAName) {
    loadEntries(1);
    entry.append("edited");
    const std::string name = view.addEntry(talvik::text::Language::English);
    ASSERT_EQ(library.count(), 2);
    EXPECT_EQ(contentOf(0), (std::vector<std::string>{"k0", "edited"}));
    EXPECT_TRUE(entry.empty());
    EXPECT_EQ(library.ViewStartAt + library.CursorPos, 1);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(library.indexOfItem(name), -1) << "the name is proposed, not given";
    EXPECT_EQ(name, "New Macro 1");
    EXPECT_EQ(view.addEntry(talvik::text::Language::Chinese), "宏定义1");
}

TEST_F(LibraryView, Rename_OnlyARowThatShowsAnEntry) {
    loadEntries(1);
    view.rename(0, "Hello");
    view.rename(2, "Nobody");
    EXPECT_EQ(library.items(), std::vector<std::string>{"Hello"});
    EXPECT_EQ(view.rowOf(kFirstRow + 2), 2);
    EXPECT_EQ(view.rowOf(kFirstRow + kRows), -1);
    EXPECT_EQ(view.rowOf(kFirstRow - 1), -1);
}

TEST_F(LibraryView, SelectContent_FindsTheEntryOrAddsDefault) {
    loadEntries(3);
    view.selectContent(listOf({"k2"}, 5));
    EXPECT_EQ(library.ViewStartAt + library.CursorPos, 2);
    EXPECT_EQ(entry.items(), std::vector<std::string>{"k2"});
    view.selectContent(listOf({"new"}, 5));
    ASSERT_EQ(library.count(), 4);
    EXPECT_EQ(library.itemAtRow(library.CursorPos), "default");
    EXPECT_EQ(entry.items(), std::vector<std::string>{"new"});
}

} // namespace
