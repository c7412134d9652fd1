// The progress dialog on a real X server with the simulated keyboard: what
// the screen shows in the middle of a key write in both languages (saved when
// TALVIK_SCREENSHOT_DIR is set), and Cancel by a real click.

#include "ProgressTestSupport.h"

#include "XDriver.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

using namespace talvik::test;
using namespace talvik::device;
using namespace talvik::jobs;
using talvik::text::Language;

namespace {

// Holds the job's messages from the progress step `freezeAt` on while
// `whileFrozen` runs, then lets them through in order: the worker goes on,
// but the window stays where that step put it long enough to be looked at.
class CFrozenProgress : public CWatchedProgress {
public:
    using CWatchedProgress::CWatchedProgress;

    WPARAM freezeAt = 0;
    std::function<void()> whileFrozen;

protected:
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (m_holding) {
            m_held.emplace_back(message, wParam, lParam);
            return;
        }
        CWatchedProgress::onWindowMessage(message, wParam, lParam);
        if (message == WM_TALVIK_PROGRESS && wParam == freezeAt && whileFrozen) {
            m_holding = true;
            std::exchange(whileFrozen, nullptr)();
            m_holding = false;
            for (const auto& [m, w, l] : std::exchange(m_held, {})) {
                CWatchedProgress::onWindowMessage(m, w, l);
            }
        }
    }

private:
    bool m_holding = false;
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> m_held;
};

} // namespace

TEST(ProgressOnScreen, MiddleOfAKeyWriteInBothLanguagesWithThePointerOverCancel) {
    ASSERT_TRUE(useFixtureDisplay());
    CProgressFixture f;
    ASSERT_TRUE(f.loaded);
    for (const char* language : {"zh", "en"}) {
        f.board.state.language =
            language == std::string("zh") ? Language::Chinese : Language::English;
        CFrozenProgress dialog(f, EJob::WriteKeys);
        dialog.setSleep([](auto) {});
        dialog.freezeAt = 100;
        QImage shot;
        pointAt(QPoint(0, 0)); // it comes onto Cancel from outside the window
        dialog.whileFrozen = [&] {
            pointAt(dialog.mapToGlobal(dialog.centreOf(1)));
            shot = grabScreen(dialog);
            EXPECT_EQ(dialog.percent(), 66);
            EXPECT_TRUE(dialog.elements()[1].hovered) << language;
        };
        EXPECT_EQ(dialog.exec(), IDOK);
        EXPECT_TRUE(dialog.succeeded());
        ASSERT_FALSE(shot.isNull());
        // The bar's fill reaches two thirds of the way, not further.
        const QColor filled = shot.pixelColor(40 + 150, 161);
        const QColor empty = shot.pixelColor(40 + 240, 161);
        EXPECT_GT(filled.red(), 200) << "orange fill";
        EXPECT_LT(empty.red(), 60) << "empty track";
        const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            shot.save(QStringLiteral("%1/progress-%2.png").arg(dir, QLatin1String(language)));
        }
    }
}

TEST(ProgressOnScreen, ARealClickOnCancelEndsTheDialogAtOnce) {
    ASSERT_TRUE(useFixtureDisplay());
    CProgressFixture f;
    // The job's wait holds its worker until the test is over: only the click
    // can end the dialog, and it must not wait for the worker to do so.
    std::atomic<bool> release{false};
    CWatchedProgress dialog(f, EJob::NoTransfer);
    dialog.setSleep([&](auto) {
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    pointAt(QPoint(0, 0));
    QTimer::singleShot(0, &dialog, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        clickAt(dialog.mapToGlobal(dialog.centreOf(1)));
    });
    EXPECT_EQ(dialog.exec(), IDCANCEL);
    EXPECT_TRUE(f.slot.busy()) << "the worker is still inside its job";
    release = true;
    f.slot.waitUntilFree();
}
