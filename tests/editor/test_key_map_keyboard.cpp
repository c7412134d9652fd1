// The key settings dialog from the keyboard: the order Tab takes through a
// page, Ctrl+Tab through the pages, the arrow keys in a list, Enter and Space
// on the focused element, and a capture that keeps every key, Tab included.

#include "KeyMapFixture.h"
#include "shell/FocusRingCheck.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using talvik::test::CKeyMapFixture;
namespace keymap = talvik::layout::keymap_id;
using talvik::text::Language;

namespace {

constexpr int kKeyA = 43;
// The X keycode of Tab, as a key typed into the window carries it.
constexpr quint32 kKeycodeTab = 23;

int focusedId(talvik::editor::COrsaDialogKeyMapSettings& dlg) {
    const int index = dlg.focusedElement();
    return index < 0 ? -1 : dlg.elements()[static_cast<std::size_t>(index)].id;
}

void tab(QWidget& to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&to, Qt::Key_Tab, modifiers);
}

} // namespace

TEST(KeyMapKeyboard, TabCrossesThePageInReadingOrderWithTheListAsOneStop) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    ASSERT_TRUE(f.initialised);
    ASSERT_EQ(dlg.session().m_page, KeyMapPage::SingleCombo);
    std::vector<int> ids;
    for (int i = 0; i < 22; ++i) {
        tab(dlg);
        ids.push_back(focusedId(dlg));
    }
    const std::vector<int> expected{
        keymap::Close,        keymap::FirstTab,      keymap::FirstTab + 1,  keymap::FirstTab + 2,
        keymap::FirstTab + 3, keymap::FirstTab + 4,  keymap::FirstTab + 5,  keymap::FirstTab + 6,
        keymap::SingleRadio,  keymap::ComboRadio,    keymap::FirstComboRow, keymap::RecordSingle,
        keymap::RecordCombo,  keymap::VirtualSingle, keymap::NewCombo,      keymap::DeleteCombo,
        keymap::VirtualCombo, keymap::Default,       keymap::Clear,         keymap::Ok,
        keymap::Cancel,       keymap::Close};
    EXPECT_EQ(ids, expected)
        << "the rows under the combo text box are no stop: the box covers them";
}

TEST(KeyMapKeyboard, CtrlTabTurnsThePagesRoundFromAnywhereAndRingsTheTab) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    ASSERT_TRUE(f.initialised);
    std::vector<KeyMapPage> pages;
    for (int i = 0; i < 7; ++i) {
        tab(dlg, Qt::ControlModifier);
        pages.push_back(dlg.session().m_page);
    }
    EXPECT_EQ(pages, (std::vector<KeyMapPage>{KeyMapPage::Macro, KeyMapPage::Emulation,
                                              KeyMapPage::Multimedia, KeyMapPage::Mouse,
                                              KeyMapPage::Function, KeyMapPage::Power,
                                              KeyMapPage::SingleCombo}));
    EXPECT_EQ(focusedId(dlg), keymap::FirstTab);
    EXPECT_TRUE(dlg.focusRingShown());
    QTest::keyClick(&dlg, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Power) << "and back round";
    EXPECT_EQ(focusedId(dlg), keymap::FirstTab + 6);

    tab(dlg, Qt::ControlModifier);
    tab(dlg, Qt::ControlModifier);
    ASSERT_EQ(dlg.session().m_page, KeyMapPage::Macro);
    dlg.countEdit().setFocus();
    tab(dlg.countEdit(), Qt::ControlModifier);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Emulation) << "from a number field too";
    EXPECT_EQ(focusedId(dlg), keymap::FirstTab + 2);
    EXPECT_EQ(dlg.focusWidget(), &dlg) << "the hidden field's focus came back to the dialog";
    EXPECT_FALSE(dlg.clickWaiting());
}

TEST(KeyMapKeyboard, ArrowsMoveTheSelectionOfTheFocusedListAsClicksOnItsRowsDo) {
    CKeyMapFixture f;
    f.fillComboLibrary({{"one", "A"},
                        {"two", "B"},
                        {"three", "C"},
                        {"four", "D"},
                        {"five", "E"},
                        {"six", "F"},
                        {"seven", "G"},
                        {"eight", "H"}});
    auto& dlg = f.open(kKeyA);
    ASSERT_TRUE(f.initialised);
    dlg.focusElement(dlg.indexOfId(keymap::ComboRadio), true);
    tab(dlg);
    ASSERT_EQ(focusedId(dlg), keymap::FirstComboRow) << "the list's selected row";
    QTest::keyClick(&dlg, Qt::Key_Down);
    EXPECT_EQ(focusedId(dlg), keymap::FirstComboRow + 1);
    EXPECT_TRUE(f.element(keymap::FirstComboRow + 1).active);
    EXPECT_EQ(dlg.comboText().text(), QStringLiteral("B")) << "the entry is loaded";
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(&dlg, Qt::Key_Down);
    }
    const auto& library = dlg.session().m_comboLibrary;
    EXPECT_EQ(library.ViewStartAt, 2) << "scrolled by as many rows as it took";
    EXPECT_EQ(library.CursorPos, 5);
    EXPECT_EQ(focusedId(dlg), keymap::FirstComboRow + 5);
    EXPECT_EQ(f.element(keymap::FirstComboRow + 5).caption(Language::English),
              QStringLiteral("eight"));
    EXPECT_EQ(dlg.comboText().text(), QStringLiteral("H"));
    QTest::keyClick(&dlg, Qt::Key_Down);
    EXPECT_EQ(library.ViewStartAt + library.CursorPos, 7) << "the last stays the last";
    QTest::keyClick(&dlg, Qt::Key_Up);
    EXPECT_EQ(focusedId(dlg), keymap::FirstComboRow + 4);
    EXPECT_EQ(dlg.comboText().text(), QStringLiteral("G"));
    EXPECT_FALSE(dlg.isRenaming()) << "moving never renames, as a second click would";

    QTest::keyClick(&dlg, Qt::Key_Right);
    EXPECT_EQ(focusedId(dlg), keymap::FirstComboRow + 4) << "Right leads nowhere in a list";
    tab(dlg);
    QTest::keyClick(&dlg, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedId(dlg), keymap::FirstComboRow + 4) << "Tab comes back to the selection";
}

