// The backlight settings dialog and its multi-key selection on the offscreen
// platform: the working copy and every click rule, with the colour dialog,
// the messages and the device jobs answered by the test.

#include "AccessibleEvents.h"
#include "DeviceFixture.h"

#include "talvik/device/COrsaDialogBkLightMultiSelect.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/jobs/CDeviceJob.h"

#include "talvik/layout/DeviceLayout.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace talvik::model;

using talvik::device::CMultiSelection;
using talvik::device::COrsaDialogBkLightMultiSelect;
using talvik::device::COrsaDialogBkLightSettings;
using talvik::device::LightTable;
using talvik::jobs::EJobEnd;
using talvik::test::CDeviceFixture;
namespace id = talvik::layout::backlight_id;
using talvik::text::Language;

namespace {

QPoint centreOf(const SkinRect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

template <typename Dialog> void click(Dialog& dialog, int elementId) {
    for (const SkinElement& e : dialog.elements()) {
        if (e.id == elementId && !e.isLabel) {
            talvik::test::sendClick(dialog, centreOf(e.rect));
            return;
        }
    }
    FAIL() << "no element " << elementId;
}

bool same(const LightArea& a, const LightArea& b) {
    return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
}

LightTable rainbow() {
    LightTable t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        t[i] = {static_cast<int>(i), static_cast<int>(2 * i), static_cast<int>(255 - i)};
    }
    return t;
}

bool equalTables(const LightTable& a, const LightTable& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!same(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

// A settings dialog on the fixture whose jobs answer `outcome` and note their codes.
struct CSettings {
    explicit CSettings(CDeviceFixture& f) : dialog(f.app, f.state, f.slot) {
        dialog.setPrompts(f.prompts());
        dialog.setJobRunner([this, &f](talvik::jobs::EJob job) {
            jobs.push_back(static_cast<int>(job));
            modelAtJob = f.state.keyConfig.LightAreas;
            if (job == talvik::jobs::EJob::ReadLight && outcome == EJobEnd::Succeeded) {
                f.state.keyConfig.LightAreas = keyboard;
            }
            return talvik::jobs::CJobReport{outcome, "it failed"};
        });
        initialised = dialog.initialise(QSize(1920, 1080));
    }

    COrsaDialogBkLightSettings dialog;
    bool initialised = false;
    EJobEnd outcome = EJobEnd::Succeeded;
    LightTable keyboard{}; // what a successful read finds
    LightTable modelAtJob{};
    std::vector<int> jobs;
};

// A multi-key selection dialog on the fixture over `lights`, with the
// fixture's prompts.
struct CMultiSelect {
    CMultiSelect(CDeviceFixture& f, const LightTable& lights)
        : colours(lights), dialog(f.app, f.state, colours, result) {
        dialog.setPrompts(f.prompts());
        initialised = dialog.initialise(QSize(1920, 1080));
    }

    LightTable colours;
    CMultiSelection result;
    COrsaDialogBkLightMultiSelect dialog;
    bool initialised = false;
};

} // namespace

TEST(BacklightSettings, OpensOnAWorkingCopyOfTheModelInTheRightPlace) {
    CDeviceFixture f(1);
    ASSERT_TRUE(f.loaded);
    f.state.keyConfig.LightAreas = rainbow();
    CSettings s(f);
    ASSERT_TRUE(s.initialised);
    EXPECT_TRUE(equalTables(s.dialog.workingCopy(), rainbow()));
    EXPECT_EQ(s.dialog.size(),
              QSize(talvik::layout::kBacklightWidth, talvik::layout::kBacklightHeight));
    EXPECT_EQ(s.dialog.pos(), QPoint((1920 - 1250) / 2, (1080 - 476) / 2));
    EXPECT_EQ(s.dialog.elements()[8].captions.at("en-US"), QStringLiteral("Esc"));
}

TEST(BacklightSettings, AtScaleTwoEveryNonLabelRectangleDoubles) {
    CDeviceFixture f(4);
    f.state.uiScale = 2.0f;
    COrsaDialogBkLightSettings dialog(f.app, f.state, f.slot);
    ASSERT_TRUE(dialog.initialise(QSize(3840, 2160)));
    EXPECT_EQ(dialog.size(), QSize(2500, 952));
    for (const SkinElement& e : dialog.elements()) {
        if (e.id == id::Read) {
            EXPECT_EQ(e.rect, e.isLabel ? (SkinRect{521, 428, 603, 454})
                                        : (SkinRect{1032, 840, 1202, 908}));
        }
    }
}

TEST(BacklightSettings, DefaultThenCancelLeavesTheModel) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas = rainbow();
    CSettings s(f);
    click(s.dialog, id::Default);
    EXPECT_TRUE(same(s.dialog.workingCopy()[40], LightArea{}));
    click(s.dialog, id::Cancel);
    EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(equalTables(f.state.keyConfig.LightAreas, rainbow()));
    EXPECT_TRUE(s.jobs.empty());
}

TEST(BacklightSettings, DefaultThenOkStoresBlackWithoutTouchingTheKeyboard) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas = rainbow();
    CSettings s(f);
    click(s.dialog, id::Default);
    click(s.dialog, id::Ok);
    EXPECT_EQ(s.dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(equalTables(f.state.keyConfig.LightAreas, LightTable{}));
    EXPECT_TRUE(s.jobs.empty());
    EXPECT_TRUE(f.messages.isEmpty());
}

TEST(BacklightSettings, TheCloseControlKeepsNothing) {
    CDeviceFixture f(1);
    CSettings s(f);
    f.colours.push_back(QColor(9, 8, 7));
    click(s.dialog, id::FirstKey + 4);
    click(s.dialog, id::Close);
    EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(same(f.state.keyConfig.LightAreas[5], LightArea{}));
}

TEST(BacklightSettings, AKeyTakesTheChosenColourStartingFromItsOwn) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas[43] = {10, 20, 30};
    CSettings s(f);
    f.colours.push_back(QColor(200, 100, 50));
    click(s.dialog, id::FirstKey + 42); // light index 43, "A"
    ASSERT_EQ(f.colourAsked.size(), 1);
    EXPECT_EQ(f.colourAsked[0], QColor(10, 20, 30));
    EXPECT_TRUE(same(s.dialog.workingCopy()[43], LightArea{200, 100, 50}));
    EXPECT_TRUE(same(f.state.keyConfig.LightAreas[43], LightArea{10, 20, 30}))
        << "the model waits for OK or Write";
    EXPECT_EQ(s.dialog.repaintRequests(), 1);
}

