// The light area and the press counters against a scripted keyboard.

#include "COrsa.h"
#include "ScriptedKeyboard.h"

#include <gtest/gtest.h>

using namespace talvik::hwi;
using namespace talvik::hwi::test;

namespace {

class Areas : public ::testing::Test {
protected:
    CScriptedKeyboard m_device;
    COrsa m_keyboard{&m_device.util()};
};

Payload chunk(std::uint8_t code, std::uint8_t n, std::uint8_t fill) {
    Payload p{};
    p[1] = code;
    p[2] = n;
    std::fill(p.begin() + 3, p.end(), fill);
    return p;
}

} // namespace

TEST_F(Areas, LightWriteIsSevenReportsEndingWithSeventeenBytes) {
    std::vector<int> values(261);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<int>(i);
    }
    values[0] = 300;
    ASSERT_TRUE(m_device.run([&] { return m_keyboard.setKeyboardLightArea(values.data()); }));

    const auto& reports = m_device.received();
    ASSERT_EQ(reports.size(), 7u);
    EXPECT_EQ(reports[0][2], 0xE1);
    const int lengths[] = {61, 61, 61, 61, 17};
    for (int c = 0; c < 5; ++c) {
        const auto& r = reports[static_cast<std::size_t>(c) + 1];
        EXPECT_EQ(r[2], 0xE0);
        EXPECT_EQ(r[3], lengths[c]);
        EXPECT_EQ(r[5], static_cast<std::uint8_t>(c * 61 + 1)) << "second byte of chunk " << c;
    }
    EXPECT_EQ(reports[1][4], 44) << "300 travels as its low byte";
    EXPECT_EQ(reports[5][4 + 16], 260 & 0xFF);
    EXPECT_TRUE(
        std::all_of(reports[5].begin() + 4 + 17, reports[5].end(), [](auto b) { return b == 0; }));
    EXPECT_TRUE(
        std::all_of(reports[6].begin() + 1, reports[6].end(), [](auto b) { return b == 0xE6; }));

    std::vector<int> back(261, -1);
    ASSERT_TRUE(m_keyboard.getKeyboardLightArea(back.data()));
    EXPECT_EQ(back[0], 44);
    EXPECT_EQ(back[260], 4);
}

TEST_F(Areas, LightStartsZeroAndFailedWritesStillAnswerTrue) {
    std::vector<int> back(261, -1);
    ASSERT_TRUE(m_keyboard.getKeyboardLightArea(back.data()));
    EXPECT_EQ(back, std::vector<int>(261, 0));

    m_device.unplug();
    std::vector<int> values(261, 7);
    EXPECT_TRUE(m_keyboard.setKeyboardLightArea(values.data()));
    m_keyboard.getKeyboardLightArea(back.data());
    EXPECT_EQ(back[100], 7) << "stored even though nothing was sent";
}

TEST_F(Areas, LightReadFillsInOrderIgnoresCounterChunksAndNeverOverruns) {
    m_device.reply(chunk(0xE0, 61, 1));
    m_device.reply(chunk(0xE3, 61, 9)); // a counter chunk in a light read
    m_device.reply(chunk(0xE0, 61, 2));
    m_device.reply(chunk(0xE0, 255, 3)); // n larger than the report
    m_device.reply(chunk(0xE0, 61, 4));
    m_device.reply(chunk(0xE0, 61, 5)); // beyond 261 bytes
    m_device.reply(chunk(0xE0, 61, 6));
    m_device.reply(chunk(0xE6, 0, 0xE6));
    ASSERT_TRUE(m_device.run([&] { return m_keyboard.readKeyLightFromDev(); }));
    EXPECT_EQ(m_device.received().at(0)[2], 0xE2);

    std::vector<int> area(261);
    m_keyboard.getKeyboardLightArea(area.data());
    EXPECT_EQ(area[0], 1);
    EXPECT_EQ(area[61], 2);
    EXPECT_EQ(area[122], 3);
    EXPECT_EQ(area[122 + 60], 3) << "a report holds 61 data bytes";
    EXPECT_EQ(area[183], 4);
    EXPECT_EQ(area[244], 5);
    EXPECT_EQ(area[260], 5);
}

TEST_F(Areas, LightReadFailsWhenTheKeyboardGoesAway) {
    m_device.reply(chunk(0xE0, 61, 1));
    m_device.unplugAfter(1); // after the request
    EXPECT_FALSE(m_device.run([&] { return m_keyboard.readKeyLightFromDev(); }));
    EXPECT_EQ(m_device.received().size(), 1u);
    std::vector<int> area(261);
    m_keyboard.getKeyboardLightArea(area.data());
    EXPECT_EQ(area[0], 1) << "what arrived before the failure is kept";
}

TEST_F(Areas, CountersAreLittleEndianAndNeverOverrun) {
    // Counter of key 1 = 0x04030201, key 2 = 0xFFFFFFFF (comes out as -1).
    Payload first{};
    first[1] = 0xE3;
    first[2] = 8;
    std::uint8_t bytes[] = {1, 2, 3, 4, 0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(bytes), std::end(bytes), first.begin() + 3);
    m_device.reply(first);
    m_device.reply(chunk(0xE0, 61, 9)); // a light chunk in a counter read
    for (int i = 0; i < 8; ++i) {
        m_device.reply(chunk(0xE3, 200, 0)); // 8 x 61 bytes: far past 348
    }
    m_device.reply(chunk(0xE6, 0, 0));
    std::vector<int> counters(87, -5);
    ASSERT_TRUE(m_device.run([&] { return m_keyboard.getPressCounterFromDev(counters.data()); }));
    EXPECT_EQ(m_device.received().at(0)[2], 0xE3);
    EXPECT_EQ(counters[0], 0x04030201);
    EXPECT_EQ(counters[1], -1);
    EXPECT_EQ(counters[86], 0);
}

TEST_F(Areas, CountersCopyOutWhateverArrivedWhenTheReadFails) {
    Payload first{};
    first[1] = 0xE3;
    first[2] = 4;
    first[3] = 42;
    m_device.reply(first);
    m_device.unplugAfter(1); // after the request
    std::vector<int> counters(87, -5);
    EXPECT_TRUE(m_device.run([&] { return m_keyboard.getPressCounterFromDev(counters.data()); }));
    EXPECT_EQ(counters[0], 42);
    EXPECT_EQ(counters[1], 0);
}

// The device jobs need the truth the two calls above have always hidden.
TEST_F(Areas, TruthfulLightWriteAndCounterReadReportWhatTheOldCallsHide) {
    std::vector<int> values(261, 9);
    EXPECT_TRUE(m_device.run([&] { return m_keyboard.writeLightArea(values.data()); }));
    EXPECT_EQ(m_device.received().size(), 7u);

    Payload first{};
    first[1] = 0xE3;
    first[2] = 4;
    first[3] = 42;
    m_device.reply(first);
    m_device.unplugAfter(m_device.received().size() + 1); // after the request
    std::vector<int> counters(87, -5);
    EXPECT_FALSE(m_device.run([&] { return m_keyboard.readPressCounters(counters.data()); }));
    EXPECT_EQ(counters[0], 42) << "copied out all the same";

    EXPECT_FALSE(m_device.run([&] { return m_keyboard.writeLightArea(values.data()); }));
    EXPECT_TRUE(m_keyboard.setKeyboardLightArea(values.data()));
    EXPECT_TRUE(m_keyboard.getPressCounterFromDev(counters.data()));
}