TEST(KeyMapKeyboard, EnterAndSpaceActOnTheRingedElementAtOnceEnterAloneIsOk) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    ASSERT_TRUE(f.initialised);
    ASSERT_TRUE(dlg.session().m_isSingle);
    dlg.focusElement(dlg.indexOfId(keymap::ComboRadio), true);
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_FALSE(dlg.session().m_isSingle) << "the radio, as a click on it";
    EXPECT_FALSE(dlg.clickWaiting()) << "no double click to wait for";
    EXPECT_NE(dlg.result(), QDialog::Accepted) << "Enter did not confirm";
    dlg.focusElement(dlg.indexOfId(keymap::FirstTab + 3), true);
    QTest::keyClick(&dlg, Qt::Key_Space);
    EXPECT_EQ(dlg.session().m_page, KeyMapPage::Multimedia);

    dlg.focusElement(dlg.indexOfId(keymap::FirstTab + 3), false); // as a click leaves it
    dlg.presetDefault(113);
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted) << "no ring: Enter is OK";
    EXPECT_EQ(f.code(kKeyA, 0), 113);
}

TEST(KeyMapKeyboard, WhileACaptureRunsTabIsCapturedAndTheFocusStays) {
    CKeyMapFixture f;
    auto& dlg = f.open(kKeyA);
    ASSERT_TRUE(f.initialised);
    dlg.focusElement(dlg.indexOfId(keymap::RecordSingle), true);
    QTest::keyClick(&dlg, Qt::Key_Return);
    ASSERT_TRUE(dlg.session().m_capturingSingle);
    const int before = dlg.session().m_singleCode;
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Tab, Qt::KeyboardModifiers()},
          std::pair{Qt::Key_Tab, Qt::KeyboardModifiers(Qt::ControlModifier)}}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, kKeycodeTab, 0, 0);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, kKeycodeTab, 0, 0);
        QCoreApplication::sendEvent(&dlg, &press);
        QCoreApplication::sendEvent(&dlg, &release);
        EXPECT_EQ(focusedId(dlg), keymap::RecordSingle);
        EXPECT_EQ(dlg.session().m_page, KeyMapPage::SingleCombo);
    }
    constexpr int kVkTab = 9;
    ASSERT_NE(before, kVkTab);
    ASSERT_TRUE(talvik::test::waitFor([&] { return dlg.session().m_singleCode == kVkTab; }))
        << "Tab is the key captured";
    EXPECT_TRUE(dlg.session().m_capturingSingle) << "and the capture goes on, as for any key";
    EXPECT_EQ(focusedId(dlg), keymap::RecordSingle);
}

// The ring on a page tab after Ctrl+Tab, at resolution 1 and 2, in both
// languages.
TEST(KeyMapKeyboard, TheRingOnATabAtResolutionOneAndTwo) {
    for (const QSize screen : {QSize(1920, 1080), QSize(3840, 2160)}) {
        CKeyMapFixture f(1, screen);
        ASSERT_TRUE(f.loaded);
        auto& dlg = f.open();
        ASSERT_TRUE(f.initialised);
        const QString suffix =
            screen.height() > 1080 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        for (int turn = 0; turn < 3; ++turn) {
            tab(dlg, Qt::ControlModifier);
        }
        const int tab = dlg.indexOfId(keymap::FirstTab + 3);
        ASSERT_EQ(dlg.focusedElement(), tab) << "Ctrl+Tab rings the tab of the page it turns to";
        EXPECT_TRUE(talvik::test::ringDrawnAround(dlg, tab));
        for (const Language language : {Language::English, Language::Chinese}) {
            f.state.language = language;
            talvik::test::saveCanvasShot(dlg.renderCanvas(),
                                         QStringLiteral("focus-ring-tab-%1")
                                                 .arg(language == Language::English
                                                          ? QLatin1String("en")
                                                          : QLatin1String("zh")) +
                                             suffix);
        }
    }
}
