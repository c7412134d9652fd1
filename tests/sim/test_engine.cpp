// What the simulated keyboard answers to each request, checked against the
// protocol's tables, without any I/O.

#include "sim/KeyboardEngine.h"
#include "sim/SimTestSupport.h"

#include <gtest/gtest.h>

using namespace talvik::hwi;
using namespace talvik::hwi::sim;
using namespace talvik::test;

namespace {

class EngineTest : public ::testing::Test {
protected:
    CKeyboardMemory m_memory = CKeyboardMemory::fresh(2);
    CSimulatedKeyboard m_keyboard{2, m_memory};

    std::vector<Payload> send(const Report& frame) { return m_keyboard.receive(frame).replies; }
    void sendAll(const std::vector<Report>& frames) {
        for (const auto& frame : frames) {
            EXPECT_TRUE(send(frame).empty());
        }
    }
    // Begin, the records, end: a whole key write.
    void writeKeys(const std::vector<Bytes>& records) {
        sendAll({commandFrame(cmd::kBeginKeys)});
        for (const auto& record : records) {
            sendAll(framesOf(record));
        }
        EXPECT_TRUE(m_keyboard.receive(endOfKeysFrame()).committed);
    }
    // The replies to F2 joined into one byte string, without the end marker.
    Bytes readKeys() {
        auto replies = send(commandFrame(cmd::kRequestKeys));
        EXPECT_FALSE(replies.empty());
        EXPECT_EQ(replies.back()[0], 0xF6);
        Bytes joined;
        for (std::size_t i = 0; i + 1 < replies.size(); ++i) {
            EXPECT_NE(replies[i][0], 0xF6);
            joined.insert(joined.end(), replies[i].begin(), replies[i].end());
        }
        return joined;
    }
};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

} // namespace

TEST_F(EngineTest, KeyRead_NothingWritten_OnlyTheEndMarker) {
    auto replies = send(commandFrame(cmd::kRequestKeys));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0][0], 0xF6);
}

TEST_F(EngineTest, KeyRoundTrip_RecordsOfEveryKindComeBackInSlotOrder) {
    Bytes fnKey = normalRecord(2, 5, {0x04, 0x05});
    Bytes continuous = normalRecord(1, 87, {0x2C});
    continuous[4] = 1;
    continuous[5] = 0x01; // interval 300
    continuous[6] = 0x2C;
    Bytes twoBlocks = macroRecord(1, 3, 3, 1, countingData(56)); // 14 timed events
    Bytes hundred = macroRecord(1, 10, 2, 0, countingData(100));
    Bytes thirteen = macroRecord(1, 4, 4, 1, countingData(52));
    ASSERT_EQ(twoBlocks.size(), 128u);
    ASSERT_EQ(hundred.size(), 128u);
    ASSERT_EQ(thirteen.size(), 64u);

    writeKeys({fnKey, continuous, twoBlocks, hundred, thirteen});

    EXPECT_EQ(readKeys(), concat({twoBlocks, thirteen, hundred, continuous, fnKey}));
}

TEST_F(EngineTest, KeyRoundTrip_EmptyRecordsAreStoredAndALaterWriteReplacesASlot) {
    writeKeys({normalRecord(1, 1, {}), macroRecord(1, 2, 2, 0, countingData(200))});
    Bytes replacement = normalRecord(1, 2, {0x29});
    writeKeys({replacement});
    EXPECT_EQ(readKeys(), concat({normalRecord(1, 1, {}), replacement}));
}

TEST_F(EngineTest, KeyWrite_EachRecordTakesEffectBeforeTheEndFrame) {
    sendAll({commandFrame(cmd::kBeginKeys)});
    sendAll(framesOf(normalRecord(1, 7, {0x1C})));
    EXPECT_EQ(m_memory.keys[6], normalRecord(1, 7, {0x1C}));
}

