// The main window from the keyboard: Tab through the buttons into the
// keyboard picture, the arrow keys between keys, Enter on the focused element
// and Escape, and the information box for the key the keyboard reached.

#include "FocusRingCheck.h"
#include "MainWindowFixture.h"

#include "talvik/layout/SkinLayout.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using talvik::test::CMainWindowFixture;
namespace id = talvik::layout::main_id;

namespace {

// Key numbers of the main table: element slot 12 + key.
constexpr int kKey1 = 15;
constexpr int kKeyQ = 29;
constexpr int kKeyW = 30;
constexpr int kKeyA = 43;

int slotOfKey(int key) {
    return 12 + key;
}

void press(QWidget& w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&w, &event);
}

// The key number of the focused element, or -1 when it is no key.
int focusedKey(CMainWindowFixture& f) {
    const int index = f.dlg().focusedElement();
    return index < 0 ? -1 : f.dlg().elements()[static_cast<std::size_t>(index)].keyIndex;
}

} // namespace

TEST(MainFocus, ArrowsGoFromAKeyToItsNeighboursOnTheKeyboard) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    const auto from = [&](int key, int arrow) {
        f.dlg().focusElement(slotOfKey(key), true);
        press(f.dlg(), arrow);
        return focusedKey(f);
    };
    EXPECT_EQ(from(kKeyQ, Qt::Key_Right), kKeyW);
    EXPECT_EQ(from(kKeyQ, Qt::Key_Down), kKeyA);
    EXPECT_EQ(from(kKeyQ, Qt::Key_Up), kKey1);
    EXPECT_EQ(from(kKeyQ, Qt::Key_Left), 28) << "Tab";
    EXPECT_EQ(from(1, Qt::Key_Up), 1) << "Esc has nothing above it among the keys";
    EXPECT_EQ(from(13, Qt::Key_Right), 75) << "from F12 across the gap to PrtSc";
    EXPECT_EQ(from(70, Qt::Key_Up), 60) << "from the space bar to B, above its middle";
    // Up then Down comes back, though Up from W is a tie between 2 and 3.
    f.dlg().focusElement(slotOfKey(kKeyW), true);
    press(f.dlg(), Qt::Key_Up);
    press(f.dlg(), Qt::Key_Down);
    EXPECT_EQ(focusedKey(f), kKeyW);
}

TEST(MainFocus, TabCrossesTheButtonsAndEntersTheKeyboardOnce) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    std::vector<int> ids;
    for (int i = 0; i < 15; ++i) {
        press(f.dlg(), Qt::Key_Tab);
        ids.push_back(f.dlg().elements()[static_cast<std::size_t>(f.dlg().focusedElement())].id);
    }
    EXPECT_EQ(ids, (std::vector<int>{id::Minimise, id::Help, id::Exit, id::SaveProfile,
                                     id::OpenProfile, id::ClearConfig, id::WriteKeys, id::Backlight,
                                     id::ReadAll, id::Firmware, id::ReadCounters, id::Language,
                                     id::Layer, id::FirstKey, id::Minimise}))
        << "the top row, the command row, then the keys from Esc, and round";
    f.dlg().focusElement(slotOfKey(kKeyA), true);
    press(f.dlg(), Qt::Key_Backtab, Qt::ShiftModifier);
    press(f.dlg(), Qt::Key_Tab);
    EXPECT_EQ(focusedKey(f), kKeyA) << "Tab comes back to the key it left";
}

TEST(MainFocus, EnterActsOnTheRingedElementAndOtherwiseLeavesAsEscapeAlwaysDoes) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.dlg().show();
    f.dlg().focusElement(f.dlg().indexOfId(id::Layer), true);
    press(f.dlg(), Qt::Key_Return);
    EXPECT_EQ(f.state.editLevel, 1) << "the layer switch, as a click does";
    EXPECT_TRUE(f.dlg().isVisible());
    press(f.dlg(), Qt::Key_Space);
    EXPECT_EQ(f.state.editLevel, 0);
    f.dlg().focusElement(slotOfKey(kKeyA), true);
    press(f.dlg(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(f.state.editKey, kKeyA) << "the key's settings are what Enter opens";
    f.state.busy = 1;
    f.dlg().focusElement(f.dlg().indexOfId(id::Layer), true);
    press(f.dlg(), Qt::Key_Return);
    EXPECT_EQ(f.state.editLevel, 0) << "a busy window drops Enter as it drops a click";
    f.state.busy = 0;
    EXPECT_TRUE(f.questions.isEmpty());

    press(f.dlg(), Qt::Key_Escape);
    EXPECT_FALSE(f.dlg().isVisible()) << "Escape leaves even with the ring on an element";
    EXPECT_EQ(f.questions.size(), 1);

    CMainWindowFixture g(1);
    g.dlg().show();
    g.dlg().focusElement(g.dlg().indexOfId(id::Layer), false); // as a click leaves it
    press(g.dlg(), Qt::Key_Return);
    EXPECT_FALSE(g.dlg().isVisible()) << "no ring: Enter leaves as before";
    EXPECT_EQ(g.state.editLevel, 0);
}

TEST(MainFocus, TheInformationBoxTellsOfTheFocusedKeyUnlessThePointerIsOnOne) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.dlg().renderCanvas();
    const QString header = f.dlg().infoBox().text();
    f.dlg().focusElement(slotOfKey(kKeyW), true);
    f.dlg().renderCanvas();
    EXPECT_EQ(f.dlg().infoBox().text(), header + f.dlg().keyDetails(kKeyW));
    f.dlg().focusElement(slotOfKey(kKeyW), false);
    f.dlg().renderCanvas();
    EXPECT_EQ(f.dlg().infoBox().text(), header) << "no ring, no details";
}

// The ring on a key and on a button, at scale 1 and on a screen that needs
// pictures of resolution 2: crisp bands of whole canvas pixels.
TEST(MainFocus, TheRingOnAKeyAndAButtonAtResolutionOneAndTwo) {
    for (const QSize screen : {QSize(1920, 1080), QSize(3840, 2160)}) {
        CMainWindowFixture f(1, screen);
        ASSERT_TRUE(f.initialised);
        const QString suffix =
            screen.height() > 1080 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        f.dlg().focusElement(slotOfKey(kKeyQ), true);
        EXPECT_TRUE(talvik::test::ringDrawnAround(f.dlg(), slotOfKey(kKeyQ)));
        talvik::test::saveCanvasShot(f.dlg().renderCanvas(),
                                     QStringLiteral("focus-ring-key") + suffix);
        const int write = f.dlg().indexOfId(id::WriteKeys);
        f.dlg().focusElement(write, true);
        EXPECT_TRUE(talvik::test::ringDrawnAround(f.dlg(), write));
        talvik::test::saveCanvasShot(f.dlg().renderCanvas(),
                                     QStringLiteral("focus-ring-button") + suffix);
    }
}
