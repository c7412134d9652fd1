// Key definitions in both of their forms: the key definition arrays of the
// program and the F0 records on the wire.

#include "COrsa.h"
#include "KeyDefinition.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <vector>

using namespace talvik::hwi;

namespace {

std::vector<std::uint8_t> encoded(const CKeyDefine& define) {
    int size = -1;
    EXPECT_FALSE(define.encode(nullptr, kBlockSize, &size));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size), 0xEE);
    if (size > 0) {
        EXPECT_TRUE(define.encode(bytes.data(), kBlockSize, &size));
    }
    return bytes;
}

std::unique_ptr<CMacroKeyDefine> macro(int timingMode, int events) {
    auto m = std::make_unique<CMacroKeyDefine>(5, 1, 2);
    m->m_timingMode = timingMode;
    m->m_cycles = 3;
    m->m_interval = 300;
    m->resizeEvents(events);
    for (int i = 0; i < events; ++i) {
        m->m_keyCodes[static_cast<std::size_t>(i)] = 0x10 + i;
        m->m_delays[static_cast<std::size_t>(i)] = 1000 + i;
    }
    return m;
}

// Bytes 11.. of block `b` that are not padding.
int dataBytesIn(const std::vector<std::uint8_t>& bytes, int b) {
    int count = 0;
    for (int i = kMacroHeaderSize; i < kBlockSize; ++i) {
        count += bytes[static_cast<std::size_t>(b * kBlockSize + i)] != 0 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(KeyRecords, NormalAndContinuousCarryLowBytesAndBigEndianInterval) {
    CNormalKeyDefine normal(87, 2);
    normal.m_keyCodes = {0x1C8, 0x04};
    auto n = encoded(normal);
    ASSERT_EQ(n.size(), 64u);
    std::vector<std::uint8_t> head(n.begin(), n.begin() + 8);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0x00, 0xF0, 2, 87, 0, 2, 0xC8, 0x04}));
    EXPECT_TRUE(std::all_of(n.begin() + 8, n.end(), [](auto b) { return b == 0; }));

    CContinousKeyDefine continuous(1, 1);
    continuous.m_interval = 300;
    continuous.m_keyCodes = {0x2A};
    auto c = encoded(continuous);
    ASSERT_EQ(c.size(), 64u);
    std::vector<std::uint8_t> chead(c.begin(), c.begin() + 9);
    EXPECT_EQ(chead, (std::vector<std::uint8_t>{0x00, 0xF0, 1, 1, 1, 0x01, 0x2C, 1, 0x2A}));

    continuous.m_keyCodes.clear();
    auto empty = encoded(continuous);
    EXPECT_TRUE(std::all_of(empty.begin() + 5, empty.end(), [](auto b) { return b == 0; }))
        << "no codes: the interval stays 00 00 too";
}

TEST(KeyRecords, TooManyCodesNeverOverrunTheRecord) {
    CNormalKeyDefine normal(1, 1);
    normal.m_keyCodes.assign(70, 0x33);
    auto n = encoded(normal);
    ASSERT_EQ(n.size(), 64u);
    EXPECT_EQ(n[5], 58);
    CContinousKeyDefine continuous(1, 1);
    continuous.m_keyCodes.assign(70, 0x33);
    EXPECT_EQ(encoded(continuous)[7], 56);
}

TEST(KeyRecords, TimedMacroOfThirteenEventsFitsOneBlockFourteenTakeTwo) {
    auto thirteen = encoded(*macro(1, 13));
    ASSERT_EQ(thirteen.size(), 64u);
    EXPECT_EQ(thirteen[9], 0);
    EXPECT_EQ(thirteen[10], 52);
    // Event 0: code, C8, delay 1000 big-endian.
    EXPECT_EQ(thirteen[11], 0x10);
    EXPECT_EQ(thirteen[12], 0xC8);
    EXPECT_EQ(thirteen[13], 0x03);
    EXPECT_EQ(thirteen[14], 0xE8);

    auto fourteen = encoded(*macro(1, 14));
    ASSERT_EQ(fourteen.size(), 128u);
    EXPECT_EQ(fourteen[10], 56);
    EXPECT_TRUE(std::equal(fourteen.begin(), fourteen.begin() + 11, fourteen.begin() + 64))
        << "every block repeats the header";
    // The first block ends with event 13's code; the second holds the other
    // 3 bytes of that event: C8 and its delay 1013.
    EXPECT_EQ(fourteen[63], 0x10 + 13);
    EXPECT_EQ(fourteen[64 + 11], 0xC8);
    EXPECT_EQ(fourteen[64 + 12], 0x03);
    EXPECT_EQ(fourteen[64 + 13], 0xF5);
    EXPECT_TRUE(
        std::all_of(fourteen.begin() + 64 + 14, fourteen.end(), [](auto b) { return b == 0; }));
}