TEST(BacklightSettings, PickingTheColourAKeyAlreadyHasChangesNothingAndDoesNotRepaint) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas[7] = {1, 2, 3};
    CSettings s(f);
    f.colours.push_back(QColor(1, 2, 3));
    click(s.dialog, id::FirstKey + 6);
    click(s.dialog, id::FirstKey + 6); // and a cancelled colour dialog
    EXPECT_EQ(f.colourAsked.size(), 2);
    EXPECT_EQ(s.dialog.repaintRequests(), 0);
    EXPECT_TRUE(same(s.dialog.workingCopy()[7], LightArea{1, 2, 3}));
}

TEST(BacklightSettings, SetAllStartsFromBlackAndFillsAll88Entries) {
    CDeviceFixture f(4);
    f.state.keyConfig.LightAreas = rainbow();
    CSettings s(f);
    click(s.dialog, id::SetAll); // cancelled: nothing happens
    EXPECT_TRUE(equalTables(s.dialog.workingCopy(), rainbow()));
    f.colours.push_back(QColor(0, 128, 255));
    click(s.dialog, id::SetAll);
    ASSERT_EQ(f.colourAsked.size(), 2);
    EXPECT_EQ(f.colourAsked[1], QColor(0, 0, 0));
    for (const LightArea& light : s.dialog.workingCopy()) {
        EXPECT_TRUE(same(light, LightArea{0, 128, 255}));
    }
}