TEST_F(EngineTest, KeyWrite_RefusesRecordsWithoutBeginBadSlotsAndUnfinishedMacros) {
    sendAll(framesOf(normalRecord(1, 1, {0x04}))); // no begin frame
    sendAll({commandFrame(cmd::kBeginKeys)});
    sendAll(framesOf(normalRecord(3, 1, {0x04})));  // layer 3
    sendAll(framesOf(normalRecord(1, 88, {0x04}))); // key 88
    sendAll(framesOf(normalRecord(1, 0, {0x04})));  // key 0
    Bytes typeFive = normalRecord(1, 5, {});
    typeFive[4] = 5;
    sendAll(framesOf(typeFive));
    // Three blocks announced, one sent, then the next slot's record.
    Bytes cut = macroRecord(1, 6, 2, 0, countingData(150));
    sendAll({framesOf(cut)[0]});
    Bytes next = normalRecord(1, 7, {0x05});
    sendAll(framesOf(next));
    EXPECT_TRUE(m_keyboard.receive(endOfKeysFrame()).committed);

    EXPECT_EQ(readKeys(), next);
    EXPECT_EQ(m_keyboard.stats().rejectedKeyRecords, 6u);
}

TEST_F(EngineTest, KeyWrite_EndFrameWithoutBeginCommitsNothing) {
    EXPECT_FALSE(m_keyboard.receive(endOfKeysFrame()).committed);
}

TEST_F(EngineTest, LightRoundTrip_FiveChunksOf61And17ThenTheEndFrame) {
    std::array<std::uint8_t, 261> light{};
    for (std::size_t i = 0; i < light.size(); ++i) {
        light[i] = static_cast<std::uint8_t>(i * 3 + 1);
    }
    sendAll({commandFrame(cmd::kBeginLight)});
    for (std::size_t offset = 0; offset < light.size(); offset += 61) {
        sendAll({lightChunkFrame(light.data() + offset, std::min<std::size_t>(61, 261 - offset))});
    }
    EXPECT_TRUE(m_keyboard.receive(endOfLightFrame()).committed);

    auto replies = send(commandFrame(cmd::kRequestLight));
    ASSERT_EQ(replies.size(), 6u);
    const std::size_t lengths[] = {61, 61, 61, 61, 17};
    std::vector<std::uint8_t> back;
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(replies[i][0], 0x00);
        EXPECT_EQ(replies[i][1], 0xE0);
        ASSERT_EQ(replies[i][2], lengths[i]);
        back.insert(back.end(), replies[i].begin() + 3, replies[i].begin() + 3 + lengths[i]);
        EXPECT_TRUE(std::all_of(replies[i].begin() + 3 + lengths[i], replies[i].end(),
                                [](auto b) { return b == 0; }));
    }
    EXPECT_EQ(back, std::vector<std::uint8_t>(light.begin(), light.end()));
    EXPECT_EQ(replies[5][1], 0xE6);
}

TEST_F(EngineTest, LightWrite_OversizeChunksAndTooManyChunksNeverOverrunTheArea) {
    std::array<std::uint8_t, 64> ones{};
    ones.fill(0x11);
    sendAll({commandFrame(cmd::kBeginLight)});
    for (int i = 0; i < 6; ++i) {
        Report chunk = lightChunkFrame(ones.data(), 61);
        chunk[3] = 0xFF; // claims more than a frame can hold
        sendAll({chunk});
    }
    EXPECT_TRUE(std::all_of(m_memory.light.begin(), m_memory.light.end(),
                            [](auto b) { return b == 0x11; }));
}

TEST_F(EngineTest, LightWrite_ChunksWithoutBeginAreIgnored) {
    std::array<std::uint8_t, 61> data{};
    data.fill(0x22);
    sendAll({lightChunkFrame(data.data(), 61)});
    EXPECT_EQ(m_memory.light[0], 0x00);
    EXPECT_EQ(m_keyboard.stats().ignoredLightChunks, 1u);
}

