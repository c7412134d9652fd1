// The progress dialog: its skinned elements and bar, the jobs it runs on the
// simulated keyboard, Cancel, and the one worker at a time.

#include "AccessibleEvents.h"
#include "ProgressTestSupport.h"

#include <QBitmap>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace talvik::model;

using namespace talvik::test;
using namespace talvik::device;
using namespace talvik::jobs;
namespace id = talvik::layout::progress_id;

TEST(ProgressDialog, ElementsCaptionsScaleAndShapeComeFromTheLayout) {
    CProgressFixture f;
    ASSERT_TRUE(f.loaded);
    f.board.state.uiScale = 2.0f;
    CWatchedProgress dialog(f, std::nullopt);
    dialog.open();
    EXPECT_FALSE(f.slot.busy()) << "without a job no worker starts";
    EXPECT_EQ(f.board.state.progressWindow, dialog.handle());
    EXPECT_EQ(dialog.size(), QSize(740, 500));
    const auto& e = dialog.elements();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].id, id::Cancel);
    EXPECT_EQ(e[0].rect, (SkinRect{664, 18, 710, 90})) << "the close control, scaled";
    EXPECT_EQ(e[1].captions.at("en-US"), QStringLiteral("Cancel"));
    EXPECT_EQ(e[2].captions.at("zh-CN"), QStringLiteral("正在读写键盘，请勿插拔！"));
    EXPECT_EQ(e[2].rect, (SkinRect{42, 116, 333, 135})) << "labels keep their design place";
    EXPECT_EQ(e[3].captions.at("en-US"), QStringLiteral("Progress"));
    EXPECT_EQ(e[4].captions.at("zh-CN"), QStringLiteral("取消"));
    for (const SkinElement& element : e) {
        EXPECT_EQ(element.tips.at("en-US"), QStringLiteral("tip"));
    }
    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0))) << "the red corner is outside";
    EXPECT_TRUE(dialog.mask().contains(QPoint(370, 250)));

    dialog.clickCancel();
    EXPECT_EQ(dialog.result(), IDCANCEL);
}

TEST(ProgressDialog, BarIsTheActiveStripAsWideAsThePercentSays) {
    CProgressFixture f;
    CWatchedProgress dialog(f, std::nullopt);
    dialog.open();
    const QImage& normal = f.app.picture(talvik::layout::kProgressNormalId);
    const QImage& active = f.app.picture(talvik::layout::kProgressActiveId);
    ASSERT_NE(normal.pixel(100, 161), active.pixel(100, 161)) << "the active picture has the bar";
    EXPECT_EQ(dialog.renderCanvas().pixel(45, 161), normal.pixel(45, 161)) << "0 percent";

    // Without a job the bar counts like the single-step jobs: 75 is 100 percent, 150 is 200.
    PostMessageW(dialog.handle(), WM_TALVIK_PROGRESS, 30, 0);
    EXPECT_TRUE(waitFor([&] { return dialog.percent() == 40; }));
    QImage canvas = dialog.renderCanvas();
    EXPECT_EQ(canvas.pixel(100, 161), active.pixel(100, 161));
    EXPECT_EQ(canvas.pixel(40 + 116, 161), normal.pixel(40 + 116, 161)) << "116 pixels wide";
    EXPECT_EQ(canvas.pixel(40 + 115, 161), active.pixel(40 + 115, 161));

    PostMessageW(dialog.handle(), WM_TALVIK_PROGRESS, kSingleStep, 0);
    EXPECT_TRUE(waitFor([&] { return dialog.percent() == 200; }));
    canvas = dialog.renderCanvas();
    EXPECT_EQ(canvas.pixel(320, 161), active.pixel(320, 161));
    EXPECT_EQ(talvik::layout::progressBarWidth(115), 333);
    EXPECT_EQ(talvik::layout::progressBarWidth(200), 580) << "runs on past the bar";
}

