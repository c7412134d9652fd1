// The Macro and Emulate pages of the key settings dialog: recording from
// posted hook messages on a clock the test moves, the delay modes, the delay
// editor, the number boxes, the right-click menu and the notice for a list the
// keyboard cannot hold.

#include "KeyMapFixture.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace talvik::model;

using talvik::test::CKeyMapFixture;
namespace keymap = talvik::layout::keymap_id;
using talvik::text::Language;

namespace {

constexpr int kKeyA = 43;
constexpr int kA = 0x41;
constexpr int kB = 0x42;

std::vector<std::string> itemsOf(std::initializer_list<const char*> items) {
    return {items.begin(), items.end()};
}

QPoint centreOf(const SkinRect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A dialog on one page with a library of one new entry, and a clock the test moves.
class MacroPages : public ::testing::Test {
protected:
    void openOn(int page) {
        f.open(kKeyA);
        f.dlg().setClock([this] { return m_nowMs * 1000000; });
        f.dlg().switchPage(*talvik::keymap::pageNumbered(page));
        f.click(page == 2 ? keymap::NewMacro : keymap::NewEmu);
        f.dlg().commitInPlaceEdit();
    }
    void at(std::int64_t ms) { m_nowMs = ms; }
    CActionList& macro() { return f.dlg().session().m_macro; }
    CActionList& emu() { return f.dlg().session().m_emu; }
    const CActionList& macroEntry() { return f.dlg().session().m_macroLibrary.children().front(); }
    // Types into a number box as the user does, one key at a time.
    void typeInto(QLineEdit& box, const QString& text) {
        box.setFocus();
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, text);
    }
    // A macro of the given items in the selected entry, shown on page 2.
    void setMacro(std::initializer_list<const char*> items, bool autoInterval = false) {
        macro().clear();
        for (const char* item : items) {
            macro().append(item);
        }
        macro().IsAutoInterval = autoInterval;
        macro().setCursor(0);
        f.dlg().switchPage(KeyMapPage::Macro);
    }

    CKeyMapFixture f;
    std::int64_t m_nowMs = 10000;
};

} // namespace

TEST_F(MacroPages, OneTap_IsPressDelayRelease_AndTheStoppingClickAddsFiftyMs) {
    openOn(2);
    f.click(keymap::RecordMacro);
    EXPECT_TRUE(f.dlg().session().m_recordingMacro);
    EXPECT_TRUE(f.element(keymap::RecordMacro).active);
    EXPECT_TRUE(f.element(keymap::StopMacroLabel).visible);
    EXPECT_FALSE(f.element(keymap::RecordMacroLabel).visible);

    at(11000);
    f.press(kA);
    at(11120);
    f.release(kA);
    EXPECT_EQ(macro().items(), itemsOf({"A Down", "<120 ms>", "A UP"}));

    f.click(keymap::Ok); // stops the recording and does nothing else
    EXPECT_FALSE(f.dlg().session().m_recordingMacro);
    EXPECT_FALSE(f.element(keymap::StopMacroLabel).visible);
    EXPECT_EQ(macro().items(), itemsOf({"A Down", "<120 ms>", "A UP", "<50 ms>"}));
    EXPECT_EQ(macroEntry().count(), 3) << "the entry was written back before the pause was added";
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Single) << "the model waits for OK";

    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Macro);
    EXPECT_EQ(f.list(kKeyA, 0).items(), macro().items());
}

TEST_F(MacroPages, HeldKey_OnePressOneRelease_DelayFromTheLastAutoRepeat) {
    openOn(2);
    f.click(keymap::RecordMacro);
    at(20000);
    f.press(kA);
    for (int t = 20500; t <= 20560; t += 30) {
        at(t);
        f.press(kA);
    }
    at(20600);
    f.release(kA);
    EXPECT_EQ(macro().items(), itemsOf({"A Down", "<40 ms>", "A UP"}));
}