TEST(KeyRecords, HundredUntimedEventsSplitFiftyThreeAndFortySeven) {
    auto bytes = encoded(*macro(0, 100));
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(bytes[5], 3);
    EXPECT_EQ(bytes[6], 0);
    EXPECT_EQ(bytes[7], 0x01); // interval 300
    EXPECT_EQ(bytes[8], 0x2C);
    EXPECT_EQ(bytes[9], 0);
    EXPECT_EQ(bytes[10], 100);
    EXPECT_EQ(dataBytesIn(bytes, 0), 53);
    EXPECT_EQ(dataBytesIn(bytes, 1), 47);
    EXPECT_EQ(bytes[64 + 11], 0x10 + 53);
}

TEST(KeyRecords, EmptyMacroNeedsNoBytes) {
    int size = -1;
    EXPECT_FALSE(macro(1, 0)->encode(nullptr, kBlockSize, &size));
    EXPECT_EQ(size, 0);
}

TEST(KeyRecords, DecodeReadsBackWhatEncodeWrote) {
    for (int timing : {0, 1}) {
        for (int events : {1, 13, 14, 100}) {
            auto sent = macro(timing, events);
            auto bytes = encoded(*sent);
            CMacroKeyDefine back(5, 1, 2);
            back.decode(bytes.data(), kBlockSize, static_cast<int>(bytes.size()));
            SCOPED_TRACE(testing::Message() << "timing " << timing << ", events " << events);
            EXPECT_EQ(back.m_keyCodes, sent->m_keyCodes);
            EXPECT_EQ(back.m_cycles, 3);
            EXPECT_EQ(back.m_interval, 300);
            if (timing == 1) {
                sent->m_delays.back() = 0; // the last delay does not come back
                EXPECT_EQ(back.m_delays, sent->m_delays);
            }
        }
    }
}

TEST(KeyRecords, HostileRecordsAreReadWithinTheirBytes) {
    // n says 255 codes; a 64-byte record holds 58.
    std::vector<std::uint8_t> record(64, 0x41);
    record[5] = 255;
    CNormalKeyDefine normal(1, 1);
    normal.decode(record.data(), kBlockSize, 64);
    EXPECT_EQ(normal.m_keyCodes.size(), 58u);

    // A timed macro that announces no data has no events (not one phantom).
    std::vector<std::uint8_t> empty(64, 0);
    empty[6] = 1;
    CMacroKeyDefine macroDef(1, 1, 2);
    macroDef.decode(empty.data(), kBlockSize, 64);
    EXPECT_EQ(macroDef.eventCount(), 0);

    // D = 1000 but one block arrived: only its 53 bytes are read.
    empty[9] = 0x03;
    empty[10] = 0xE8;
    empty[6] = 0;
    macroDef.decode(empty.data(), kBlockSize, 64);
    EXPECT_EQ(macroDef.eventCount(), 53);
}

TEST(KeyArrays, EveryKindComesBackAsItWasSet) {
    COrsa keyboard(nullptr);
    int normal[] = {0, 2, 0x1C8, 0x04};
    int continuous[] = {1, 300, 1, 0x2A};
    int untimed[] = {2, 1, 5, 0, 20, 3, 0x10, 0x11, 0x12};
    // The program ends a timed array after the last event's code.
    int timed[] = {2, 2, 1, 1, 0, 3, 0x10, 100, 0x11, 200, 0x12};
    ASSERT_TRUE(keyboard.setKeyConfiguration(0, 1, normal, 4));
    ASSERT_TRUE(keyboard.setKeyConfiguration(0, 87, continuous, 4));
    ASSERT_TRUE(keyboard.setKeyConfiguration(1, 1, untimed, 9));
    ASSERT_TRUE(keyboard.setKeyConfiguration(1, 87, timed, 11));
    EXPECT_EQ(keyboard.slot(0)->type(), 0);
    EXPECT_EQ(keyboard.slot(86)->type(), 1);
    EXPECT_EQ(keyboard.slot(87)->type(), 3);
    EXPECT_EQ(keyboard.slot(173)->type(), 4);
    EXPECT_EQ(keyboard.slot(173)->layer(), 2);
    EXPECT_EQ(keyboard.slot(173)->key(), 87);

    std::vector<int> out(65536, -1);
    auto expectBack = [&](int layer, int key, const int* def, std::size_t n) {
        std::fill(out.begin(), out.end(), -1);
        ASSERT_TRUE(keyboard.getKeyConfiguration(layer, key, out.data(), 65536));
        EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + static_cast<long>(n)),
                  std::vector<int>(def, def + n));
        EXPECT_EQ(out[n], -1) << "nothing written after the definition";
    };
    expectBack(0, 1, normal, 4);
    expectBack(0, 87, continuous, 4);
    expectBack(1, 1, untimed, 9);
    expectBack(1, 87, timed, 11);

    const auto* macroDef = dynamic_cast<const CMacroKeyDefine*>(keyboard.slot(173));
    ASSERT_NE(macroDef, nullptr);
    EXPECT_EQ(macroDef->m_delays, (std::vector<int>{100, 200, 0}));
}

