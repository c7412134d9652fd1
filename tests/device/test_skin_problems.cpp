// Every skinned dialog on a skin file that lacks one of its pictures, or holds
// one in a size the others do not have: the dialog does not open, and the user
// is told which window could not open and why, in the current language.

#include "DeviceFixture.h"

#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogBkLightMultiSelect.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/editor/OrsaDialogVirtual.h"
#include "talvik/layout/DeviceLayout.h"
#include "talvik/layout/KeySettingsLayout.h"
#include "talvik/layout/ProgressLayout.h"
#include "talvik/layout/VirtualKeys.h"
#include "talvik/shell/CSkinSource.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using talvik::test::CDeviceFixture;
using talvik::text::Language;
namespace device = talvik::device;
namespace editor = talvik::editor;
namespace layout = talvik::layout;

namespace {

// The generated skin with one picture gone, or shrunk to a size the window's
// other pictures do not have.
class CDamagedSkin : public talvik::shell::CSkinSource {
public:
    enum class EDamage { Missing, Shrunk };

    CDamagedSkin(talvik::shell::CSkinSource& whole, int pictureId, EDamage damage)
        : m_whole(whole), m_id(pictureId), m_damage(damage), m_small(8, 8, QImage::Format_RGB32) {
        m_small.fill(Qt::black);
    }

    const QImage& picture(int id) override {
        if (id != m_id) {
            return m_whole.picture(id);
        }
        return m_damage == EDamage::Missing ? m_none : m_small;
    }
    const talvik::shell::CFontTable& fonts() const override { return m_whole.fonts(); }

private:
    talvik::shell::CSkinSource& m_whole;
    int m_id;
    EDamage m_damage;
    QImage m_none;
    QImage m_small;
};

// The text of the message box `act` brings up, which is answered at once;
// empty when none comes up.
QString messageBoxDuring(const std::function<void()>& act) {
    QString seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = box->text();
            box->done(QMessageBox::Ok);
        }
    });
    poll.start(10);
    act();
    return seen;
}

struct SCase {
    Language language;
    CDamagedSkin::EDamage damage;
};

class SkinProblems : public ::testing::TestWithParam<SCase> {
protected:
    SkinProblems() : f(1, true, GetParam().language) {}

    CDamagedSkin skinWithout(int pictureId) {
        return CDamagedSkin(f.app, pictureId, GetParam().damage);
    }
    // What the user must read for `window`: its name and what to do.
    void expectToldAbout(const QString& text, const char* chinese, const char* english) const {
        const bool inChinese = GetParam().language == Language::Chinese;
        EXPECT_TRUE(text.contains(QString::fromUtf8(inChinese ? chinese : english))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("TalvikRES.rcc"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(inChinese ? "重新安装" : "Reinstall")))
            << text.toStdString();
    }

    CDeviceFixture f;
};

TEST_P(SkinProblems, TheDeviceDialogsSayWhyTheyCannotOpen) {
    ASSERT_TRUE(f.loaded);
    {
        CDamagedSkin skin = skinWithout(layout::backlightPictureIds(1).second);
        device::COrsaDialogBkLightSettings dialog(skin, f.state, f.slot);
        dialog.setPrompts(f.prompts());
        EXPECT_FALSE(dialog.initialise());
        ASSERT_EQ(f.warnings.size(), 1);
        expectToldAbout(f.warnings[0], "背光设置窗口", "backlight window");
    }
    {
        CDamagedSkin skin = skinWithout(layout::multiSelectPictureIds(1).first);
        device::CMultiSelection result;
        device::COrsaDialogBkLightMultiSelect dialog(skin, f.state, f.state.keyConfig.LightAreas,
                                                     result);
        dialog.setPrompts(f.prompts());
        EXPECT_FALSE(dialog.initialise());
        ASSERT_EQ(f.warnings.size(), 2);
        expectToldAbout(f.warnings[1], "背光按键选择窗口", "backlight key selection window");
    }
    {
        CDamagedSkin skin = skinWithout(layout::kFirmwarePictureNormal);
        device::CFirmwareDownload download(f.state, f.slot);
        device::COrsaDialogFirmwareUpdate dialog(skin, f.state, download);
        dialog.setPrompts(f.prompts());
        EXPECT_FALSE(dialog.initialise());
        ASSERT_EQ(f.warnings.size(), 3);
        expectToldAbout(f.warnings[2], "固件更新窗口", "firmware update window");
    }
    EXPECT_TRUE(f.messages.isEmpty());
}

TEST_P(SkinProblems, TheProgressWindowSaysWhyAndItsJobNeverStarts) {
    CDamagedSkin skin = skinWithout(layout::kProgressActiveId);
    device::COrsaDialogProgress dialog(skin, f.state, f.slot);
    dialog.m_job = talvik::jobs::EJob::ReadCounters;
    const QString told = messageBoxDuring([&] { EXPECT_EQ(dialog.exec(), device::IDCANCEL); });
    expectToldAbout(told, "进度窗口", "progress window");
    EXPECT_FALSE(f.slot.busy()) << "no job was started";
    EXPECT_EQ(dialog.report().end, talvik::jobs::EJobEnd::Cancelled);
}

TEST_P(SkinProblems, TheEditorsSayWhyTheyCannotOpen) {
    {
        CDamagedSkin skin = skinWithout(layout::kVirtualPictures.hover);
        editor::OrsaDialogVirtual dialog(skin, f.state);
        dialog.m_mode = editor::OrsaDialogVirtual::kSingle;
        const QString told =
            messageBoxDuring([&] { EXPECT_EQ(dialog.run(), QDialog::Rejected); });
        expectToldAbout(told, "虚拟键盘", "virtual keyboard");
    }
    {
        CDamagedSkin skin = skinWithout(layout::keyMapPictureIds(1)[1]);
        editor::COrsaDialogKeyMapSettings dialog(skin, f.state);
        QStringList told;
        dialog.setMessageSink([&](const QString& text) { told << text; });
        EXPECT_FALSE(dialog.initialise());
        ASSERT_EQ(told.size(), 1);
        expectToldAbout(told[0], "按键设置窗口", "key settings window");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, SkinProblems,
    ::testing::Values(SCase{Language::Chinese, CDamagedSkin::EDamage::Missing},
                      SCase{Language::English, CDamagedSkin::EDamage::Shrunk}),
    [](const ::testing::TestParamInfo<SCase>& info) {
        return std::string(info.param.language == Language::Chinese ? "MissingZh" : "ShrunkEn");
    });

} // namespace