TEST_F(MacroPages, RecordingStopsAt799Items_WithPerEventDelays) {
    openOn(2);
    f.click(keymap::RecordMacro);
    for (int i = 0; i < 250; ++i) {
        f.tap(kA);
        f.tap(kB);
    }
    EXPECT_EQ(macro().count(), 799);
    f.click(keymap::FirstTab);
    EXPECT_EQ(macro().count(), 799) << "a full macro takes no closing pause";
    EXPECT_EQ(f.dlg().session().m_page, KeyMapPage::Macro)
        << "the click only stopped the recording";
    EXPECT_EQ(f.dlg().scrollBar(1007).scrollInfo().maximum, 799 + 9 - 1);
}

TEST_F(MacroPages, RecordIsIgnoredWhileTheLibraryIsEmpty) {
    f.open(kKeyA);
    f.dlg().switchPage(KeyMapPage::Macro);
    f.click(keymap::RecordMacro);
    EXPECT_FALSE(f.dlg().session().m_recordingMacro);
    f.dlg().switchPage(KeyMapPage::Emulation);
    f.click(keymap::RecordEmu);
    EXPECT_FALSE(f.dlg().session().m_recordingEmu);
}

TEST_F(MacroPages, Emulation_NeverMoreThanSixKeys_PressesOnly_KeepsItsDelay) {
    openOn(3);
    emu().Delay = 400;
    f.click(keymap::RecordEmu);
    EXPECT_TRUE(f.element(keymap::StopEmuLabel).visible);
    for (int vk = 0x41; vk < 0x49; ++vk) {
        f.press(vk);
        f.press(vk); // auto-repeat
        f.release(vk);
    }
    f.click(keymap::FirstEmuKeyRow);
    EXPECT_EQ(emu().items(), itemsOf({"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(emu().Delay, 400);
    EXPECT_EQ(f.dlg().session().m_emuLibrary.children().front().items(), emu().items());
    EXPECT_FALSE(f.element(keymap::StopEmuLabel).visible);
}

TEST_F(MacroPages, DelayModes_ToAutoAndBack) {
    openOn(2);
    setMacro({"E1", "<12 ms>", "E2", "<40 ms>", "E3"});
    typeInto(f.dlg().intervalEdit(), QStringLiteral("30"));
    f.click(keymap::AutoDelayRadio);
    EXPECT_EQ(macro().items(), itemsOf({"E1", "E2", "E3"}));
    EXPECT_TRUE(f.element(keymap::AutoDelayRadio).active);
    EXPECT_TRUE(f.dlg().intervalEdit().isEnabled());

    f.click(keymap::AutoDelayRadio);
    EXPECT_EQ(macro().items(), itemsOf({"E1", "E2", "E3"})) << "the mode in force stays";

    f.click(keymap::RecordDelayRadio);
    EXPECT_EQ(macro().items(), itemsOf({"E1", "<30 ms>", "E2", "<30 ms>", "E3"}));
    EXPECT_TRUE(f.element(keymap::RecordDelayRadio).active);
    EXPECT_FALSE(f.dlg().intervalEdit().isEnabled());
    EXPECT_EQ(macroEntry().items(), macro().items()) << "written back into the library";
}

TEST_F(MacroPages, PlayModeRadios_TheCountBoxOnlyForTimesPlay) {
    openOn(2);
    f.click(keymap::HeldPlayRadio);
    EXPECT_EQ(macro().PlayMode, 1);
    EXPECT_TRUE(f.element(keymap::HeldPlayRadio).active);
    EXPECT_FALSE(f.element(keymap::TimesPlayRadio).active);
    EXPECT_FALSE(f.dlg().countEdit().isEnabled());
    f.click(keymap::TogglePlayRadio);
    EXPECT_EQ(macroEntry().PlayMode, 2);
    f.click(keymap::TimesPlayRadio);
    EXPECT_EQ(macro().PlayMode, 0);
    EXPECT_TRUE(f.dlg().countEdit().isEnabled());
}

TEST_F(MacroPages, NumberBoxes_OutOfRangeBecomesTheNearestLimit) {
    openOn(2);
    QLineEdit& count = f.dlg().countEdit();
    typeInto(count, QStringLiteral("0"));
    EXPECT_EQ(count.text(), QStringLiteral("1"));
    EXPECT_EQ(macro().Cycles, 1);
    typeInto(count, QStringLiteral("300"));
    EXPECT_EQ(count.text(), QStringLiteral("255"));
    EXPECT_EQ(macroEntry().Cycles, 255);

    f.click(keymap::AutoDelayRadio);
    typeInto(f.dlg().intervalEdit(), QStringLiteral("70000"));
    EXPECT_EQ(f.dlg().intervalEdit().text(), QStringLiteral("60000"));
    EXPECT_EQ(macro().Delay, 60000);

    f.click(keymap::FirstTab + 2);
    ASSERT_EQ(f.dlg().session().m_page, KeyMapPage::Emulation);
    typeInto(count, QStringLiteral("9000"));
    EXPECT_EQ(count.text(), QStringLiteral("6000"));
    EXPECT_EQ(emu().Delay, 6000);
    EXPECT_EQ(macro().Cycles, 255) << "the Emulate page's box leaves the macro alone";
}

TEST_F(MacroPages, DelayEditor_OpensOnTheSelectedDelay_AndLimitsWhatIsTyped) {
    openOn(2);
    setMacro({"A Down", "<120 ms>", "A UP"});
    f.click(keymap::FirstEventRow + 1);
    EXPECT_FALSE(f.dlg().isEditingDelay()) << "the first click selects";
    EXPECT_TRUE(f.element(keymap::FirstEventRow + 1).active);
    f.click(keymap::FirstEventRow + 1);
    ASSERT_TRUE(f.dlg().isEditingDelay());
    EXPECT_EQ(f.dlg().renameEdit().text(), QStringLiteral("120"));
    f.dlg().renameEdit().setText(QStringLiteral("70000"));
    f.click(keymap::FirstEventRow + 2); // commits, and does nothing else
    EXPECT_FALSE(f.dlg().isEditingDelay());
    EXPECT_EQ(macro().items(), itemsOf({"A Down", "<65535 ms>", "A UP"}));
    EXPECT_EQ(macroEntry().items()[1], "<65535 ms>");

    f.click(keymap::FirstEventRow);
    f.click(keymap::FirstEventRow);
    EXPECT_FALSE(f.dlg().isEditingDelay()) << "an event opens no editor";
}

namespace {

// Picks `path` (a submenu's text, then a command's) from the pop-up menu
// that the next right click opens, the way a user's pointer would.
void pickFromMenu(QStringList path, std::function<void()> done) {
    QTimer::singleShot(50, [path, done]() mutable {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            done();
            return;
        }
        QAction* found = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == path.front()) {
                found = action;
            }
        }
        if (found == nullptr) {
            menu->close();
            done();
            return;
        }
        path.removeFirst();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(found).center());
        if (path.isEmpty()) {
            done();
        } else {
            pickFromMenu(path, done);
        }
    });
}

} // namespace