// To a screen reader the bar is a progress bar named by the title, and each
// step of the job tells its new value, full at 100 however far the strip runs.
TEST(ProgressDialog, TheBarIsAProgressBarThatTellsEachStep) {
    CProgressFixture f;
    CWatchedProgress dialog(f, std::nullopt);
    dialog.open();
    CAccessibleEvents events;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dialog);
    ASSERT_NE(window, nullptr);
    QAccessibleInterface* bar = nullptr;
    for (int i = 0; i < window->childCount(); ++i) {
        if (window->child(i)->role() == QAccessible::ProgressBar) {
            bar = window->child(i);
            EXPECT_EQ(window->indexOfChild(bar), i);
        }
    }
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->text(QAccessible::Name), QStringLiteral("读写进度"));
    EXPECT_EQ(bar->text(QAccessible::Description), QStringLiteral("正在读写键盘，请勿插拔！"));
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 0);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 100);
    EXPECT_TRUE(QRect(dialog.mapToGlobal(QPoint(0, 0)), dialog.size()).contains(bar->rect()));

    PostMessageW(dialog.handle(), WM_TALVIK_PROGRESS, 30, 0);
    ASSERT_TRUE(waitFor([&] { return dialog.percent() == 40; }));
    PostMessageW(dialog.handle(), WM_TALVIK_PROGRESS, kSingleStep, 0);
    ASSERT_TRUE(waitFor([&] { return dialog.percent() == 200; }));
    std::vector<int> told;
    for (const CAccessibleEvents::SHeard& heard : events.heard) {
        if (heard.type == QAccessible::ValueChanged) {
            EXPECT_EQ(heard.role, QAccessible::ProgressBar);
            told.push_back(heard.value.toInt());
        }
    }
    EXPECT_EQ(told, (std::vector<int>{40, 100}));
    EXPECT_EQ(bar->text(QAccessible::Value), QStringLiteral("100%"));
    dialog.clickCancel();
}

TEST(ProgressDialog, PointerOverCancelHighlightsItAndTheCloseControlCancelsToo) {
    CProgressFixture f;
    CWatchedProgress dialog(f, std::nullopt);
    dialog.open();
    dialog.pointAt(dialog.centreOf(1));
    EXPECT_TRUE(dialog.elements()[1].hovered);
    const QImage& hover = f.app.picture(talvik::layout::kProgressHoverId);
    EXPECT_EQ(dialog.renderCanvas().pixel(240, 204), hover.pixel(240, 204));
    dialog.clickAt(dialog.centreOf(0));
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(dialog.percent(), 0);
}

TEST(ProgressDialog, WriteKeysShowsEverySlotAndClosesAboutASecondAfterTheLast) {
    CProgressFixture f;
    CWatchedProgress dialog(f, EJob::WriteKeys);
    QElapsedTimer clock;
    clock.start();
    int percentAtLastStep = -1;
    dialog.onProgress = [&](WPARAM slot) {
        if (slot == 173) {
            percentAtLastStep = dialog.percent();
        }
    };
    // The real wait, timed where it happens: right after the last slot.
    std::atomic<qint64> waitStarted{-1};
    dialog.setSleep([&](std::chrono::milliseconds duration) {
        waitStarted = clock.elapsed();
        std::this_thread::sleep_for(duration);
    });
    EXPECT_EQ(dialog.exec(), IDOK);
    const qint64 closed = clock.elapsed();

    ASSERT_EQ(dialog.progress.size(), 174u);
    for (std::size_t slot = 0; slot < 174; ++slot) {
        EXPECT_EQ(dialog.progress[slot], slot);
    }
    EXPECT_EQ(percentAtLastStep, 115);
    EXPECT_GE(closed - waitStarted, 1000);
    EXPECT_LT(closed - waitStarted, 3000);
    EXPECT_TRUE(dialog.succeeded());
    EXPECT_TRUE(dialog.failureText().isEmpty());
}

TEST(ProgressDialog, CancelDuringWriteKeysReturnsAtOnce) {
    CProgressFixture f;
    CWatchedProgress dialog(f, EJob::WriteKeys);
    QElapsedTimer clock;
    qint64 clicked = -1;
    dialog.onProgress = [&](WPARAM slot) {
        if (slot == 20 && clicked < 0) {
            clock.start();
            clicked = 0;
            dialog.clickCancel();
        }
    };
    EXPECT_EQ(dialog.exec(), IDCANCEL);
    EXPECT_LT(clock.elapsed(), 500) << "not after the write and its second's wait";
    EXPECT_EQ(dialog.percent(), 0);
    EXPECT_FALSE(dialog.succeeded());
    EXPECT_LE(dialog.progress.size(), 21u) << "nothing counts after Cancel";
}

