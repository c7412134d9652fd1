// Simulated keyboards of a caller's own, next to the process's: each
// environment built with one keeps its memory, faults, files and unplugging to
// itself, and never opens a real node; the default still follows
// TALVIK_SIMULATOR.

#include "talvik/hwi/COrsaHWI.h"

#include "sim/SimulatedKeyboard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

using namespace talvik::hwi::sim;
using talvik::test::CTempDir;
using talvik::test::readFile;
using talvik::test::reportsTaken;
using talvik::test::writeFile;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kLightInts = 261;

std::vector<int> lightPattern(int seed) {
    std::vector<int> values(kLightInts);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<int>((i * 7 + static_cast<std::size_t>(seed)) % 256);
    }
    return values;
}

// Writes the light area and waits until the keyboard has taken all of it: the
// version's answer comes after every report written before its request.
bool writeLight(COrsaHWI& hwi, const std::vector<int>& values) {
    wchar_t version[64] = {};
    return hwi.__createDev() && hwi.writeKeyboardLightArea(values.data()) &&
           hwi.ReadKeyboardVersion(version);
}

std::optional<std::vector<int>> readLight(COrsaHWI& hwi) {
    std::vector<int> values(kLightInts, -1);
    if (!hwi.__createDev() || !hwi.readKeyLightFromDev() ||
        !hwi.getKeyboardLightArea(values.data())) {
        return std::nullopt;
    }
    return values;
}

bool answersVersion(COrsaHWI& hwi) {
    wchar_t version[64] = {};
    return hwi.__createDev() && hwi.ReadKeyboardVersion(version);
}

} // namespace

TEST(OwnSimulator, TwoEnvironmentsKeepTheirMemoriesApartAndCopiesShareOne) {
    const CDeviceEnvironment first = CDeviceEnvironment::withSimulator(1);
    const CDeviceEnvironment second = CDeviceEnvironment::withSimulator(1);
    ASSERT_NE(first.simulator, nullptr);
    const CKeyboardMemory processBefore = processHub().memory(1);

    COrsaHWI writer(first);
    const std::vector<int> colours = lightPattern(3);
    ASSERT_TRUE(writeLight(writer, colours));

    COrsaHWI sameKeyboard(first); // a copy of the environment: the same simulator
    EXPECT_EQ(readLight(sameKeyboard), colours);
    COrsaHWI otherKeyboard(second);
    const auto other = readLight(otherKeyboard);
    ASSERT_TRUE(other.has_value());
    EXPECT_NE(*other, colours);
    EXPECT_TRUE(second.simulator->memory(1) == CKeyboardMemory::fresh(1));
    EXPECT_TRUE(processHub().memory(1) == processBefore) << "the process's keyboard is untouched";

    COrsaHWI processKeyboard(CDeviceEnvironment::withoutDevices(1));
    ASSERT_TRUE(writeLight(processKeyboard, lightPattern(9)));
    EXPECT_EQ(readLight(sameKeyboard), colours) << "nor does the process's reach an own one";
}

TEST(OwnSimulator, FaultsStayWithTheEnvironmentThatWasGivenThem) {
    COrsaHWI silent(CDeviceEnvironment::withSimulator(2, {.faults = "silent"}));
    COrsaHWI healthy(CDeviceEnvironment::withSimulator(2));
    COrsaHWI process(CDeviceEnvironment::withoutDevices(2));
    EXPECT_FALSE(answersVersion(silent));
    EXPECT_TRUE(answersVersion(healthy));
    EXPECT_TRUE(answersVersion(process));
    EXPECT_TRUE(answersVersion(healthy)) << "the silent keyboard's fault never spreads";

    testing::internal::CaptureStderr();
    COrsaHWI failing(CDeviceEnvironment::withSimulator(3, {.faults = "disconnect:1,bogus"}));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("ignoring fault \"bogus\""), std::string::npos) << said;
    EXPECT_TRUE(answersVersion(failing)) << "the fault understood still applies";
    const auto started = Clock::now();
    EXPECT_FALSE(answersVersion(failing));
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(900)) << "closed, not silent";
}

TEST(OwnSimulator, ItsStateLogAndUnplugFileAreTheOnesItWasGiven) {
    CTempDir dir;
    const CSimulatorSetup setup{.stateFile = (dir.path() / "keyboard.state").string(),
                                .trafficLog = (dir.path() / "traffic.log").string(),
                                .unplugFile = (dir.path() / "unplugged").string()};
    const CDeviceEnvironment environment = CDeviceEnvironment::withSimulator(4, setup);
    COrsaHWI hwi(environment);
    EXPECT_EQ(hwi.DetectDeviceType(), 4);
    const std::vector<int> colours = lightPattern(5);
    ASSERT_TRUE(writeLight(hwi, colours));
    EXPECT_NE(readFile(setup.trafficLog).find("W 00e1"), std::string::npos);
    EXPECT_NE(readFile(setup.stateFile).find("model 4\n"), std::string::npos);

    writeFile(setup.unplugFile, "");
    EXPECT_FALSE(COrsaHWI(environment).DetectDevice());
    EXPECT_TRUE(COrsaHWI(environment).listKeyboards().empty());
    EXPECT_EQ(COrsaHWI(CDeviceEnvironment::withSimulator(4)).DetectDeviceType(), 4);
    EXPECT_TRUE(processHub().isPluggedIn());
    // The open connection drops once the simulator sees the unplug file.
    EXPECT_TRUE(talvik::test::waitUntil([&] { return !answersVersion(hwi); }));

    // A later simulator on the same state file starts where this one stopped.
    COrsaHWI later(CDeviceEnvironment::withSimulator(4, {.stateFile = setup.stateFile}));
    EXPECT_EQ(readLight(later), colours);
}

