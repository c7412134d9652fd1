// The main window opens the key settings dialog for the key clicked, on the
// layer it shows, and counts the configuration as changed only after OK.

#include "shell/ProgramFixture.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "talvik/layout/KeySettingsLayout.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace talvik::model;

using talvik::editor::COrsaDialogKeyMapSettings;
using talvik::test::CProgramFixture;
namespace keymap = talvik::layout::keymap_id;

namespace {

constexpr int kKeyA = 43;
constexpr int kSlotOfKeyA = 12 + kKeyA;

// Runs `act` on the key settings dialog once it runs modally.
void whenTheDialogRuns(const std::function<void(COrsaDialogKeyMapSettings&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = dynamic_cast<COrsaDialogKeyMapSettings*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no key settings dialog runs";
        act(*dialog);
    });
}

void click(COrsaDialogKeyMapSettings& dialog, int id) {
    dialog.dispatchClick(dialog.indexOfId(id));
}

} // namespace

TEST(KeyMapOpening, AKeyClickEditsThatKeyOnTheLayerShownAndOkMarksTheChange) {
    CProgramFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.dlg().runCommand(talvik::layout::main_id::Layer, 12);
    int seenKey = 0;
    int seenLevel = -1;
    whenTheDialogRuns([&](COrsaDialogKeyMapSettings& dialog) {
        seenKey = f.state.editKey;
        seenLevel = f.state.editLevel;
        dialog.presetDefault(113);
        click(dialog, keymap::Ok);
    });
    f.dlg().runCommand(talvik::layout::main_id::FirstKey + kKeyA - 1, kSlotOfKeyA);
    EXPECT_EQ(seenKey, kKeyA);
    EXPECT_EQ(seenLevel, 1);
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][1], KeyMode::Multimedia);
    EXPECT_EQ(f.state.keyConfig.HWCode[kKeyA][1], 113);
    EXPECT_EQ(f.state.modified, 1);
}

TEST(KeyMapOpening, CancelLeavesTheConfigurationUnchangedAndUnmarked) {
    CProgramFixture f(1);
    ASSERT_TRUE(f.initialised);
    whenTheDialogRuns([](COrsaDialogKeyMapSettings& dialog) {
        dialog.presetDefault(113);
        click(dialog, keymap::Cancel);
    });
    f.dlg().runCommand(talvik::layout::main_id::FirstKey + kKeyA - 1, kSlotOfKeyA);
    EXPECT_EQ(f.state.keyConfig.Mode[kKeyA][0], KeyMode::Single);
    EXPECT_EQ(f.state.modified, 0);
}

TEST(KeyMapOpening, AKeyClickInTheBusyPeriodAfterTheOpenDialogOpensNothing) {
    CProgramFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.dlg().show();
    f.dlg().runCommand(talvik::layout::main_id::OpenProfile, 6); // cancelled: busy all the same
    ASSERT_EQ(f.state.busy, 1);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog =
                dynamic_cast<COrsaDialogKeyMapSettings*>(QApplication::activeModalWidget())) {
            opened = true;
            click(*dialog, keymap::Cancel);
        }
    });
    talvik::test::clickElement(f, kSlotOfKeyA);
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened) << "a click during the busy period does nothing";

    ASSERT_TRUE(talvik::test::waitFor([&] { return f.state.busy == 0; }));
    whenTheDialogRuns([&](COrsaDialogKeyMapSettings& dialog) {
        opened = true;
        click(dialog, keymap::Cancel);
    });
    talvik::test::clickElement(f, kSlotOfKeyA);
    EXPECT_TRUE(opened);
    EXPECT_EQ(f.state.editKey, kKeyA);
}
