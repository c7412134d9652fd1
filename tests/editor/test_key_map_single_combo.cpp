// The Single/Combo page: its radios, the single key and combo captures fed
// by hook messages, the virtual keyboard buttons and the combo library.

#include "FakeHookClock.h"
#include "KeyMapFixture.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace talvik::model;

using talvik::test::CKeyMapFixture;
namespace keymap = talvik::layout::keymap_id;
using talvik::text::Language;

namespace {

constexpr int kKeyA = 43;
constexpr int kVkA = 'A';
constexpr int kVkLeftShift = 160;
constexpr int kVkLeftCtrl = 162;

std::vector<std::string> namesOf(const CActionList& library) {
    return library.items();
}

// Gives a new combo entry the name the dialog proposes.
std::string addCombo(CKeyMapFixture& f) {
    f.click(keymap::NewCombo);
    const std::string proposed = f.dlg().renameEdit().text().toStdString();
    QTest::keyClick(&f.dlg().renameEdit(), Qt::Key_Return);
    return proposed;
}

void chooseCombo(CKeyMapFixture& f) {
    if (f.dlg().session().m_isSingle) {
        f.click(keymap::ComboRadio);
    }
}

} // namespace

TEST(SingleComboPage, EachClickOnARadioFlipsTheChoice) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    ASSERT_TRUE(dlg.session().m_isSingle);
    f.click(keymap::SingleRadio);
    EXPECT_FALSE(dlg.session().m_isSingle) << "Single while Single is chosen switches to Combo";
    EXPECT_TRUE(f.element(keymap::ComboRadio).active);
    EXPECT_TRUE(f.element(keymap::ComboLabel).active);
    EXPECT_FALSE(f.element(keymap::SingleLabel).active);
    f.click(keymap::SingleRadio);
    EXPECT_TRUE(dlg.session().m_isSingle);
    f.click(keymap::ComboRadio);
    EXPECT_FALSE(dlg.session().m_isSingle);
    f.click(keymap::ComboRadio);
    EXPECT_TRUE(dlg.session().m_isSingle) << "and Combo while Combo is chosen back to Single";
}

TEST(SingleComboPage, SingleCaptureTakesTheLastKeyPressedAndIgnoresRepeats) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    f.click(keymap::RecordSingle);
    ASSERT_TRUE(dlg.session().m_capturingSingle);
    EXPECT_TRUE(f.element(keymap::StopSingleLabel).visible);
    EXPECT_FALSE(f.element(keymap::RecordSingleLabel).visible);
    f.press('B');
    EXPECT_EQ(dlg.session().m_singleCode, 'B');
    dlg.session().m_singleCode = -1;
    f.press('B');
    EXPECT_EQ(dlg.session().m_singleCode, -1) << "a held key repeats its press and counts once";
    f.release('B');
    f.press('B');
    EXPECT_EQ(dlg.session().m_singleCode, 'B') << "after its release it counts again";
    f.press(kVkA);
    EXPECT_EQ(dlg.session().m_singleCode, kVkA);
    dlg.renderCanvas();
    EXPECT_EQ(f.element(keymap::SingleKeyName).captions.at("en-US"), QStringLiteral("A"));
    EXPECT_TRUE(f.messages.isEmpty());
}

TEST(SingleComboPage, AnyClickButVirtualKeyInputStopsTheCaptureAndOkStillActs) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    f.click(keymap::RecordSingle);
    f.click(keymap::VirtualSingle);
    EXPECT_TRUE(dlg.session().m_capturingSingle) << "Virtual Key Input leaves the capture running";
    f.click(keymap::ComboRadio);
    EXPECT_FALSE(dlg.session().m_capturingSingle);
    EXPECT_TRUE(dlg.session().m_isSingle) << "the click that stops a capture does nothing else";
    EXPECT_FALSE(f.element(keymap::RecordSingle).active);
    EXPECT_TRUE(f.element(keymap::RecordSingleLabel).visible);
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);

    f.click(keymap::RecordSingle);
    f.press('Q');
    f.click(keymap::Ok);
    EXPECT_FALSE(dlg.session().m_capturingSingle);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Single);
    EXPECT_EQ(f.code(kKeyA, 0), 29) << "hardware code of Q";
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);

    auto& again = f.open(kKeyA);
    f.click(keymap::RecordSingle);
    f.press('W');
    f.click(keymap::Cancel);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(f.code(kKeyA, 0), 29);
}

