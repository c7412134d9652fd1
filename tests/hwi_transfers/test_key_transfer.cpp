// Writing and reading the whole key definition table against a scripted keyboard.

#include "COrsa.h"
#include "ScriptedKeyboard.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace talvik::hwi;
using namespace talvik::hwi::test;

namespace {

class KeyTransfer : public ::testing::Test {
protected:
    CScriptedKeyboard m_device;
    COrsa m_keyboard{&m_device.util()};
    CMessageLog m_log;

    bool write() {
        return m_device.run(
            [this] { return m_keyboard.writeKeyConfigurationToDev(m_log.window()); });
    }
    bool read() {
        return m_device.run([this] { return m_keyboard.readKeyDefinationFromDev(m_log.window()); });
    }
};

std::vector<WPARAM> slotsUpTo(int end) {
    std::vector<WPARAM> slots(static_cast<std::size_t>(end));
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

// One macro block as the keyboard sends it.
Payload macroBlock(int layer, int key, int timing, int dataLength, std::uint8_t fill) {
    Payload p{};
    p[1] = 0xF0;
    p[2] = static_cast<std::uint8_t>(layer);
    p[3] = static_cast<std::uint8_t>(key);
    p[4] = 2;
    p[6] = static_cast<std::uint8_t>(timing);
    p[9] = static_cast<std::uint8_t>(dataLength >> 8);
    p[10] = static_cast<std::uint8_t>(dataLength & 0xFF);
    std::fill(p.begin() + 11, p.end(), fill);
    return p;
}

} // namespace

TEST_F(KeyTransfer, EmptyTableIsBeginEmptyRecordsAndEnd) {
    ASSERT_TRUE(write());
    const auto& reports = m_device.received();
    ASSERT_EQ(reports.size(), 176u);
    for (const auto& report : reports) {
        ASSERT_EQ(report.size(), 65u);
        ASSERT_EQ(report[0], 0x00);
    }
    EXPECT_EQ(reports.front()[2], 0xF1);
    for (int slot = 0; slot < 174; ++slot) {
        const auto& r = reports[static_cast<std::size_t>(slot) + 1];
        std::vector<std::uint8_t> expected(65, 0);
        expected[2] = 0xF0;
        expected[3] = static_cast<std::uint8_t>(slot / 87 + 1);
        expected[4] = static_cast<std::uint8_t>(slot % 87 + 1);
        ASSERT_EQ(r, expected) << "slot " << slot;
    }
    std::vector<std::uint8_t> end(65, 0xF6);
    end[0] = end[1] = 0x00;
    EXPECT_EQ(reports.back(), end);
    EXPECT_EQ(m_log.progress(), slotsUpTo(174));
}

TEST_F(KeyTransfer, LongMacroSendsItsBlocksTogetherAndEmptyMacroSendsNothing) {
    // 150 untimed events: three blocks in slot 4; no events in slot 5.
    std::vector<int> longMacro = {2, 0, 1, 0, 10, 150};
    for (int i = 0; i < 150; ++i) {
        longMacro.push_back(i + 1);
    }
    m_keyboard.setKeyConfiguration(0, 5, longMacro.data(), static_cast<int>(longMacro.size()));
    int emptyMacro[] = {2, 0, 1, 1, 10, 0};
    m_keyboard.setKeyConfiguration(0, 6, emptyMacro, 6);

    ASSERT_TRUE(write());
    const auto& reports = m_device.received();
    ASSERT_EQ(reports.size(), 176u + 2 - 1);
    for (int block = 0; block < 3; ++block) {
        const auto& r = reports[static_cast<std::size_t>(5 + block)];
        EXPECT_EQ(r[2], 0xF0);
        EXPECT_EQ(r[4], 5);
        EXPECT_EQ(r[12], block * 53 + 1);
    }
    EXPECT_EQ(reports[8][4], 7) << "slot 5 sent nothing; the next report is key 7";
    EXPECT_EQ(m_log.progress(), slotsUpTo(174));
}

TEST_F(KeyTransfer, UnpluggedKeyboardFailsTheWriteAtOnce) {
    m_device.unplug();
    EXPECT_FALSE(write());
    EXPECT_TRUE(m_log.progress().empty());
}

TEST_F(KeyTransfer, ReadPlacesEveryKindAndSkipsWhatCannotBePlaced) {
    m_device.reply(payloadOf({0x00, 0xF0, 1, 2, 0, 2, 0x04, 0x05}));        // normal, slot 1
    m_device.reply(payloadOf({0x00, 0xE0, 3, 1, 2, 3}));                    // stray light chunk
    m_device.reply(payloadOf({0x00, 0xF0, 2, 87, 1, 0x01, 0x2C, 1, 0x2A})); // continuous, slot 173
    m_device.reply(payloadOf({0x00, 0xF0, 3, 1, 0, 1, 0x04}));              // layer 3
    m_device.reply(payloadOf({0x00, 0xF0, 1, 88, 0, 1, 0x04}));             // key 88
    m_device.reply(payloadOf({0x00, 0xF0, 1, 0, 0, 1, 0x04}));              // key 0
    m_device.reply(payloadOf({0x00, 0xF0, 1, 3, 5, 1, 0x04}));              // type 5
    // Three-block timed macro (D = 120) in slot 88.
    m_device.reply(macroBlock(2, 2, 1, 120, 0x07));
    m_device.reply(macroBlock(2, 2, 1, 120, 0x08));
    m_device.reply(macroBlock(2, 2, 1, 120, 0x09));
    m_device.reply(payloadOf({0xF6, 0xF0, 1, 4, 0, 1, 0x04})); // end, though it looks like a record
    m_device.reply(payloadOf({0x00, 0xF0, 1, 5, 0, 1, 0x04})); // after the end: never read

    ASSERT_TRUE(read());
    ASSERT_EQ(m_device.received().size(), 1u);
    EXPECT_EQ(m_device.received()[0][2], 0xF2);
    EXPECT_EQ(m_log.progress(), (std::vector<WPARAM>{1, 173, 88}));

    int out[256];
    ASSERT_TRUE(m_keyboard.getKeyConfiguration(0, 2, out, 256));
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{0, 2, 0x04, 0x05}));
    ASSERT_TRUE(m_keyboard.getKeyConfiguration(1, 87, out, 256));
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{1, 300, 1, 0x2A}));
    ASSERT_TRUE(m_keyboard.getKeyConfiguration(1, 2, out, 256));
    EXPECT_EQ(out[5], 30);
    EXPECT_EQ(out[6], 0x07);
    EXPECT_EQ(out[6 + 2 * 14], 0x08) << "event 14 starts at data byte 56, in block two";
    for (int slot : {2, 3, 4}) {
        EXPECT_EQ(m_keyboard.slot(slot), nullptr) << slot;
    }
}