TEST_F(MacroPages, LeftClickOverAnEvent_InsertsTwoActionsWithZeroDelays) {
    openOn(2);
    setMacro({"E1", "<10 ms>", "E2"});
    f.dlg().show();
    bool picked = false;
    pickFromMenu({QStringLiteral("Left Click"), QStringLiteral("Click")}, [&] { picked = true; });
    const QPoint row = centreOf(f.element(keymap::FirstEventRow + 2).rect);
    QTest::mouseClick(&f.dlg(), Qt::RightButton, {}, row);
    ASSERT_TRUE(picked);
    EXPECT_EQ(macro().items(), itemsOf({"E1", "<10 ms>", "Mouse Key Left", "<0 ms>",
                                        "Mouse Key Left", "<0 ms>", "E2"}));
    EXPECT_EQ(macroEntry().count(), 7);
    EXPECT_EQ(f.dlg().scrollBar(1007).scrollInfo().maximum, 7 + 9 - 1);
}

TEST_F(MacroPages, MenuInChinese_DeleteTakesTheEventWithItsDelay) {
    f.state.language = Language::Chinese;
    openOn(2);
    setMacro({"E1", "<1 ms>", "E2", "<2 ms>", "E3"});
    f.dlg().show();
    bool picked = false;
    pickFromMenu({QStringLiteral("删除")}, [&] { picked = true; });
    QTest::mouseClick(&f.dlg(), Qt::RightButton, {},
                      centreOf(f.element(keymap::FirstEventRow + 2).rect));
    ASSERT_TRUE(picked);
    EXPECT_EQ(macro().items(), itemsOf({"E1", "<1 ms>", "E3"}));

    // Past the end of the list there is no menu.
    QTest::mouseClick(&f.dlg(), Qt::RightButton, {},
                      centreOf(f.element(keymap::FirstEventRow + 5).rect));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(MacroPages, AMacroTooLongForTheKeyboard_IsSaidOnThePage) {
    CActionList huge(9);
    for (int i = 0; i < 32767; ++i) {
        huge.append(i % 2 == 0 ? "A Down" : "<1 ms>");
    }
    f.state.keyConfig.ComboKey[kKeyA][0] = huge;
    f.state.keyConfig.Mode[kKeyA][0] = KeyMode::Macro;
    f.open(kKeyA);
    ASSERT_EQ(f.dlg().session().m_page, KeyMapPage::Macro);
    f.dlg().renderCanvas();
    EXPECT_TRUE(f.element(keymap::MacroNotice).visible);
    EXPECT_FALSE(f.element(keymap::MacroTip).visible);
    EXPECT_TRUE(f.element(keymap::MacroNotice).caption(Language::English).contains("keeps only"));

    f.click(keymap::RecordDelayRadio); // a click changes nothing: the mode is in force
    f.click(keymap::AutoDelayRadio);   // 16384 events fit with the uniform delay
    f.dlg().renderCanvas();
    EXPECT_FALSE(f.element(keymap::MacroNotice).visible);
    EXPECT_TRUE(f.element(keymap::MacroTip).visible);
}

TEST_F(MacroPages, LibraryRows_WriteTheWorkingEntryBackBeforeLoadingAnother) {
    openOn(2);
    f.click(keymap::NewMacro);
    f.dlg().commitInPlaceEdit();
    ASSERT_EQ(f.dlg().session().m_macroLibrary.count(), 2);
    f.click(keymap::RecordMacro);
    f.tap(kB);
    f.click(keymap::RecordMacro);
    f.click(keymap::FirstMacroRow);
    EXPECT_TRUE(macro().empty()) << "the first entry holds nothing";
    f.click(keymap::FirstMacroRow + 1);
    EXPECT_EQ(macro().items(), itemsOf({"B Down", "<0 ms>", "B UP", "<50 ms>"}));
}

TEST_F(MacroPages, RightClickWhileADelayIsEdited_StoresTheDelayBeforeItemsMove) {
    openOn(2);
    setMacro({"A Down", "<120 ms>", "A UP"});
    f.dlg().show();
    f.click(keymap::FirstEventRow + 1);
    f.click(keymap::FirstEventRow + 1);
    ASSERT_TRUE(f.dlg().isEditingDelay());
    f.dlg().renameEdit().setText(QStringLiteral("77"));
    bool picked = false;
    pickFromMenu({QStringLiteral("Left Click"), QStringLiteral("Press")}, [&] { picked = true; });
    QTest::mouseClick(&f.dlg(), Qt::RightButton, {},
                      centreOf(f.element(keymap::FirstEventRow).rect));
    ASSERT_TRUE(picked);
    EXPECT_EQ(macro().items(), itemsOf({"Mouse Key Left", "<0 ms>", "A Down", "<77 ms>", "A UP"}));
}

TEST_F(MacroPages, EmulationKeyRows_OnlySelect) {
    openOn(3);
    emu().append("A");
    emu().append("B");
    f.click(keymap::FirstEmuKeyRow);
    EXPECT_EQ(emu().CursorPos, 0);
    f.dlg().renderCanvas();
    EXPECT_TRUE(f.element(keymap::FirstEmuKeyRow).active);
    EXPECT_FALSE(f.element(keymap::FirstEmuKeyRow + 1).active);
    f.click(keymap::FirstEmuKeyRow);
    EXPECT_FALSE(f.dlg().isEditingDelay() || f.dlg().isRenaming());
    f.click(keymap::FirstEmuKeyRow + 4);
    EXPECT_EQ(emu().CursorPos, 0) << "past the end";
}