TEST(SingleComboPage, WithoutTheDesktopKeyboardTheDialogSaysWhereKeysAreTaken) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    EXPECT_FALSE(f.element(keymap::CaptureNotice).visible);
    f.click(keymap::RecordSingle);
    const SkinElement& notice = f.element(keymap::CaptureNotice);
    EXPECT_TRUE(notice.visible);
    EXPECT_EQ(
        dlg.captureNotice(),
        QStringLiteral(
            "The desktop keyboard cannot be taken: only keys typed into this window are captured"));
    EXPECT_EQ(notice.captions.at("en-US"), dlg.captureNotice());
    f.click(keymap::RecordSingle);
    EXPECT_FALSE(f.element(keymap::CaptureNotice).visible);

    f.state.language = Language::Chinese;
    f.open(kKeyA);
    f.click(keymap::RecordSingle);
    EXPECT_EQ(f.dlg().captureNotice(),
              QStringLiteral("无法接管桌面键盘：只能捕获在本窗口中按下的键"));
}

TEST(SingleComboPage, ShiftSideKeypadEnterAndKeysWithoutACode) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    bool leftDown = false;
    dlg.setKeyState([&](int vk) { return vk == kVkLeftShift && leftDown; });
    f.click(keymap::RecordSingle);
    leftDown = true;
    f.press(16);
    EXPECT_EQ(dlg.session().m_singleCode, kVkLeftShift) << "the side whose key is down";
    f.post(13, HOOKKEY_EXTENDED);
    EXPECT_EQ(dlg.session().m_singleCode, 269) << "the keypad's Enter";
    f.press(13);
    EXPECT_EQ(dlg.session().m_singleCode, 13);
    EXPECT_TRUE(f.messages.isEmpty());

    // A key the keyboard has no code for says so and leaves no key.
    f.press(0xAF);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_EQ(f.messages[0], QStringLiteral("a=175, b=0, c=%1").arg(dlg.session().m_singleCode));
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::NotSet);
}

TEST(SingleComboPage, KeypadEnterBecomesTheKeysCode) {
    CKeyMapFixture f;
    f.open(kKeyA);
    f.click(keymap::RecordSingle);
    f.post(13, HOOKKEY_EXTENDED);
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Single);
    EXPECT_EQ(f.code(kKeyA, 0), 107);
}

TEST(SingleComboPage, NewProposesTheFirstFreeNumberedName) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    f.click(keymap::NewCombo);
    EXPECT_FALSE(dlg.isRenaming()) << "New needs Combo mode";
    chooseCombo(f);
    EXPECT_EQ(addCombo(f), "New Combo 1");
    EXPECT_FALSE(dlg.isRenaming());
    EXPECT_EQ(addCombo(f), "New Combo 2");
    EXPECT_EQ(namesOf(dlg.session().m_comboLibrary),
              (std::vector<std::string>{"New Combo 1", "New Combo 2"}));

    CKeyMapFixture only2;
    only2.fillComboLibrary({{"New Combo 2", "B"}});
    only2.open(kKeyA);
    chooseCombo(only2);
    EXPECT_EQ(addCombo(only2), "New Combo 1");

    CKeyMapFixture chinese;
    chinese.state.language = Language::Chinese;
    chinese.open(kKeyA);
    chooseCombo(chinese);
    EXPECT_EQ(addCombo(chinese), "组合键1");
}

TEST(SingleComboPage, TheSelectedRowRenamesItsEntryAndNamesAreKeptAsTyped) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"One", "A"}, {"Two", "B"}});
    auto& dlg = f.open(kKeyA);
    f.click(keymap::FirstComboRow + 1);
    EXPECT_FALSE(dlg.isRenaming()) << "a click selects a row";
    EXPECT_EQ(dlg.session().m_combo.items(), std::vector<std::string>{"B"});
    f.click(keymap::FirstComboRow + 1);
    ASSERT_TRUE(dlg.isRenaming()) << "a click on the selected row renames it";
    EXPECT_EQ(dlg.renameEdit().text(), QStringLiteral("Two"));
    dlg.renameEdit().setText(QStringLiteral("Paste"));
    f.click(keymap::FirstComboRow);
    EXPECT_FALSE(dlg.isRenaming());
    EXPECT_EQ(dlg.session().m_comboLibrary.CursorPos, 1)
        << "the click that closes the editor does nothing else";
    EXPECT_EQ(namesOf(dlg.session().m_comboLibrary), (std::vector<std::string>{"One", "Paste"}));

    f.click(keymap::FirstComboRow + 1);
    dlg.renameEdit().setText(QString());
    QTest::keyClick(&dlg.renameEdit(), Qt::Key_Return);
    EXPECT_EQ(namesOf(dlg.session().m_comboLibrary), (std::vector<std::string>{"One", ""}));
    EXPECT_EQ(dlg.result(), 0) << "Enter in the name field does not end the dialog";
    // A click past the last entry selects nothing.
    f.click(keymap::FirstComboRow + 4);
    EXPECT_EQ(dlg.session().m_comboLibrary.CursorPos, 1);
}