TEST_F(EngineTest, Counters_348BytesInE3ChunksThatDifferPerKeyAndGrowOnEveryRead) {
    auto readCounters = [&] {
        auto replies = send(commandFrame(cmd::kRequestCounters));
        EXPECT_EQ(replies.back()[1], 0xE6);
        Bytes area;
        for (std::size_t i = 0; i + 1 < replies.size(); ++i) {
            EXPECT_EQ(replies[i][1], 0xE3);
            EXPECT_LE(replies[i][2], 61);
            area.insert(area.end(), replies[i].begin() + 3, replies[i].begin() + 3 + replies[i][2]);
        }
        EXPECT_EQ(area.size(), 348u);
        std::vector<std::uint32_t> counters(87);
        for (std::size_t k = 0; k < 87 && area.size() == 348; ++k) {
            counters[k] = area[4 * k] | area[4 * k + 1] << 8 | area[4 * k + 2] << 16 |
                          static_cast<std::uint32_t>(area[4 * k + 3]) << 24;
        }
        return counters;
    };
    auto first = readCounters();
    auto second = readCounters();
    for (std::size_t k = 0; k < 87; ++k) {
        EXPECT_GT(second[k], first[k]) << "key " << k + 1;
    }
    std::sort(first.begin(), first.end());
    EXPECT_GT(std::unique(first.begin(), first.end()) - first.begin(), 40);
}

TEST_F(EngineTest, Version_NamesTheModelInPayload2Onward) {
    for (int model = 1; model <= 4; ++model) {
        CKeyboardMemory memory = CKeyboardMemory::fresh(model);
        CSimulatedKeyboard keyboard(model, memory);
        auto replies = keyboard.receive(commandFrame(cmd::kRequestVersion)).replies;
        ASSERT_EQ(replies.size(), 1u);
        std::string text(reinterpret_cast<const char*>(replies[0].data() + 2));
        EXPECT_EQ(text.rfind(modelName(model) + " V", 0), 0u) << text;
        EXPECT_TRUE(
            std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
    }
}

TEST_F(EngineTest, Firmware_GoodAndBadChecksumsAndACleanImageMovesTheVersionOn) {
    std::string before = versionText(2, m_memory);
    // 16 data bytes at 0x0100, then a spoiled copy, then end of file.
    Bytes data = {0x10, 0x01, 0x00, 0x00};
    data.insert(data.end(), 16, 0xAB);
    sendAll(
        {firmwareFrame(data), firmwareFrame(data, true), firmwareFrame({0x00, 0x00, 0x00, 0x01})});
    EXPECT_EQ(m_memory.firmware.records, 3u);
    EXPECT_EQ(m_memory.firmware.badRecords, 1u);
    ASSERT_EQ(m_memory.firmware.recentBad.size(), 1u);
    EXPECT_EQ(m_memory.firmware.recentBad[0].number, 2u);
    EXPECT_EQ(m_memory.firmware.completedImages, 0u); // the image had a bad record
    EXPECT_EQ(versionText(2, m_memory), before);

    sendAll({firmwareFrame(data), firmwareFrame({0x00, 0x00, 0x00, 0x01})});
    EXPECT_EQ(m_memory.firmware.completedImages, 1u);
    EXPECT_NE(versionText(2, m_memory), before);
}

TEST(FirmwareRecord, LengthTypeAndChecksumAreChecked) {
    EXPECT_TRUE(firmwareRecordValid(Bytes{0x00, 0x00, 0x00, 0x01, 0xFF}));
    EXPECT_FALSE(firmwareRecordValid(Bytes{0x00, 0x00, 0x00, 0x01, 0xFE}));
    EXPECT_FALSE(firmwareRecordValid(Bytes{0x00, 0x00, 0x00, 0x06, 0xFA})); // type 6
    EXPECT_FALSE(firmwareRecordValid(Bytes{0x3A, 0x00, 0x00, 0x00})); // count beyond the frame
    EXPECT_FALSE(firmwareRecordValid(Bytes{}));
}

TEST_F(EngineTest, UnknownCommandsAndMalformedReportsAreIgnored) {
    EXPECT_TRUE(send(commandFrame(0x77)).empty());
    Report numbered = commandFrame(cmd::kRequestVersion);
    numbered[0] = 0x01;
    EXPECT_TRUE(send(numbered).empty());
    EXPECT_TRUE(m_keyboard.receive(Bytes(64, 0)).replies.empty());
    Report noise = commandFrame(cmd::kRequestVersion);
    noise[1] = 0x42; // payload[0] of a command is always 00
    EXPECT_TRUE(send(noise).empty());
    EXPECT_EQ(m_keyboard.stats().ignoredReports, 4u);
}