TEST(BacklightSettings, MultiKeyColoursTheSelectedKeysAndNothingWhenNoneIsSelected) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas = rainbow();
    CSettings s(f);
    CMultiSelection answer;
    answer.colour = {7, 7, 7};
    bool chosen = true;
    LightTable handedOver{};
    s.dialog.setMultiSelectRunner([&](const LightTable& colours, CMultiSelection& result) {
        handedOver = colours;
        EXPECT_EQ(std::count(result.selected.begin(), result.selected.end(), true), 0)
            << "the selection starts cleared";
        result = answer;
        return chosen;
    });
    click(s.dialog, id::MultiKey);
    EXPECT_TRUE(equalTables(handedOver, rainbow()));
    EXPECT_TRUE(equalTables(s.dialog.workingCopy(), rainbow())) << "nothing selected";

    answer.selected[3] = true;
    answer.selected[87] = true;
    chosen = false; // the user closed the selection
    click(s.dialog, id::MultiKey);
    EXPECT_TRUE(equalTables(s.dialog.workingCopy(), rainbow()));

    chosen = true;
    click(s.dialog, id::MultiKey);
    EXPECT_TRUE(same(s.dialog.workingCopy()[3], LightArea{7, 7, 7}));
    EXPECT_TRUE(same(s.dialog.workingCopy()[87], LightArea{7, 7, 7}));
    EXPECT_TRUE(same(s.dialog.workingCopy()[4], rainbow()[4]));
}

TEST(BacklightSettings, ReadReplacesTheWorkingCopyOnlyWhenTheKeyboardAnswered) {
    CDeviceFixture f(1);
    CSettings s(f);
    s.keyboard = rainbow();
    f.colours.push_back(QColor(50, 60, 70));
    click(s.dialog, id::FirstKey + 9);

    s.outcome = EJobEnd::Cancelled;
    click(s.dialog, id::Read);
    EXPECT_EQ(s.jobs, std::vector<int>{6});
    EXPECT_EQ(f.messages, QStringList{QStringLiteral("Failed!")});
    EXPECT_TRUE(same(s.dialog.workingCopy()[10], LightArea{50, 60, 70})) << "kept";

    s.outcome = EJobEnd::Failed;
    click(s.dialog, id::Read);
    EXPECT_TRUE(same(s.dialog.workingCopy()[10], LightArea{50, 60, 70}));
    EXPECT_EQ(f.messages.last(), QStringLiteral("it failed"));

    f.state.language = Language::English;
    s.outcome = EJobEnd::Succeeded;
    click(s.dialog, id::Read);
    EXPECT_TRUE(equalTables(s.dialog.workingCopy(), rainbow()));
    EXPECT_EQ(f.messages.last(), QStringLiteral("OK!"));
    EXPECT_TRUE(s.dialog.isVisible() || s.dialog.result() == 0) << "Read keeps the dialog open";
}

TEST(BacklightSettings, WriteStoresTheWorkingCopyFirstThenReportsAndCloses) {
    for (const EJobEnd outcome :
         {EJobEnd::Succeeded, EJobEnd::Cancelled, EJobEnd::Failed, EJobEnd::NotConnected}) {
        CDeviceFixture f(1, false, Language::English);
        CSettings s(f);
        s.outcome = outcome;
        f.colours.push_back(QColor(1, 1, 1));
        click(s.dialog, id::SetAll);
        click(s.dialog, id::Write);
        EXPECT_EQ(s.jobs, std::vector<int>{4});
        EXPECT_TRUE(same(s.modelAtJob[50], LightArea{1, 1, 1})) << "the job writes the model";
        // Without a keyboard the dialog stays for another Write once it is back.
        EXPECT_EQ(s.dialog.result(),
                  outcome == EJobEnd::NotConnected ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_TRUE(same(f.state.keyConfig.LightAreas[50], LightArea{1, 1, 1}));
        ASSERT_EQ(f.messages.size(), 1);
        switch (outcome) {
        case EJobEnd::Succeeded:
            EXPECT_EQ(f.messages[0], QStringLiteral("OK!"));
            break;
        case EJobEnd::Cancelled:
            EXPECT_EQ(f.messages[0], QStringLiteral("Failed!"));
            break;
        case EJobEnd::Failed:
        case EJobEnd::NotConnected:
            EXPECT_EQ(f.messages[0], QStringLiteral("it failed"));
            break;
        }
    }
}

TEST(BacklightSettings, EachKeyIsFramedInItsWorkingColourJustOutsideItsRectangle) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas[1] = {10, 200, 30};
    f.state.keyConfig.LightAreas[70] = {250, 0, 250};
    CSettings s(f);
    const QImage canvas = s.dialog.renderCanvas();
    const SkinRect esc = talvik::layout::backlightKeyRect(1);
    const int midY = (esc.top + esc.bottom) / 2;
    EXPECT_EQ(canvas.pixelColor(esc.left - 1, midY), QColor(10, 200, 30));
    EXPECT_EQ(canvas.pixelColor(esc.left - 2, midY), QColor(10, 200, 30));
    EXPECT_NE(canvas.pixelColor(esc.left - 3, midY), QColor(10, 200, 30));
    EXPECT_NE(canvas.pixelColor(esc.left, midY), QColor(10, 200, 30));
    EXPECT_EQ(canvas.pixelColor(esc.right + 1, midY), QColor(10, 200, 30));
    EXPECT_EQ(canvas.pixelColor(esc.left - 2, esc.top - 2), QColor(10, 200, 30)) << "corner";
    const SkinRect space = talvik::layout::backlightKeyRect(70);
    EXPECT_EQ(canvas.pixelColor(500, space.top - 1), QColor(250, 0, 250));
    EXPECT_EQ(canvas.pixelColor(500, space.bottom + 1), QColor(250, 0, 250));
    EXPECT_EQ(canvas.pixelColor(500, space.bottom), QColor(250, 0, 250));
}