TEST(SingleComboPage, ComboCaptureTakesAtMostSixKeysEachHeldKeyOnce) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"Copy", "C"}});
    auto& dlg = f.open(kKeyA);
    f.click(keymap::RecordCombo);
    EXPECT_FALSE(dlg.session().m_capturingCombo) << "recording a combo needs Combo mode";
    chooseCombo(f);
    f.click(keymap::RecordCombo);
    ASSERT_TRUE(dlg.session().m_capturingCombo);
    EXPECT_TRUE(dlg.session().m_combo.empty()) << "a recording starts from nothing";
    f.press(kVkLeftCtrl);
    f.press(kVkA);
    f.press(kVkA);
    f.press(kVkA);
    for (const int vk : {'S', 'D', 'F', 'G', 'H', 'J'}) {
        f.press(vk);
    }
    EXPECT_EQ(dlg.session().m_combo.items(),
              (std::vector<std::string>{"LCTRL", "A", "S", "D", "F", "G"}));
    dlg.renderCanvas();
    EXPECT_EQ(dlg.comboText().text(), QStringLiteral("LCTRL + A + S + D + F + G"));
    EXPECT_EQ(dlg.session().m_comboLibrary.childAtRow(0).items(), std::vector<std::string>{"C"})
        << "the library gets it at the stop";

    f.click(keymap::FirstTab + 3);
    EXPECT_FALSE(dlg.session().m_capturingCombo);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::SingleCombo)
        << "the stopping click does not switch pages";
    EXPECT_EQ(dlg.session().m_comboLibrary.childAtRow(0).items(), dlg.session().m_combo.items());
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::Combo);
    EXPECT_EQ(f.code(kKeyA, 0), 0);
    EXPECT_EQ(f.list(kKeyA, 0).items(), dlg.session().m_combo.items());
    EXPECT_EQ(f.state.keyConfig.PredefinedCombo.childAtRow(0).items(),
              dlg.session().m_combo.items());
}

TEST(SingleComboPage, OkOnAnEmptyComboLeavesTheKeyUnassigned) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"Empty", "A"}});
    f.state.keyConfig.PredefinedCombo.setChildAtRow(0, CActionList(6));
    f.open(kKeyA);
    chooseCombo(f);
    f.click(keymap::Ok);
    EXPECT_EQ(f.mode(kKeyA, 0), KeyMode::NotSet);
}

TEST(SingleComboPage, DeleteRemovesTheSelectedEntryAndLoadsTheNextOne) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"One", "A"}, {"Two", "B"}, {"Three", "C"}});
    auto& dlg = f.open(kKeyA);
    chooseCombo(f);
    f.click(keymap::FirstComboRow + 1);
    f.click(keymap::DeleteCombo);
    EXPECT_EQ(namesOf(dlg.session().m_comboLibrary), (std::vector<std::string>{"One", "Three"}));
    EXPECT_EQ(dlg.session().m_combo.items(), std::vector<std::string>{"C"});
    EXPECT_EQ(dlg.scrollBar(1006).scrollInfo().maximum, 2 + 6 - 1);
    f.click(keymap::DeleteCombo);
    f.click(keymap::DeleteCombo);
    EXPECT_TRUE(dlg.session().m_comboLibrary.empty());
    EXPECT_TRUE(dlg.session().m_combo.empty());
    f.click(keymap::DeleteCombo);
    f.click(keymap::RecordCombo);
    EXPECT_FALSE(dlg.session().m_capturingCombo) << "nothing to record into";
}

TEST(SingleComboPage, AfterTheScrollBarMovedNoEntryGetsAnotherEntrysContent) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"E1", "A"},
                        {"E2", "B"},
                        {"E3", "C"},
                        {"E4", "D"},
                        {"E5", "E"},
                        {"E6", "F"},
                        {"E7", "G"},
                        {"E8", "H"}});
    auto& dlg = f.open(kKeyA);
    chooseCombo(f);
    f.click(keymap::FirstComboRow);
    ASSERT_EQ(dlg.session().m_combo.items(), std::vector<std::string>{"A"});

    dlg.onScroll(dlg.scrollBar(1006), talvik::shell::scroll::ThumbPosition, 6);
    EXPECT_EQ(dlg.session().m_comboLibrary.ViewStartAt + dlg.session().m_comboLibrary.CursorPos, 6);
    EXPECT_EQ(dlg.session().m_combo.items(), std::vector<std::string>{"G"})
        << "the entry under the cursor";
    // Every write-back from now on lands on E7, with E7's own content.
    f.click(keymap::RecordCombo);
    f.press('Z');
    f.dlg().dispatchClick(-1);
    dlg.onScroll(dlg.scrollBar(1006), talvik::shell::scroll::LineUp, 0);
    f.click(keymap::Ok);
    const CActionList& saved = f.state.keyConfig.PredefinedCombo;
    const std::vector<std::string> expected = {"A", "B", "C", "D", "E", "F", "G", "H"};
    for (int i = 0; i < saved.count(); ++i) {
        const std::string content = saved.children()[static_cast<std::size_t>(i)].itemAtRow(0);
        const int recordedAt = dlg.session().m_comboLibrary.indexOfItem("E7");
        EXPECT_EQ(content, i == recordedAt ? "Z" : expected[static_cast<std::size_t>(i)])
            << "entry " << i;
    }
}

