// The simulator's options: the state file, fault injection and the
// environment they come from.

#include "KeyboardUtil.h"
#include "sim/SimTestSupport.h"
#include "sim/SimulatedKeyboard.h"
#include "sim/StateFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

using namespace talvik::hwi;
using namespace talvik::hwi::sim;
using namespace talvik::test;
using Clock = std::chrono::steady_clock;

namespace {

CKeyboardMemory busyMemory(int model) {
    CKeyboardMemory memory = CKeyboardMemory::fresh(model);
    memory.keys[0] = normalRecord(1, 1, {0x04, 0x05});
    memory.keys[173] = macroRecord(2, 87, 4, 1, countingData(4 * 20));
    memory.light.fill(0x7F);
    memory.light[260] = 0x01;
    memory.counters[86] = 4000000000u;
    memory.counterReads = 9;
    memory.firmware.records = 300;
    memory.firmware.badRecords = 2;
    memory.firmware.completedImages = 1;
    return memory;
}

// Writes one key record through a fresh connection and reads the counters.
void writeOneKey(CSimulatorHub& hub, int model, const Bytes& record) {
    COrsaUtil util(hub.open(model));
    std::vector<Report> frames = framesOf(record);
    frames.insert(frames.begin(), commandFrame(cmd::kBeginKeys));
    frames.push_back(endOfKeysFrame());
    // Also moves the counters on; its first reply shows all went before it.
    frames.push_back(commandFrame(cmd::kRequestCounters));
    for (const auto& frame : frames) {
        ASSERT_TRUE(sendFrame(util, frame));
    }
    Payload reply{};
    ASSERT_TRUE(receivePayload(util, reply));
}

} // namespace

