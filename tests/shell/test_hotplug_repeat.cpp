// The simulated keyboard unplugged and plugged in again twenty times while the
// main window runs with the program's real keyboard link and dialogs: it
// connects again every time, a write after the last time reaches the keyboard,
// and no descriptor or thread is left over. Run under ThreadSanitizer too: the
// connection is closed and made again on this thread while the simulator's
// own threads come and go. The window is not shown: it follows the keyboard
// all the same, and Qt's painting threads (not built for the sanitizer) stay
// out of the run.

#include "ProgramFixture.h"

#include "support/TestSupport.h"
#include "talvik/jobs/CDeviceJob.h"

#include <gtest/gtest.h>

#include <filesystem>

using talvik::test::CProgramWindow;
using talvik::test::waitFor;

TEST(HotplugRepeat, TwentyUnplugsAndPlugsReconnectEveryTimeAndLeakNothing) {
    talvik::test::CTempDir dir;
    const std::filesystem::path unplugged = dir.path() / "unplugged";
    const std::filesystem::path log = dir.path() / "traffic.log";
    CProgramWindow w(1, {.trafficLog = log.string(), .unplugFile = unplugged.string()});
    ASSERT_TRUE(w.loaded);
    talvik::shell::COrsaDlg& window = w.window;
    window.hide();
    // One round first, so that everything made once (the /dev watch, Qt's
    // timers) is there before anything is counted.
    const auto round = [&] {
        talvik::test::writeFile(unplugged, "");
        if (!waitFor([&] { return window.keyboardGone(); })) {
            return false;
        }
        std::filesystem::remove(unplugged);
        return waitFor([&] { return !window.keyboardGone(); });
    };
    ASSERT_TRUE(round());
    const std::size_t descriptors = talvik::test::openFileCount();
    const std::size_t threads = talvik::test::steadyThreadCount();

    for (int n = 0; n < 20; ++n) {
        ASSERT_TRUE(round()) << "round " << n;
    }
    EXPECT_TRUE(w.notices.isEmpty()) << w.notices.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(talvik::test::openFileCount(), descriptors);
    EXPECT_EQ(talvik::test::threadCountSettlingAt(threads), threads);

    // The last connection carries a whole write (here, not behind the progress
    // dialog, which would paint).
    talvik::jobs::CJobControl noWaits([](std::chrono::milliseconds) {});
    const talvik::jobs::CJobOutcome written =
        talvik::jobs::runJobHere(talvik::jobs::EJob::WriteKeys, w.state, noWaits);
    EXPECT_TRUE(written.succeeded());
}