TEST(OwnSimulator, AHoldFileStopsEachConnectionAfterTheReportItNamesUntilItGoes) {
    CTempDir dir;
    const CSimulatorSetup setup{.trafficLog = (dir.path() / "traffic.log").string(),
                                .holdFile = (dir.path() / "hold").string()};
    const CDeviceEnvironment environment = CDeviceEnvironment::withSimulator(2, setup);
    COrsaHWI hwi(environment);
    ASSERT_TRUE(hwi.__createDev());
    const std::size_t before = reportsTaken(setup.trafficLog);
    writeFile(setup.holdFile, std::to_string(before + 3));

    // The light area takes many reports: the write blocks behind the held ones
    // instead of failing, and goes on when the file goes.
    const std::vector<int> colours = lightPattern(9);
    std::optional<bool> written;
    std::thread writer([&] { written = writeLight(hwi, colours); });
    talvik::test::waitUntil(
        [&] { return reportsTaken(setup.trafficLog) >= before + 3; });
    EXPECT_EQ(reportsTaken(setup.trafficLog), before + 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(reportsTaken(setup.trafficLog), before + 3) << "held, not served";

    std::filesystem::remove(setup.holdFile);
    writer.join();
    EXPECT_EQ(written, true);
    EXPECT_EQ(readLight(hwi), colours);

    // A new connection counts from its own opening.
    writeFile(setup.holdFile, "0");
    COrsaHWI held(environment);
    EXPECT_FALSE(answersVersion(held)) << "no report is taken, so none is answered";
}

TEST(OwnSimulator, OpensNoRealNode) {
    CDeviceEnvironment environment = CDeviceEnvironment::withSimulator(1);
    int opened = 0;
    environment.openNode = [&opened](const char*, int) {
        ++opened;
        return -1;
    };
    COrsaHWI hwi(environment);
    const std::vector<CKeyboardEntry> found = hwi.listKeyboards();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].devNode, "simulator");
    ASSERT_TRUE(hwi.__createDev());
    EXPECT_EQ(hwi.deviceAccess(), CDeviceAccess::Open);
    EXPECT_TRUE(answersVersion(hwi));
    EXPECT_EQ(opened, 0);
}

TEST(ProcessSimulator, TheDefaultEnvironmentFollowsTalvikSimulator) {
    const char* before = std::getenv("TALVIK_SIMULATOR");
    const std::string saved = before == nullptr ? "" : before;
    ::setenv("TALVIK_SIMULATOR", "3", 1);
    const CDeviceEnvironment environment = CDeviceEnvironment::fromProcess();
    EXPECT_EQ(environment.simulatorModel, 3);
    EXPECT_EQ(environment.simulator, nullptr) << "the process's simulator plays it";
    EXPECT_EQ(COrsaHWI().DetectDeviceType(), 3);
    for (const char* outOfRange : {"0", "5", "-1", "three"}) {
        ::setenv("TALVIK_SIMULATOR", outOfRange, 1);
        EXPECT_EQ(CDeviceEnvironment::fromProcess().simulatorModel, 0) << outOfRange;
    }
    ::unsetenv("TALVIK_SIMULATOR");
    EXPECT_EQ(CDeviceEnvironment::fromProcess().simulatorModel, 0);
    if (before != nullptr) {
        ::setenv("TALVIK_SIMULATOR", saved.c_str(), 1);
    }
}

TEST(OwnSimulator, ALostConnectionFailsAtOnceAndTheSameObjectConnectsAgain) {
    CTempDir dir;
    const CSimulatorSetup setup{.trafficLog = (dir.path() / "traffic.log").string(),
                                .unplugFile = (dir.path() / "unplugged").string()};
    COrsaHWI hwi(CDeviceEnvironment::withSimulator(1, setup));
    ASSERT_TRUE(hwi.__createDev());
    wchar_t version[64] = {};
    ASSERT_TRUE(hwi.ReadKeyboardVersion(version));
    const std::wstring before = version;
    const std::size_t descriptors = talvik::test::openFileCount();
    const std::size_t threads = talvik::test::steadyThreadCount();

    for (int round = 0; round < 20; ++round) {
        writeFile(setup.unplugFile, "");
        ASSERT_TRUE(talvik::test::waitUntil([&] { return !hwi.ReadKeyboardVersion(version); }));
        EXPECT_TRUE(hwi.connectionLost());
        EXPECT_FALSE(hwi.isConnected());
        // Every later call fails without a report or a wait, however many reports it would make.
        const std::size_t sent = reportsTaken(setup.trafficLog);
        const auto started = Clock::now();
        EXPECT_FALSE(hwi.readKeyDefinationFromDev(0));
        EXPECT_FALSE(hwi.writeKeyConfigurationToDev(0));
        EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(900));
        EXPECT_EQ(reportsTaken(setup.trafficLog), sent);
        EXPECT_FALSE(hwi.__createDev()) << "nothing to connect to while unplugged";

        std::filesystem::remove(setup.unplugFile);
        ASSERT_TRUE(hwi.__createDev());
        EXPECT_FALSE(hwi.connectionLost());
        std::fill(std::begin(version), std::end(version), L'\0');
        ASSERT_TRUE(hwi.ReadKeyboardVersion(version)) << "round " << round;
        EXPECT_EQ(std::wstring(version), before);
    }
    EXPECT_EQ(talvik::test::openFileCount(), descriptors) << "each lost connection is closed";
    EXPECT_EQ(talvik::test::threadCountSettlingAt(threads), threads);
}