TEST(KeyArrays, PrepareEmptiesEverySlotAndBadInputChangesNothing) {
    COrsa keyboard(nullptr);
    int normal[] = {0, 1, 0x04};
    keyboard.setKeyConfiguration(0, 10, normal, 3);
    int unknown[] = {3, 1, 2};
    EXPECT_FALSE(keyboard.setKeyConfiguration(0, 10, unknown, 3));
    EXPECT_NE(keyboard.slot(9), nullptr);
    EXPECT_FALSE(keyboard.setKeyConfiguration(2, 10, normal, 3));
    EXPECT_FALSE(keyboard.setKeyConfiguration(0, 88, normal, 3));
    EXPECT_FALSE(keyboard.setKeyConfiguration(0, 0, normal, 3));

    ASSERT_TRUE(keyboard.prepare());
    int out[2] = {-1, -1};
    for (int layer = 0; layer < 2; ++layer) {
        for (int key = 1; key <= 87; ++key) {
            ASSERT_TRUE(keyboard.getKeyConfiguration(layer, key, out, 2));
            ASSERT_EQ(out[0], 0);
            ASSERT_EQ(out[1], 0);
        }
    }
}

TEST(KeyArrays, AnArrayShorterThanItsCountIsRefusedNotOverread) {
    COrsa keyboard(nullptr);
    int normal[] = {0, 1, 0x04};
    ASSERT_TRUE(keyboard.setKeyConfiguration(0, 10, normal, 3));
    // Each n claims more ints than the array holds; a reader that trusted it
    // would take whatever lies behind the array as codes.
    std::vector<std::vector<int>> liars = {
        {0},
        {0, 5, 0x04},
        {1, 300},
        {1, 300, 4, 0x04},
        {2, 0, 1, 0, 10},
        {2, 0, 1, 0, 10, 3, 0x10, 0x11},
        {2, 0, 1, 1, 0, 2, 0x10, 100},
        // A play mode the keyboard has no record type for.
        {2, 3, 1, 0, 10, 1, 0x10},
        {2, -1, 1, 0, 10, 1, 0x10},
        {2, INT_MAX, 1, 0, 10, 1, 0x10},
    };
    for (const auto& def : liars) {
        std::vector<int> copy = def; // exactly sized, so the sanitizer sees an overread
        EXPECT_FALSE(
            keyboard.setKeyConfiguration(0, 10, copy.data(), static_cast<int>(copy.size())))
            << "array of " << def.size() << " ints starting " << def[0];
    }
    EXPECT_FALSE(keyboard.setKeyConfiguration(0, 10, normal, 0));
    ASSERT_NE(keyboard.slot(9), nullptr);
    EXPECT_EQ(keyboard.slot(9)->type(), 0) << "a refused array leaves the slot as it was";
}

TEST(KeyArrays, ALongMacroIsCutToTheCallersArray) {
    COrsa keyboard(nullptr);
    std::vector<int> def = {2, 0, 1, 1, 0, 10};
    for (int i = 0; i < 10; ++i) {
        def.push_back(i);
        def.push_back(i * 10);
    }
    keyboard.setKeyConfiguration(0, 1, def.data(), static_cast<int>(def.size()));
    std::vector<int> out(12, -1);
    out.push_back(-7); // guard
    ASSERT_TRUE(keyboard.getKeyConfiguration(0, 1, out.data(), 12));
    EXPECT_EQ(out[5], 3) << "6 + 2*3 - 1 = 11 ints fit in 12";
    EXPECT_EQ(out[12], -7);
}