TEST(ProgressDialog, JobsThatReadChangeTheModelWhenTheyEnd) {
    CProgressFixture f;
    f.board.state.keyConfig.Mode[6][0] = KeyMode::Macro;
    f.board.state.keyConfig.ComboKey[6][0].append("A");
    f.board.state.keyConfig.LightAreas[6] = {10, 20, 30};
    for (const EJob job : {EJob::WriteKeys, EJob::WriteLight}) {
        CWatchedProgress write(f, job);
        write.setSleep([](auto) {});
        EXPECT_EQ(write.exec(), IDOK);
    }
    f.board.state.resetToDefaults();
    CWatchedProgress read(f, EJob::ReadAll);
    std::vector<int> waits;
    read.setSleep([&](std::chrono::milliseconds ms) { waits.push_back(int(ms.count())); });
    EXPECT_EQ(read.exec(), IDOK);
    EXPECT_TRUE(read.succeeded());
    EXPECT_EQ(waits, (std::vector<int>{2000}));
    EXPECT_EQ(f.board.state.keyConfig.Mode[6][0], KeyMode::Macro);
    EXPECT_EQ(f.board.state.keyConfig.LightAreas[6].Blue, 30);

    CWatchedProgress counters(f, EJob::ReadCounters);
    counters.setSleep([](auto) {});
    EXPECT_EQ(counters.exec(), IDOK);
    EXPECT_EQ(counters.percent(), 200);
    EXPECT_EQ(f.board.state.mostPressedKey,
              pressStatistics(f.board.state.pressCount).mostPressedKey);
    EXPECT_GT(f.board.state.mostPressedKey, 0);
}

// A worker outlives its cancelled dialog for as long as its library call (here
// a wait that does not listen to Cancel): the next job waits for it, in a
// dialog that says so, and then runs.
TEST(ProgressDialog, NextJobWaitsForTheWorkerOfACancelledOne) {
    CProgressFixture f;
    // The first job's wait holds its worker until the test lets it go, so the
    // cancel surely lands while the worker is still inside its job.
    struct Gate {
        std::atomic<bool> entered{false};
        std::atomic<bool> open{false};
    };
    const auto gate = std::make_shared<Gate>();
    const auto heldStep = [gate](std::chrono::milliseconds) {
        gate->entered = true;
        while (!gate->open) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    const std::unique_ptr<Gate, void (*)(Gate*)> openAtEnd(gate.get(),
                                                           [](Gate* g) { g->open = true; });
    auto first = std::make_unique<CWatchedProgress>(f, EJob::NoTransfer);
    first->setSleep(heldStep);
    first->open();
    ASSERT_TRUE(f.slot.busy());
    ASSERT_TRUE(waitFor([&] { return gate->entered.load(); }));
    first->clickCancel();
    EXPECT_EQ(first->result(), IDCANCEL);
    first.reset(); // its worker's last posts go nowhere

    const auto countsBefore = f.board.state.pressCount;
    CWatchedProgress second(f, EJob::ReadCounters);
    second.setSleep([](auto) {});
    second.open();
    EXPECT_TRUE(second.waitingForWorker());
    EXPECT_EQ(second.elements()[2].captions.at("en-US"),
              QString::fromUtf8(talvik::layout::kProgressWaitingEn));
    second.pointAt(second.centreOf(1));
    EXPECT_TRUE(second.elements()[1].hovered) << "it answers the pointer while it waits";
    EXPECT_EQ(f.board.state.pressCount, countsBefore);

    gate->open = true;
    ASSERT_TRUE(waitFor([&] { return second.isHidden(); }));
    EXPECT_EQ(second.result(), IDOK);
    EXPECT_TRUE(second.succeeded());
    EXPECT_NE(f.board.state.pressCount, countsBefore);
    EXPECT_EQ(second.elements()[2].captions.at("en-US"),
              QStringLiteral("Keep the keyboard connected!"));
}
