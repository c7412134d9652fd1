// The simulated keyboard reached the way the library reaches it: the real
// transport on a socket pair, the frame helpers and the reading loop.

#include "KeyboardUtil.h"
#include "sim/SimTestSupport.h"
#include "sim/SimulatedKeyboard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

using namespace talvik::hwi;
using namespace talvik::hwi::sim;
using namespace talvik::test;
using Clock = std::chrono::steady_clock;

namespace {

class LinkTest : public ::testing::Test {
protected:
    CTempDir m_dir;

    static COrsaUtil connect(CSimulatorHub& hub, int model) { return COrsaUtil(hub.open(model)); }

    static std::string version(CKeyboardUtil& util) {
        Payload reply{};
        if (!sendFrame(util, commandFrame(cmd::kRequestVersion)) || !receivePayload(util, reply)) {
            return "(no answer)";
        }
        return reinterpret_cast<const char*>(reply.data() + 2);
    }

    static bool sendAll(CKeyboardUtil& util, const std::vector<Report>& frames) {
        for (const auto& frame : frames) {
            if (!sendFrame(util, frame)) {
                return false;
            }
        }
        return true;
    }

    // The key records the keyboard sends back for F2, joined; false when the
    // reading loop failed.
    static bool readKeys(CKeyboardUtil& util, Bytes& records) {
        records.clear();
        return requestAndRead(util, cmd::kRequestKeys, [&](const Payload& p) {
            if (p[0] == cmd::kEndKeys) {
                return ReplyAction::Finish;
            }
            if (p[1] == cmd::kKeyRecord) {
                records.insert(records.end(), p.begin(), p.end());
            }
            return ReplyAction::Continue;
        });
    }

    // A light or counter read as the library runs it: the chunks of `code`
    // into the area, other replies skipped, until E6.
    static bool readArea(CKeyboardUtil& util, std::uint8_t request, std::uint8_t code,
                         Bytes& area) {
        area.clear();
        return requestAndRead(util, request, [&](const Payload& p) {
            if (p[1] == cmd::kEndLight) {
                return ReplyAction::Finish;
            }
            if (p[1] == code) {
                std::size_t n = std::min<std::size_t>(p[2], 61);
                area.insert(area.end(), p.begin() + 3,
                            p.begin() + 3 + static_cast<std::ptrdiff_t>(n));
            }
            return ReplyAction::Continue;
        });
    }

    static std::vector<Report> keyWrite(const Bytes& record) {
        auto frames = framesOf(record);
        frames.insert(frames.begin(), commandFrame(cmd::kBeginKeys));
        frames.push_back(endOfKeysFrame());
        return frames;
    }
};

} // namespace

TEST_F(LinkTest, KeysWrittenOnOneConnectionAreReadOnTheNextAndModelsKeepTheirOwn) {
    CSimulatorHub hub({});
    Bytes macro = macroRecord(2, 40, 2, 1, countingData(4 * 30));
    {
        auto util = connect(hub, 3);
        ASSERT_TRUE(sendAll(util, keyWrite(macro)));
        EXPECT_EQ(version(util).rfind("Talvik(S) V", 0), 0u); // served in order, after the write
    }
    auto again = connect(hub, 3);
    Bytes records;
    ASSERT_TRUE(readKeys(again, records));
    EXPECT_EQ(records, macro);

    auto other = connect(hub, 4);
    ASSERT_TRUE(readKeys(other, records));
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(version(other).rfind("Talvik(RGB) V", 0), 0u);
}

TEST_F(LinkTest, ReportsWrittenJustBeforeClosingStillReachTheKeyboard) {
    CSimulatorHub hub({});
    Bytes record = normalRecord(1, 5, {0x04, 0x05, 0x06});
    {
        auto util = connect(hub, 1);
        ASSERT_TRUE(sendAll(util, keyWrite(record)));
        // Closed at once, before the keyboard has had a chance to read.
    }
    auto again = connect(hub, 1);
    Bytes records;
    ASSERT_TRUE(readKeys(again, records));
    EXPECT_EQ(records, record);
}

