// The backlight settings dialog running its Read and Write through the real
// progress dialog and the simulated keyboard: what reaches the keyboard (its
// traffic log), what the user is told, and a keyboard that stops answering.
// The cases that need a log or a fault have a simulated keyboard of their own.

#include "DeviceFixture.h"

#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogProgress.h"

#include "talvik/layout/DeviceLayout.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace talvik::model;

using talvik::device::COrsaDialogBkLightSettings;
using talvik::device::COrsaDialogProgress;
using talvik::test::CDeviceFixture;
namespace id = talvik::layout::backlight_id;
using talvik::text::Language;

namespace {

void click(COrsaDialogBkLightSettings& dialog, int elementId) {
    for (const SkinElement& e : dialog.elements()) {
        if (e.id == elementId && !e.isLabel) {
            talvik::test::sendClick(
                dialog, QPoint((e.rect.left + e.rect.right) / 2, (e.rect.top + e.rect.bottom) / 2));
            return;
        }
    }
    FAIL() << "no element " << elementId;
}

void paintRainbow(CAppState& state) {
    for (std::size_t i = 1; i < state.keyConfig.LightAreas.size(); ++i) {
        const int v = static_cast<int>(i);
        state.keyConfig.LightAreas[i] = {v * 2, 255 - v, v};
    }
}

// A settings dialog that runs its jobs in the real progress dialog.
struct CLiveSettings {
    explicit CLiveSettings(CDeviceFixture& f) : dialog(f.app, f.state, f.slot) {
        dialog.setPrompts(f.prompts());
        EXPECT_TRUE(dialog.initialise(QSize(1920, 1080)));
    }
    COrsaDialogBkLightSettings dialog;
};

// Cancels the progress dialog once it shows.
void cancelProgressSoon() {
    QTimer::singleShot(150, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* progress = dynamic_cast<COrsaDialogProgress*>(w);
                progress != nullptr && progress->isVisible()) {
                const SkinRect& cancel = progress->elements().at(1).rect;
                talvik::test::sendClick(*progress, QPoint((cancel.left + cancel.right) / 2,
                                                          (cancel.top + cancel.bottom) / 2));
            }
        }
    });
}

std::vector<std::string> logLines(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

int hexByte(const std::string& line, std::size_t index) {
    return std::stoi(line.substr(2 + 2 * index, 2), nullptr, 16);
}

} // namespace

TEST(BacklightJobs, DefaultThenOkTouchesNoKeyboardAndALaterWriteSends261Zeros) {
    talvik::test::CTempDir dir;
    const std::string file = (dir.path() / "traffic.log").string();
    CDeviceFixture f(1, {.trafficLog = file});
    ASSERT_TRUE(f.connected);
    paintRainbow(f.state);
    const std::size_t before = logLines(file).size();
    {
        CLiveSettings first(f);
        click(first.dialog, id::Default);
        click(first.dialog, id::Ok);
    }
    EXPECT_EQ(logLines(file).size(), before) << "OK keeps the colours without a transfer";
    EXPECT_EQ(f.state.keyConfig.LightAreas[44].Green, 0);

    CLiveSettings second(f);
    click(second.dialog, id::Write);
    EXPECT_EQ(second.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(f.messages, QStringList{QStringLiteral("OK!")});
    std::vector<int> light;
    bool begun = false;
    bool ended = false;
    for (const std::string& line : logLines(file)) {
        if (line.rfind("W 00e1", 0) == 0) {
            begun = true;
        } else if (line.rfind("W 00e0", 0) == 0) {
            for (int i = 0; i < hexByte(line, 2); ++i) {
                light.push_back(hexByte(line, 3 + static_cast<std::size_t>(i)));
            }
        } else if (begun && line.rfind("W e6e6", 0) == 0) { // the end frame is all E6
            ended = true;
        }
    }
    EXPECT_TRUE(begun && ended);
    ASSERT_EQ(light.size(), 261u);
    EXPECT_EQ(std::count(light.begin(), light.end(), 0), 261);
}

TEST(BacklightJobs, ReadBringsTheKeyboardsColoursIntoTheWorkingCopy) {
    CDeviceFixture f(4, true, Language::English);
    paintRainbow(f.state);
    {
        CLiveSettings writer(f);
        click(writer.dialog, id::Write);
        ASSERT_EQ(f.messages, QStringList{QStringLiteral("OK!")});
    }
    f.state.keyConfig.LightAreas = {};
    CLiveSettings reader(f);
    click(reader.dialog, id::Read);
    EXPECT_EQ(f.messages.last(), QStringLiteral("OK!"));
    EXPECT_EQ(reader.dialog.workingCopy()[30].Red, 60);
    EXPECT_EQ(reader.dialog.workingCopy()[87].Blue, 87);
    EXPECT_EQ(reader.dialog.result(), 0) << "Read keeps the dialog open";
}

TEST(BacklightJobs, AReadCancelledInTheProgressDialogSaysFailedAndKeepsTheWorkingCopy) {
    CDeviceFixture f(1, true);
    CLiveSettings s(f);
    f.colours = {QColor(11, 22, 33)};
    click(s.dialog, id::FirstKey + 9);
    cancelProgressSoon();
    click(s.dialog, id::Read);
    EXPECT_EQ(f.messages, QStringList{QStringLiteral("Failed!")});
    EXPECT_EQ(s.dialog.workingCopy()[10].Green, 22);
    // The cancelled worker may still be settling; the next transfer waits for it.
    f.slot.waitUntilFree();
}

TEST(BacklightJobs, AKeyboardThatStopsAnsweringFailsTheReadAndTheWorkingCopyStays) {
    CDeviceFixture f(1, {.faults = "silent"});
    f.state.keyConfig.LightAreas[5] = {5, 6, 7};
    CLiveSettings s(f);
    click(s.dialog, id::Read);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].startsWith(QStringLiteral("从键盘读取背光失败")))
        << f.messages[0].toStdString();
    EXPECT_EQ(s.dialog.workingCopy()[5].Green, 6);
    EXPECT_EQ(f.state.keyConfig.LightAreas[5].Green, 6);
}

// The keyboard is gone when the write begins. Losing it in the middle of the
// light area's seven reports would be a race: the simulated channel holds up to
// six reports the keyboard has not taken yet, so the sending can end before the
// loss is seen. The long key table write covers a loss in the middle.
TEST(BacklightJobs, AKeyboardGoneWhenTheWriteBeginsIsReportedAsAFailedWrite) {
    CDeviceFixture f(1, {.faults = "disconnect:0"}, Language::English);
    CLiveSettings s(f);
    f.colours = {QColor(1, 2, 3)};
    click(s.dialog, id::SetAll);
    click(s.dialog, id::Write);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].startsWith(QStringLiteral("Writing the backlight")))
        << f.messages[0].toStdString();
    EXPECT_EQ(s.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(f.state.keyConfig.LightAreas[60].Blue, 3) << "the colours stay in the model";
}
