// The program's one device worker: nothing starts beside a running worker,
// a window that asked hears when it has ended, and a job cancelled on one
// thread holds the next one back until its library call is over - the way the
// progress dialog uses it, without windows, so ThreadSanitizer can follow it.

#include "JobTestSupport.h"

#include "talvik/jobs/CDeviceWorkerSlot.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>

using namespace talvik::model;

using namespace talvik::jobs;
using namespace talvik::test;
using namespace std::chrono_literals;

namespace {

// Waits for the slot's message among whatever else arrives.
bool heardFree(CPostedLog& window) {
    while (auto message = window.next()) {
        if (message->message == WM_TALVIK_WORKERFREE) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(DeviceWorkerSlot, OneWorkerAtATimeAndTheWaitingHearWhenItEnds) {
    CPostedLog window;
    CDeviceWorkerSlot slot;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    bool prepared = false;
    ASSERT_TRUE(slot.start([released] { released.wait(); }, [&] { prepared = true; }));
    EXPECT_TRUE(prepared);
    EXPECT_TRUE(slot.busy());

    bool preparedBeside = false;
    EXPECT_FALSE(slot.start([] {}, [&] { preparedBeside = true; }));
    EXPECT_FALSE(preparedBeside) << "nothing is prepared while a worker runs";
    slot.notifyWhenFree(window.window());
    {
        CPostedLog closed;
        slot.notifyWhenFree(closed.window()); // goes before the worker ends
    }
    EXPECT_FALSE(window.next(50ms).has_value());

    release.set_value();
    EXPECT_TRUE(heardFree(window));
    slot.waitUntilFree();
    EXPECT_FALSE(slot.busy());
    slot.notifyWhenFree(window.window());
    EXPECT_TRUE(heardFree(window)) << "at once when no worker runs";
    EXPECT_TRUE(slot.start([] {}));
}

TEST(DeviceWorkerSlot, ACancelledReadOfASilentKeyboardHoldsTheNextJobBackUntilItsCallEnds) {
    const CSilentKeyboard keyboard;
    CKeyboardState board(keyboard.setup());
    board.state.pressCount[4] = 9;
    const std::size_t before = keyboard.reportsTaken();
    CWaitRecorder waits;
    CDeviceWorkerSlot slot; // ends first: a worker never outlives what it uses
    const auto started = std::chrono::steady_clock::now();
    auto reading = std::make_shared<CDeviceJob>(EJob::ReadAll);
    auto control = std::make_shared<CJobControl>();
    ASSERT_TRUE(slot.start([reading, control] { reading->run(*control); },
                           [&] { reading->takeFromModel(board.state); }));
    ASSERT_TRUE(waitUntil([&] { return keyboard.reportsTaken() > before; }));
    control->cancel();
    EXPECT_TRUE(slot.busy()) << "the key read waits out its time-out";

    auto counting = std::make_shared<CDeviceJob>(EJob::ReadCounters);
    const auto startCounting = [&] {
        return slot.start([counting, &waits] { counting->run(waits.control()); },
                          [&] { counting->takeFromModel(board.state); });
    };
    EXPECT_FALSE(startCounting());
    slot.notifyWhenFree(board.messages.window());
    ASSERT_TRUE(heardFree(board.messages));
    ASSERT_TRUE(reading->finished());
    EXPECT_FALSE(reading->outcome().ranToEnd);
    ASSERT_TRUE(startCounting());
    slot.waitUntilFree();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << "two time-outs, no hang";

    ASSERT_TRUE(counting->finished());
    reading->giveToModel(board.state);
    counting->giveToModel(board.state);
    EXPECT_EQ(counting->outcome().transfers,
              (std::vector<CTransferResult>{{Transfer::ReadCounters, false}}));
    EXPECT_EQ(board.state.pressCount[4], 9);
    EXPECT_EQ(board.state.keyConfig.Mode[72][1], KeyMode::Function);
}