TEST(BacklightMultiSelect, ClicksToggleMarksAndFlagsAndSetColorReportsTheColour) {
    CDeviceFixture f(4);
    CMultiSelect m(f, rainbow());
    ASSERT_TRUE(m.initialised);
    click(m.dialog, id::FirstKey + 2);
    click(m.dialog, id::FirstKey + 5);
    click(m.dialog, id::FirstKey + 5);
    EXPECT_TRUE(m.result.selected[3]);
    EXPECT_FALSE(m.result.selected[6]);
    EXPECT_TRUE(m.dialog.elements()[m.dialog.indexOfId(id::FirstKey + 2)].active);
    EXPECT_FALSE(m.dialog.elements()[m.dialog.indexOfId(id::FirstKey + 5)].active);

    click(m.dialog, talvik::layout::multiselect_id::SetColor); // colour dialog cancelled
    EXPECT_EQ(m.dialog.result(), 0) << "still open";
    f.colours.push_back(QColor(90, 91, 92));
    click(m.dialog, talvik::layout::multiselect_id::SetColor);
    EXPECT_EQ(f.colourAsked.last(), QColor(0, 0, 0));
    EXPECT_EQ(m.dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(same(m.result.colour, LightArea{90, 91, 92}));
}

TEST(BacklightMultiSelect, TheCloseControlEndsWithCancel) {
    CDeviceFixture f(1);
    CMultiSelect m(f, LightTable{});
    ASSERT_TRUE(m.initialised);
    click(m.dialog, talvik::layout::multiselect_id::Close);
    EXPECT_EQ(m.dialog.result(), QDialog::Rejected);
}

TEST(BacklightMultiSelect, SelectedKeysComeFromTheActivePictureAndPureRedIsFramedApart) {
    CDeviceFixture f(1);
    LightTable colours{};
    colours[1] = {255, 0, 0};
    colours[2] = {255, 0, 1};
    CMultiSelect m(f, colours);
    ASSERT_TRUE(m.initialised);
    const SkinRect esc = talvik::layout::backlightKeyRect(1);
    const SkinRect f1 = talvik::layout::backlightKeyRect(2);
    const QImage before = m.dialog.renderCanvas();
    EXPECT_EQ(before.pixelColor(esc.left - 1, esc.top + 10), QColor(255, 1, 0));
    EXPECT_EQ(before.pixelColor(f1.left - 1, f1.top + 10), QColor(255, 0, 1));
    EXPECT_EQ(m.colours[1].Green, 0) << "the stored colour stays pure red";

    click(m.dialog, id::FirstKey); // light index 1, "Esc"
    const QImage after = m.dialog.renderCanvas();
    const QImage& active = f.app.picture(143);
    // The tick in the corner of a selected key.
    const QPoint tick(esc.right - 8, esc.top + 8);
    EXPECT_EQ(after.pixelColor(tick), active.pixelColor(tick));
    EXPECT_NE(before.pixelColor(tick), active.pixelColor(tick));
}

TEST(BacklightMultiSelect, FromTheKeyboardTheArrowsMoveAmongKeysAndSpaceMarksOne) {
    CDeviceFixture f(4);
    CMultiSelect m(f, rainbow());
    ASSERT_TRUE(m.initialised);
    const auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&m.dialog, &event);
    };
    const int first = m.dialog.indexOfId(id::FirstKey + 2);
    m.dialog.focusElement(first, true);
    press(Qt::Key_Right);
    const int moved = m.dialog.focusedElement();
    ASSERT_NE(moved, first);
    const SkinElement& key = m.dialog.elements()[static_cast<std::size_t>(moved)];
    ASSERT_GT(key.keyIndex, 0) << "the arrows keep to the keys";
    EXPECT_LT(m.dialog.elements()[static_cast<std::size_t>(first)].rect.right, key.rect.right);
    press(Qt::Key_Space);
    EXPECT_TRUE(m.result.selected[static_cast<std::size_t>(key.keyIndex)]);
    EXPECT_TRUE(key.active);
    press(Qt::Key_Space);
    EXPECT_FALSE(m.result.selected[static_cast<std::size_t>(key.keyIndex)]) << "as a second click";
    EXPECT_EQ(m.dialog.result(), 0) << "still open";
}