TEST(StateFormat, EveryPartOfTheMemorySurvivesFormatAndParse) {
    CMemoryMap memories{{1, busyMemory(1)}, {4, CKeyboardMemory::fresh(4)}};
    std::string text = formatState(memories);
    EXPECT_EQ(text.rfind("talvik-simulator-state 1\nmodel 1\nlight 7f7f", 0), 0u);
    std::string error;
    auto back = parseState(text, error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(*back == memories);
}

TEST(StateFormat, CommentsBlankLinesUpperCaseHexAndMissingLinesAreAccepted) {
    std::string record = toHex(normalRecord(2, 1, {0xAA}));
    for (auto& c : record) {
        c = static_cast<char>(std::toupper(c));
    }
    std::string error;
    auto memories = parseState("# kept by hand\ntalvik-simulator-state 1\n\nmodel 3\r\n"
                               "slot 87 " +
                                   record + "\n",
                               error);
    ASSERT_TRUE(memories) << error;
    const CKeyboardMemory& memory = memories->at(3);
    EXPECT_EQ(memory.keys[87], normalRecord(2, 1, {0xAA}));
    EXPECT_EQ(memory.counters, CKeyboardMemory::fresh(3).counters);

    auto empty = parseState("", error);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(StateFormat, DamagedFilesAreRefusedWithTheLineThatIsWrong) {
    std::string good = formatState({{2, busyMemory(2)}});
    std::string header = "talvik-simulator-state 1\n";
    const std::pair<std::string, std::string> damaged[] = {
        {"talvik-simulator-state 2\n", "line 1"},
        {header + "light 00\n", "line 2: line before the first model"},
        {header + "model 5\n", "line 2"},
        {header + "model 1\nmodel 1\n", "line 3"},
        {header + "model 1\nlight 0g" + std::string(520, '0') + "\n", "line 3: light"},
        {header + "model 1\ncounters 1 2 3\n", "line 3: counters"},
        {header + "model 1\ncounter-reads -1\n", "line 3"},
        {header + "model 1\nfirmware 1 2\n", "line 3: firmware"},
        {header + "model 1\nslot 174 " + toHex(normalRecord(1, 1, {})) + "\n", "line 3: slot"},
        {header + "model 1\nslot 1 " + toHex(normalRecord(1, 1, {})) + "\n", "does not belong"},
        {header + "model 1\nslot 0 00f00101\n", "whole 64-byte blocks"},
        {header + "model 1\nslot 0 " + toHex(normalRecord(1, 1, {})) + "\nslot 0 " +
             toHex(normalRecord(1, 1, {})) + "\n",
         "line 4: repeated"},
        {header + "model 1\nkeys 1\n", "unknown line"},
        {good.substr(0, good.size() / 2), "line"}, // cut off mid-line
    };
    for (const auto& [text, expected] : damaged) {
        std::string error;
        EXPECT_FALSE(parseState(text, error)) << text;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

TEST(StateFile, WritesAndCountersSurviveTheRunAndADamagedFileStartsFresh) {
    CTempDir dir;
    CSimulatorOptions options;
    options.stateFile = (dir.path() / "keyboard.state").string();
    Bytes record = macroRecord(1, 9, 2, 0, countingData(60));
    std::uint32_t counterBefore = 0;
    {
        CSimulatorHub hub(options);
        writeOneKey(hub, 2, record);
        // Saved right after the write, not only at the end.
        std::string saved = readFile(options.stateFile);
        EXPECT_NE(saved.find("slot 8 " + toHex(record)), std::string::npos);
        counterBefore = hub.memory(2).counters[0];
        EXPECT_GT(counterBefore, CKeyboardMemory::fresh(2).counters[0]);
    }
    {
        CSimulatorHub hub(options);
        EXPECT_EQ(hub.memory(2).keys[8], record);
        EXPECT_EQ(hub.memory(2).counters[0], counterBefore);
    }

    writeFile(options.stateFile, "talvik-simulator-state 1\nmodel 2\nlight zz\n");
    testing::internal::CaptureStderr();
    CSimulatorHub hub(options);
    CKeyboardMemory memory = hub.memory(2);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(memory == CKeyboardMemory::fresh(2));
    EXPECT_NE(said.find("is damaged (line 3: light"), std::string::npos) << said;
    EXPECT_NE(said.find("starting with a fresh keyboard"), std::string::npos) << said;
    EXPECT_EQ(readFile(options.stateFile + ".damaged"),
              "talvik-simulator-state 1\nmodel 2\nlight zz\n");
}

TEST(FaultGrammar, NamesCountsAndMistakes) {
    std::vector<std::string> problems;
    CFaultPlan plan =
        parseFaults(" silent:5 , disconnect:12,stray:3,oversize,overflow,short-macro,replug:7",
                    problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(plan.silentAfter, 5u);
    EXPECT_EQ(plan.disconnectAfter, 12u);
    EXPECT_EQ(plan.replugAfter, 7u);
    EXPECT_EQ(plan.strayReplies, 3u);
    EXPECT_TRUE(plan.oversizeChunks && plan.overflowAreas && plan.shortMacros);

    plan = parseFaults("silent,stray", problems);
    EXPECT_EQ(plan.silentAfter, 0u);
    EXPECT_EQ(plan.strayReplies, 1u);

    plan = parseFaults("slow,disconnect,silent:x,stray:-1,oversize:2,replug,,", problems);
    EXPECT_FALSE(plan.any());
    EXPECT_EQ(problems.size(), 6u);
}

class FaultTest : public ::testing::Test {
protected:
    std::unique_ptr<CSimulatorHub> m_hub;
    std::unique_ptr<COrsaUtil> m_util;

    void start(const std::string& faults) {
        CSimulatorOptions options;
        std::vector<std::string> problems;
        options.faults = parseFaults(faults, problems);
        ASSERT_TRUE(problems.empty());
        m_hub = std::make_unique<CSimulatorHub>(options);
        m_util = std::make_unique<COrsaUtil>(m_hub->open(1));
    }
    // The payloads answering `request`, up to and including the E6 end.
    std::vector<Payload> ask(std::uint8_t request) {
        std::vector<Payload> replies;
        EXPECT_TRUE(requestAndRead(*m_util, request, [&](const Payload& p) {
            replies.push_back(p);
            return p[1] == cmd::kEndLight ? ReplyAction::Finish : ReplyAction::Continue;
        }));
        return replies;
    }
    bool answers() {
        Payload reply{};
        return sendFrame(*m_util, commandFrame(cmd::kRequestVersion)) &&
               receivePayload(*m_util, reply);
    }
};

TEST_F(FaultTest, SilentAfterNAnswersNThenTheReadTimesOut) {
    start("silent:2");
    EXPECT_TRUE(answers());
    EXPECT_TRUE(answers());
    auto started = Clock::now();
    EXPECT_FALSE(answers());
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(900));
    EXPECT_TRUE(sendFrame(*m_util, commandFrame(cmd::kBeginKeys))); // still takes reports
}

TEST_F(FaultTest, DisconnectAfterNClosesTheConnection) {
    start("disconnect:1");
    EXPECT_TRUE(answers());
    auto started = Clock::now();
    EXPECT_FALSE(answers());
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(900));
    EXPECT_FALSE(sendFrame(*m_util, commandFrame(cmd::kRequestVersion)));
}

TEST_F(FaultTest, StrayRepliesComeFirstAndInAreaReadsAreTheOtherAreasChunks) {
    start("stray:2");
    auto light = ask(cmd::kRequestLight);
    ASSERT_EQ(light.size(), 2u + 5 + 1);
    EXPECT_EQ(light[0][1], cmd::kRequestCounters);
    EXPECT_EQ(light[1][1], cmd::kRequestCounters);
    EXPECT_EQ(light[2][1], cmd::kLightChunk);
    auto counters = ask(cmd::kRequestCounters);
    EXPECT_EQ(counters[0][1], cmd::kLightChunk);
    EXPECT_EQ(counters[2][1], cmd::kRequestCounters);

    ASSERT_TRUE(sendFrame(*m_util, commandFrame(cmd::kRequestKeys)));
    Payload reply{};
    ASSERT_TRUE(receivePayload(*m_util, reply));
    EXPECT_NE(reply[1], cmd::kKeyRecord);
    EXPECT_NE(reply[0], cmd::kEndKeys);
}

TEST_F(FaultTest, OversizeAndOverflowMalformTheAreaReplies) {
    start("oversize,overflow");
    auto light = ask(cmd::kRequestLight);
    ASSERT_EQ(light.size(), 5u + 1 + 1);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(light[i][1], cmd::kLightChunk);
        EXPECT_EQ(light[i][2], 0xFF);
    }
    auto counters = ask(cmd::kRequestCounters);
    EXPECT_EQ(counters.size(), 6u + 1 + 1);
    EXPECT_EQ(counters[6][1], cmd::kRequestCounters);
}

TEST_F(FaultTest, ShortMacroLeavesOutTheLastBlockOfLongMacrosOnly) {
    start("short-macro");
    Bytes threeBlocks = macroRecord(1, 2, 2, 0, countingData(120));
    Bytes oneBlock = macroRecord(1, 3, 2, 0, countingData(10));
    std::vector<Report> frames = {commandFrame(cmd::kBeginKeys)};
    for (const auto& record : {threeBlocks, oneBlock}) {
        auto more = framesOf(record);
        frames.insert(frames.end(), more.begin(), more.end());
    }
    frames.push_back(endOfKeysFrame());
    frames.push_back(commandFrame(cmd::kRequestKeys));
    for (const auto& frame : frames) {
        ASSERT_TRUE(sendFrame(*m_util, frame));
    }
    Bytes got;
    Payload reply{};
    while (receivePayload(*m_util, reply) && reply[0] != cmd::kEndKeys) {
        got.insert(got.end(), reply.begin(), reply.end());
    }
    Bytes expected(threeBlocks.begin(), threeBlocks.begin() + 128);
    expected.insert(expected.end(), oneBlock.begin(), oneBlock.end());
    EXPECT_EQ(got, expected);
}

TEST(ProcessHub, EnvironmentSelectsTheOptionsAndTheHooksUnplug) {
    CTempDir dir;
    auto marker = dir.path() / "gone";
    ::setenv("TALVIK_SIMULATOR_UNPLUG_FILE", marker.c_str(), 1);
    ::setenv("TALVIK_SIMULATOR_FAULT", "stray:1,bogus", 1);
    ::setenv("TALVIK_SIMULATOR_LOG", (dir.path() / "log").c_str(), 1);
    ::setenv("TALVIK_SIMULATOR_STATE", (dir.path() / "state").c_str(), 1);
    testing::internal::CaptureStderr();
    CSimulatorOptions options = CSimulatorOptions::fromEnvironment();
    std::string said = testing::internal::GetCapturedStderr();
    // The process hub outlives this folder: it gets neither file to write.
    ::unsetenv("TALVIK_SIMULATOR_LOG");
    ::unsetenv("TALVIK_SIMULATOR_STATE");
    EXPECT_EQ(options.unplugFile, marker.string());
    EXPECT_EQ(options.logFile, (dir.path() / "log").string());
    EXPECT_EQ(options.stateFile, (dir.path() / "state").string());
    EXPECT_EQ(options.faults.strayReplies, 1u);
    EXPECT_NE(said.find("ignoring fault \"bogus\""), std::string::npos) << said;

    // The process hub reads the same variables on first use.
    EXPECT_TRUE(processHub().isPluggedIn());
    writeFile(marker, "");
    EXPECT_FALSE(processHub().isPluggedIn());
    EXPECT_LT(openSimulatedKeyboard(1)->fd(), 0);
    std::filesystem::remove(marker);
    processHub().unplug();
    EXPECT_FALSE(processHub().isPluggedIn());
    processHub().plugIn();
    EXPECT_TRUE(processHub().isPluggedIn());
    EXPECT_GE(openSimulatedKeyboard(1)->fd(), 0);
}
