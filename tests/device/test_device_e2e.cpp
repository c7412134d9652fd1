// The device dialogs on a real X server and the simulated keyboard, driven by
// real pointer events: their shapes, a colour picked by clicking a key, keys
// selected for one colour, and a firmware download in progress. With
// TALVIK_SCREENSHOT_DIR set they save what the screen shows, in both
// languages.

#include "DeviceFixture.h"
#include "XDriver.h"

#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogBkLightMultiSelect.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"

#include "talvik/text/Language.h"

#include "talvik/layout/DeviceLayout.h"
#include "support/TestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace talvik::model;

using talvik::device::CFirmwareDownload;
using talvik::device::CMultiSelection;
using talvik::device::COrsaDialogBkLightMultiSelect;
using talvik::device::COrsaDialogBkLightSettings;
using talvik::device::COrsaDialogFirmwareUpdate;
using talvik::test::CDeviceFixture;
using namespace talvik::test;
namespace layout = talvik::layout;
using talvik::text::Language;

namespace {

struct Case {
    int model;
    Language language;
    const char* shortName;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "model " << c.model << " " << talvik::text::tagOf(c.language);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return "Model" + std::to_string(info.param.model) + "_" + info.param.shortName;
}

// A rainbow across the keyboard, left to right, as a user might set it.
void paintRainbow(CAppState& state) {
    for (int index = 1; index <= layout::kKeyCount; ++index) {
        const layout::SkinRect r = layout::backlightKeyRect(index);
        const int hue = (r.left - 211) * 300 / (1045 - 211);
        const QColor c = QColor::fromHsv(hue, 255, 255);
        state.keyConfig.LightAreas[static_cast<std::size_t>(index)] = {c.red(), c.green(),
                                                                       c.blue()};
    }
}

const SkinElement& element(talvik::shell::CSkinWindow& w, int elementId) {
    return w.elements()[static_cast<std::size_t>(w.indexOfId(elementId))];
}

QString shotName(const char* dialog, const Case& c) {
    return QStringLiteral("%1-model%2-%3.png").arg(dialog).arg(c.model).arg(c.shortName);
}

class DeviceEndToEnd : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ASSERT_TRUE(useFixtureDisplay());
        qtApp();
    }
};

} // namespace

TEST_P(DeviceEndToEnd, BacklightDialogTakesAColourFromAClickedKey) {
    const Case c = GetParam();
    CDeviceFixture f(c.model, true, c.language);
    ASSERT_TRUE(f.connected);
    paintRainbow(f.state);
    COrsaDialogBkLightSettings dialog(f.app, f.state, f.slot);
    dialog.setPrompts(f.prompts());
    ASSERT_TRUE(dialog.initialise());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QImage first = grabScreen(dialog);
    EXPECT_NE(first.pixel(0, 0), qRgb(1, 3, 255)) << "the colour key is never shown";

    f.colours = {QColor(255, 255, 255)};
    clickAt(centreOf(dialog, element(dialog, layout::backlight_id::FirstKey).rect));
    ASSERT_TRUE(waitFor([&] { return dialog.workingCopy()[1].Green == 255; }));
    const layout::SkinRect esc = layout::backlightKeyRect(1);
    pointAt(centreOf(dialog, element(dialog, layout::backlight_id::FirstKey + 42).rect));
    const QImage shot = grabScreen(dialog);
    EXPECT_EQ(shot.pixel(esc.left - 1, esc.top + 20), qRgb(255, 255, 255));
    saveShot(shot, shotName("backlight", c));
    dialog.close();
}

TEST_P(DeviceEndToEnd, MultiSelectMarksTheClickedKeys) {
    const Case c = GetParam();
    CDeviceFixture f(c.model, true, c.language);
    paintRainbow(f.state);
    const talvik::device::LightTable colours = f.state.keyConfig.LightAreas;
    CMultiSelection result;
    COrsaDialogBkLightMultiSelect dialog(f.app, f.state, colours, result);
    ASSERT_TRUE(dialog.initialise());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (int index : {2, 3, 4, 5, 29, 30, 31, 70}) {
        clickAt(centreOf(dialog, element(dialog, 99 + index).rect));
    }
    ASSERT_TRUE(waitFor([&] { return result.selected[70]; }));
    EXPECT_TRUE(result.selected[2] && result.selected[31]);
    EXPECT_FALSE(result.selected[1]);
    pointAt(centreOf(dialog, element(dialog, layout::multiselect_id::SetColor).rect));
    saveShot(grabScreen(dialog), shotName("multikey", c));
    dialog.close();
}

TEST_P(DeviceEndToEnd, FirmwareDialogShowsADownloadInProgress) {
    const Case c = GetParam();
    CTempDir dir;
    const std::filesystem::path raw = dir.path() / "image.raw";
    constexpr int kRecords = 16384; // objcopy writes 16 bytes a line
    writeFile(raw, std::string(16 * kRecords, '\x5A'));
    const std::filesystem::path hex =
        dir.path() / (std::string(talvik::text::modelName(c.model)) + "_2.0.bin");
    ASSERT_TRUE(objcopyToIntelHex(raw, hex));
    const QString image = QString::fromStdString(hex.string());
    // The keyboard stops taking reports half-way through the image, so the
    // picture shows the download in progress however fast the machine is.
    const CSimulatorSetup simulator{.holdFile = (dir.path() / "hold").string()};
    writeFile(simulator.holdFile, std::to_string(kRecords / 2));
    const std::unique_ptr<const std::string, void (*)(const std::string*)> releaseAtEnd(
        &simulator.holdFile, [](const std::string* file) { std::filesystem::remove(*file); });
    CDeviceFixture f(c.model, simulator, c.language);
    CFirmwareDownload download(f.state, f.slot);
    COrsaDialogFirmwareUpdate dialog(f.app, f.state, download);
    dialog.setPrompts(f.prompts());
    ASSERT_TRUE(dialog.initialise());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(dialog.versionBox().text().isEmpty());

    f.files = {image};
    clickAt(centreOf(dialog, element(dialog, layout::firmware_id::Open).rect));
    ASSERT_TRUE(waitFor([&] { return !dialog.filePath().isEmpty(); }));
    clickAt(centreOf(dialog, element(dialog, layout::firmware_id::Update).rect));
    ASSERT_TRUE(waitFor([&] { return dialog.percent() >= 45; }));
    pointAt(QPoint(0, 0));
    const QImage shot = grabScreen(dialog);
    EXPECT_LT(dialog.percent(), 100) << "the keyboard holds the download half-way";
    saveShot(shot, shotName("firmware", c));
    std::filesystem::remove(simulator.holdFile);
    ASSERT_TRUE(waitFor([&] { return !f.messages.isEmpty(); }));
    EXPECT_EQ(dialog.percent(), 100);
    dialog.close();
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DeviceEndToEnd,
                         ::testing::Values(Case{1, Language::Chinese, "zh"},
                                           Case{1, Language::English, "en"},
                                           Case{4, Language::Chinese, "zh"},
                                           Case{4, Language::English, "en"}),
                         caseName);