TEST(SingleComboPage, VirtualKeyboardChoosesTheSingleKeyOrTheCombo) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"Copy", "C"}});
    auto& dlg = f.open(kKeyA);
    int seenSingle = 0;
    f.virtualKeyboard = [&](int mode) {
        if (mode == 1) {
            seenSingle = f.state.vkSingleCode;
            f.state.vkSingleCode = 44; // S
            return true;
        }
        f.state.vkComboCodes = {67, 43, -1, 0, 0, 0};
        f.state.vkComboCount = 3;
        return true;
    };
    f.click(keymap::VirtualSingle);
    EXPECT_EQ(seenSingle, 43) << "the dialog opens on the current key, A";
    EXPECT_EQ(dlg.session().m_singleCode, 'S');

    chooseCombo(f);
    f.click(keymap::VirtualCombo);
    EXPECT_EQ(dlg.session().m_combo.items(), (std::vector<std::string>{"LCTRL", "A", "-- --"}));

    f.virtualKeyboard = [](int) { return false; };
    f.click(keymap::VirtualCombo);
    EXPECT_EQ(dlg.session().m_combo.count(), 3) << "Cancel in the virtual keyboard changes nothing";
    f.click(keymap::Ok);
    EXPECT_EQ(f.state.keyConfig.PredefinedCombo.childAtRow(0).items(),
              dlg.session().m_combo.items())
        << "the library keeps what the virtual keyboard chose for its entry";
}

TEST(SingleComboPage, OkWritesOnlyTheLibraryOfTheCurrentPage) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    chooseCombo(f);
    addCombo(f);
    ASSERT_EQ(dlg.session().m_comboLibrary.count(), 1);
    f.click(keymap::FirstTab + 3);
    f.click(keymap::Ok);
    EXPECT_TRUE(f.state.keyConfig.PredefinedCombo.empty()) << "a combo made on page 1 is dropped";
}

TEST(SingleComboPage, AClickOnTheListScrollBarStopsACaptureFirst) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"E1", "A"}, {"E2", "B"}});
    auto& dlg = f.open(kKeyA);
    chooseCombo(f);
    f.click(keymap::RecordCombo);
    f.press('K');
    QTest::mouseClick(&dlg.scrollBar(1006), Qt::LeftButton);
    EXPECT_FALSE(dlg.session().m_capturingCombo);
    EXPECT_EQ(dlg.session().m_comboLibrary.CursorPos, 0) << "the click only stopped the capture";
    EXPECT_EQ(dlg.session().m_comboLibrary.childAtRow(0).items(), std::vector<std::string>{"K"});
}

TEST(SingleComboPage, ACaptureTheHookEndsStopsAsAClickWouldAndTheUserIsTold) {
    talvik::test::CFakeHookClock clock;
    CKeyMapFixture f;
    f.fillComboLibrary({{"Copy", "C"}});
    auto& dlg = f.open(kKeyA);
    chooseCombo(f);
    f.click(keymap::RecordCombo);
    f.press('Y');
    clock.advance(std::chrono::seconds(121));
    ASSERT_TRUE(talvik::test::waitFor([&] { return !dlg.session().m_capturingCombo; }));
    EXPECT_FALSE(f.element(keymap::RecordCombo).active);
    EXPECT_TRUE(f.element(keymap::RecordComboLabel).visible);
    EXPECT_FALSE(f.element(keymap::CaptureNotice).visible);
    EXPECT_EQ(dlg.session().m_comboLibrary.childAtRow(0).items(), std::vector<std::string>{"Y"});
    EXPECT_EQ(f.messages, QStringList{talvik::shell::CKeyCapture::noticeText(HookStatus::IdleEnded,
                                                                             Language::English)});
    EXPECT_EQ(GetHookStatus(), HookStatus::NotInstalled);
}