TEST_F(KeyTransfer, ReadKeepsSlotsTheKeyboardDoesNotSend) {
    int normal[] = {0, 1, 0x04};
    m_keyboard.setKeyConfiguration(0, 40, normal, 3);
    m_device.reply(payloadOf({0xF6}));
    ASSERT_TRUE(read());
    EXPECT_NE(m_keyboard.slot(39), nullptr);
    EXPECT_TRUE(m_log.progress().empty());
}

TEST_F(KeyTransfer, MacroWhoseBlocksStopArrivingEndsCleanly) {
    int normal[] = {0, 1, 0x04};
    m_keyboard.setKeyConfiguration(0, 3, normal, 3);
    // Announces 3 blocks (D = 150) in slot 2; only two arrive.
    m_device.reply(macroBlock(1, 3, 0, 150, 0x11));
    m_device.reply(macroBlock(1, 3, 0, 150, 0x12));
    m_device.unplugAfter(1); // after the request
    EXPECT_FALSE(read());
    EXPECT_EQ(m_device.received().size(), 1u);
    ASSERT_NE(m_keyboard.slot(2), nullptr);
    EXPECT_EQ(m_keyboard.slot(2)->type(), 0) << "the slot keeps what it held";
    EXPECT_TRUE(m_log.progress().empty());
}

TEST_F(KeyTransfer, ProgressToAClosedWindowIsDroppedAndTheWriteGoesOn) {
    HWND closed = RegisterMessageWindow(
        [](UINT, WPARAM, LPARAM) { FAIL() << "delivered to a closed window"; });
    UnregisterMessageWindow(closed);
    EXPECT_TRUE(m_device.run([&] { return m_keyboard.writeKeyConfigurationToDev(closed); }));
    EXPECT_EQ(m_device.received().size(), 176u);
}
