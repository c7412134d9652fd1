// The window-handle registry that stands in for HWND and PostMessageW.

#include "talvik/hwi/WindowHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {
struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
} // namespace

TEST(WindowHandle, DeliversInOrderToTheRegisteredWindowOnly) {
    std::vector<Posted> first, second;
    HWND a = RegisterMessageWindow([&](UINT m, WPARAM w, LPARAM l) { first.push_back({m, w, l}); });
    HWND b = RegisterMessageWindow([&](UINT m, WPARAM w, LPARAM l) {
        second.push_back({m, w, l});
    });
    ASSERT_NE(a, 0u);
    ASSERT_NE(a, b);
    for (WPARAM slot = 0; slot < 174; ++slot) {
        EXPECT_TRUE(PostMessageW(a, WM_TALVIK_PROGRESS, slot, 0));
    }
    EXPECT_TRUE(PostMessageW(b, WM_TALVIK_JOBDONE, 1, 7));
    ASSERT_EQ(first.size(), 174u);
    for (WPARAM slot = 0; slot < 174; ++slot) {
        EXPECT_EQ(first[slot].message, 0x467u);
        EXPECT_EQ(first[slot].wParam, slot);
    }
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].message, 0x468u);
    EXPECT_EQ(second[0].lParam, 7);
    UnregisterMessageWindow(a);
    UnregisterMessageWindow(b);
}

TEST(WindowHandle, PostingToNullOrClosedWindowIsAHarmlessFalse) {
    int delivered = 0;
    HWND window = RegisterMessageWindow([&](UINT, WPARAM, LPARAM) { ++delivered; });
    EXPECT_FALSE(PostMessageW(0, WM_TALVIK_PROGRESS, 0, 0));
    UnregisterMessageWindow(window);
    EXPECT_FALSE(PostMessageW(window, WM_TALVIK_PROGRESS, 0, 0));
    EXPECT_FALSE(PostMessageW(window + 1000, WM_TALVIK_PROGRESS, 0, 0));
    UnregisterMessageWindow(window); // twice is fine
    EXPECT_EQ(delivered, 0);
    // Handles are never reused, so a stale handle cannot reach a newer window.
    HWND later = RegisterMessageWindow([](UINT, WPARAM, LPARAM) {});
    EXPECT_NE(later, window);
    UnregisterMessageWindow(later);
}

TEST(WindowHandle, NoDeliveryRunsAfterUnregisterReturns) {
    std::atomic<bool> closed{false};
    std::atomic<int> lateDeliveries{0};
    HWND window = RegisterMessageWindow([&](UINT, WPARAM, LPARAM) {
        if (closed.load()) {
            ++lateDeliveries;
        }
    });
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop.load()) {
            PostMessageW(window, WM_TALVIK_PROGRESS, 1, 0);
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    UnregisterMessageWindow(window);
    closed = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    worker.join();
    EXPECT_EQ(lateDeliveries.load(), 0);
}
