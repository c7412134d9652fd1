// A long session on the simulated keyboard and a real X server: every dialog
// opened and closed again and again, and write and read jobs one after the
// other. What the process holds after the first rounds (memory, descriptors,
// threads, X windows) must be what it holds at the end, give or take a small
// margin; the figures are printed. Under AddressSanitizer the leak check at
// exit covers the memory instead, as its quarantine keeps freed memory.

#include "DeviceFixture.h"

#include "support/TestSupport.h"
#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogBkLightMultiSelect.h"
#include "talvik/device/COrsaDialogBkLightSettings.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/editor/OrsaDialogVirtual.h"
#include "talvik/shell/COrsaDialogWaitKeyboard.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

// Last: its macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>

using talvik::test::CDeviceFixture;
using talvik::text::Language;
namespace device = talvik::device;
namespace editor = talvik::editor;
namespace jobs = talvik::jobs;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr int kRounds = 200;
constexpr int kJobs = 100;


// Every window on the X server, top-level or not.
std::size_t windowsBelow(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return 0;
    }
    std::size_t total = count;
    for (unsigned i = 0; i < count; ++i) {
        total += windowsBelow(display, children[i]);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return total;
}

struct SHoldings {
    long residentKb = 0;
    std::size_t descriptors = 0;
    std::size_t threads = 0;
    std::size_t xWindows = 0;
};

SHoldings holdingsNow(Display* display) {
    QCoreApplication::processEvents();
    SHoldings h;
    long pages = 0;
    long resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    h.residentKb = resident * (::sysconf(_SC_PAGESIZE) / 1024);
    h.descriptors = talvik::test::openFileCount();
    h.threads = talvik::test::entriesIn("/proc/self/task");
    h.xWindows = windowsBelow(display, DefaultRootWindow(display));
    return h;
}

std::ostream& operator<<(std::ostream& out, const SHoldings& h) {
    return out << "resident " << h.residentKb / 1024 << " MB, " << h.descriptors
               << " descriptors, " << h.threads << " threads, " << h.xWindows << " X windows";
}

// Shows a dialog until the X server has it on the screen, then closes it.
template <typename Dialog> void showAndClose(Dialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.close();
}

class CSoak {
public:
    CSoak() : f(1, true, Language::English), download(f.state, f.slot) {
        f.state.editKey = 43;
        f.state.editLevel = 0;
    }

    // Every dialog the program has, opened and closed once.
    void openAndCloseEveryDialog() {
        {
            editor::COrsaDialogKeyMapSettings dialog(f.app, f.state);
            dialog.setMessageSink([this](const QString& text) { f.messages << text; });
            ASSERT_TRUE(dialog.initialise());
            showAndClose(dialog);
        }
        {
            editor::OrsaDialogVirtual dialog(f.app, f.state);
            dialog.m_mode = editor::OrsaDialogVirtual::kSingle;
            ASSERT_TRUE(dialog.initialise());
            showAndClose(dialog);
        }
        {
            device::COrsaDialogBkLightSettings dialog(f.app, f.state, f.slot);
            dialog.setPrompts(f.prompts());
            ASSERT_TRUE(dialog.initialise());
            showAndClose(dialog);
        }
        {
            device::CMultiSelection result;
            device::COrsaDialogBkLightMultiSelect dialog(f.app, f.state,
                                                         f.state.keyConfig.LightAreas, result);
            dialog.setPrompts(f.prompts());
            ASSERT_TRUE(dialog.initialise());
            showAndClose(dialog);
        }
        {
            device::COrsaDialogFirmwareUpdate dialog(f.app, f.state, download);
            dialog.setPrompts(f.prompts());
            ASSERT_TRUE(dialog.initialise()); // asks the keyboard for its version
            showAndClose(dialog);
        }
        {
            talvik::shell::COrsaDialogWaitKeyboard dialog(f.app);
            ASSERT_TRUE(dialog.initialise());
            dialog.setAttempt(1, 3);
            showAndClose(dialog);
        }
    }

    // One job through the progress dialog, as the main window runs it.
    void runJob(jobs::EJob job) {
        device::COrsaDialogProgress dialog(f.app, f.state, f.slot);
        dialog.m_job = job;
        dialog.setSleep([](std::chrono::milliseconds) {}); // its closing pause is not the point
        EXPECT_EQ(dialog.exec(), device::IDOK);
        EXPECT_EQ(dialog.report().end, jobs::EJobEnd::Succeeded) << static_cast<int>(job);
        f.slot.waitUntilFree();
    }

    void round(int n) {
        openAndCloseEveryDialog();
        if (n < kJobs) {
            runJob(n % 2 == 0 ? jobs::EJob::WriteKeys : jobs::EJob::ReadAll);
        }
    }

    CDeviceFixture f;
    device::CFirmwareDownload download;
};

TEST(Soak, EveryDialogTwoHundredTimesAndAHundredJobsHoldNothingBack) {
    ASSERT_TRUE(talvik::test::useFixtureDisplay()) << "no X server from the test fixture";
    CSoak soak;
    ASSERT_TRUE(soak.f.loaded);
    ASSERT_TRUE(soak.f.connected);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);

    // The first rounds fill what is filled once: fonts, glyphs, style sheets.
    soak.round(0);
    soak.round(1);
    const SHoldings first = holdingsNow(display);
    for (int n = 2; n < kRounds && !::testing::Test::HasFatalFailure(); ++n) {
        soak.round(n);
    }
    const SHoldings last = holdingsNow(display);
    std::cout << "after 2 rounds:   " << first << "\n"
              << "after " << kRounds << " rounds: " << last << std::endl;
    RecordProperty("resident_kb_first", static_cast<int>(first.residentKb));
    RecordProperty("resident_kb_last", static_cast<int>(last.residentKb));

    EXPECT_LE(last.descriptors, first.descriptors + 2);
    EXPECT_LE(last.threads, first.threads + 2);
    EXPECT_LE(last.xWindows, first.xWindows + 2);
    if (!kAddressSanitizer) {
        EXPECT_LE(last.residentKb, first.residentKb + std::max(4096L, first.residentKb / 20));
    }
    EXPECT_TRUE(soak.f.messages.isEmpty()) << soak.f.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(soak.f.warnings.isEmpty()) << soak.f.warnings.join(QLatin1Char('\n')).toStdString();
    XCloseDisplay(display);
}

} // namespace