// To a screen reader a key says its colour after its name, a key of the
// multi-selection is checked while it is marked, and the close control,
// which shows only its cross, is "Close".
TEST(BacklightAccess, KeysSayTheirColourMarksAreCheckedTheCrossIsClose) {
    CDeviceFixture f(1);
    f.state.keyConfig.LightAreas = rainbow();
    CSettings s(f);
    ASSERT_TRUE(s.initialised);
    const auto accessOf = [](talvik::shell::CSkinWindow& w, int elementId) {
        return w.accessOf(w.indexOfId(elementId));
    };
    // Light 10 is (10, 20, 245) in the rainbow.
    EXPECT_TRUE(accessOf(s.dialog, id::FirstKey + 9).name.endsWith(QStringLiteral(", #0A14F5")))
        << accessOf(s.dialog, id::FirstKey + 9).name.toStdString();
    EXPECT_EQ(accessOf(s.dialog, id::Close).name, QStringLiteral("关闭"));
    f.state.language = Language::English;
    EXPECT_EQ(accessOf(s.dialog, id::Close).name, QStringLiteral("Close"));
    EXPECT_EQ(accessOf(s.dialog, id::Read).name, QStringLiteral("Read")) << "captions stay";

    {
        // A colour picked for a key is told as the key's new name.
        talvik::test::CAccessibleEvents events;
        f.colours.push_back(QColor(9, 8, 7));
        click(s.dialog, id::FirstKey + 9);
        const std::vector<QString> renamed = events.namesOf(QAccessible::NameChanged);
        EXPECT_NE(
            std::find(renamed.begin(), renamed.end(), accessOf(s.dialog, id::FirstKey + 9).name),
            renamed.end());
        EXPECT_TRUE(
            accessOf(s.dialog, id::FirstKey + 9).name.endsWith(QStringLiteral(", #090807")));
    }

    CMultiSelect m(f, rainbow());
    ASSERT_TRUE(m.initialised);
    talvik::test::CAccessibleEvents events;
    click(m.dialog, id::FirstKey + 2);
    EXPECT_EQ(events.namesOf(QAccessible::StateChanged),
              std::vector<QString>{accessOf(m.dialog, id::FirstKey + 2).name});
    const talvik::shell::SElementAccess marked = accessOf(m.dialog, id::FirstKey + 2);
    EXPECT_TRUE(marked.checkable && marked.checked);
    EXPECT_TRUE(marked.name.endsWith(QStringLiteral(", #0306FC")));
    const talvik::shell::SElementAccess unmarked = accessOf(m.dialog, id::FirstKey + 5);
    EXPECT_TRUE(unmarked.checkable && !unmarked.checked);
    EXPECT_EQ(accessOf(m.dialog, talvik::layout::multiselect_id::Close).name,
              QStringLiteral("Close"));
}