TEST_F(LinkTest, LightAndCountersThroughTheReadingLoop) {
    CSimulatorHub hub({});
    auto util = connect(hub, 1);
    std::array<std::uint8_t, 261> light{};
    for (std::size_t i = 0; i < light.size(); ++i) {
        light[i] = static_cast<std::uint8_t>(255 - i);
    }
    std::vector<Report> frames{commandFrame(cmd::kBeginLight)};
    for (std::size_t offset = 0; offset < light.size(); offset += 61) {
        frames.push_back(
            lightChunkFrame(light.data() + offset, std::min<std::size_t>(61, 261 - offset)));
    }
    frames.push_back(endOfLightFrame());
    ASSERT_TRUE(sendAll(util, frames));

    Bytes area;
    ASSERT_TRUE(readArea(util, cmd::kRequestLight, cmd::kLightChunk, area));
    EXPECT_EQ(area, Bytes(light.begin(), light.end()));
    ASSERT_TRUE(readArea(util, cmd::kRequestCounters, cmd::kRequestCounters, area));
    EXPECT_EQ(area.size(), 348u);
}

TEST_F(LinkTest, ClosingTheChannelStopsAKeyboardStuckInALongAnswer) {
    CSimulatorHub hub({});
    {
        // 174 macros of 20 blocks: far more than the socket buffers, and
        // nobody reads them.
        auto util = connect(hub, 2);
        ASSERT_TRUE(sendFrame(util, commandFrame(cmd::kBeginKeys)));
        for (int slot = 0; slot < 174; ++slot) {
            ASSERT_TRUE(sendAll(util, framesOf(macroRecord(slot / 87 + 1, slot % 87 + 1, 2, 0,
                                                           countingData(1060)))));
        }
        ASSERT_TRUE(sendFrame(util, endOfKeysFrame()));
        ASSERT_TRUE(sendFrame(util, commandFrame(cmd::kRequestKeys)));
        Payload first{};
        ASSERT_TRUE(receivePayload(util, first));
        EXPECT_EQ(first[1], cmd::kKeyRecord);
    }
    EXPECT_EQ(hub.memory(2).keys[173].size(), 20u * 64);
}

TEST_F(LinkTest, UnplugDropsConnectionsAndFailsOpensUntilPluggedInAgain) {
    CSimulatorHub hub({});
    auto util = connect(hub, 1);
    EXPECT_EQ(version(util).rfind("Talvik(RGB)BLe", 0), 0u);
    hub.unplug();
    EXPECT_FALSE(hub.isPluggedIn());
    auto started = Clock::now();
    EXPECT_EQ(version(util), "(no answer)");
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(900)); // not the read time-out
    EXPECT_FALSE(sendFrame(util, commandFrame(cmd::kRequestVersion)));
    EXPECT_FALSE(connect(hub, 1).isOpen());

    hub.plugIn();
    auto fresh = connect(hub, 1);
    EXPECT_EQ(version(fresh).rfind("Talvik(RGB)BLe", 0), 0u);
}

TEST_F(LinkTest, UnplugFileUnplugsWhileItExists) {
    auto marker = m_dir.path() / "unplugged";
    CSimulatorOptions options;
    options.unplugFile = marker.string();
    CSimulatorHub hub(options);
    EXPECT_TRUE(hub.isPluggedIn());
    writeFile(marker, "");
    EXPECT_FALSE(hub.isPluggedIn());
    EXPECT_FALSE(connect(hub, 2).isOpen());
    std::filesystem::remove(marker);
    EXPECT_TRUE(hub.isPluggedIn());
    EXPECT_TRUE(connect(hub, 2).isOpen());
}

TEST_F(LinkTest, LogHasOneLinePerReportInBothDirections) {
    auto logFile = m_dir.path() / "traffic.log";
    writeFile(logFile, "W earlier run\n");
    CSimulatorOptions options;
    options.logFile = logFile.string();
    {
        CSimulatorHub hub(options);
        auto util = connect(hub, 2);
        Bytes area;
        ASSERT_TRUE(readArea(util, cmd::kRequestLight, cmd::kLightChunk, area));
    }
    std::istringstream lines(readFile(logFile));
    std::vector<std::string> log;
    for (std::string line; std::getline(lines, line);) {
        log.push_back(line);
    }
    ASSERT_EQ(log.size(), 1u + 1 + 6);
    EXPECT_EQ(log[0], "W earlier run"); // appended, not overwritten
    EXPECT_EQ(log[1], "W 00e2" + std::string(124, '0'));
    EXPECT_EQ(log[2].substr(0, 8), "R 00e03d");
    std::string endMarker = "R ";
    for (int i = 0; i < 64; ++i) {
        endMarker += "e6";
    }
    EXPECT_EQ(log[7], endMarker);
    for (std::size_t i = 1; i < log.size(); ++i) {
        EXPECT_EQ(log[i].size(), 130u);
        EXPECT_EQ(log[i].find_first_not_of("0123456789abcdef", 2), std::string::npos);
    }
}
