// What talvikctl adds to the library when it writes a profile with every key
// assigned to the simulated keyboard, per report sent.
//
//  - Library:   the same key table and light area, set up in memory and sent
//               through COrsaHWI and the simulated keyboard: the library's own
//               per-report cost with the transport (no profile, no waits).
//  - InProcess: talvikctl's command run in this process: profile load, the
//               model's conversion, the jobs and their wait between the key
//               write and the light write.
//  - Process:   the talvikctl program as a user runs it: everything above plus
//               starting the process and loading the library.
// per_report_wall is elapsed time per report; per_report_no_wait takes out
// the one-second wait the jobs keep between two exchanges with the keyboard.
// Process minus Library is what the program adds to each report.

#include "CtlApp.h"
#include "FullProfile.h"

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/profile/Profile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace talvik::profile;

using namespace talvik::model;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kModel = 1;
// A full key table write (begin frame, 174 slots of which the timed macros
// take two blocks each, end frame) and a light write (7 reports); counted
// from the traffic log in setUp.
long long g_reportsPerWrite = 0;
const double kWaitSeconds =
    std::chrono::duration<double>(talvik::jobs::kSettleWait).count(); // between the two writes

struct SFiles {
    fs::path dir = fs::temp_directory_path() / ("talvik-bench-ctl-" + std::to_string(::getpid()));
    fs::path profile = dir / "full.pro";
    fs::path log = dir / "traffic.log";
    ~SFiles() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

const SFiles& files() {
    static SFiles f = [] {
        SFiles made;
        fs::create_directories(made.dir);
        CAppState state(CDeviceEnvironment::withoutDevices());
        state.buildNameTables();
        state.modelNumber = kModel;
        state.resetToDefaults();
        talvik::test::assignEveryKey(state);
        saveProfile(state, made.profile.string());
        return made;
    }();
    return f;
}

int runProgram(const std::string& log) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("TALVIK_SIMULATOR", "1", 1);
        if (!log.empty()) {
            ::setenv("TALVIK_SIMULATOR_LOG", log.c_str(), 1);
        }
        std::freopen("/dev/null", "w", stderr);
        const std::string program = TALVIK_BINARY_DIR "/bin/talvikctl";
        ::execl(program.c_str(), program.c_str(), "write", "--no-backup",
                files().profile.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool countReports() {
    if (g_reportsPerWrite > 0) {
        return true;
    }
    fs::remove(files().log);
    if (runProgram(files().log.string()) != 0) {
        return false;
    }
    std::FILE* log = std::fopen(files().log.c_str(), "r");
    char line[256];
    while (log != nullptr && std::fgets(line, sizeof line, log) != nullptr) {
        g_reportsPerWrite += line[0] == 'W' || line[0] == 'R';
    }
    if (log != nullptr) {
        std::fclose(log);
    }
    return g_reportsPerWrite > 0;
}

void perReport(benchmark::State& state, Clock::time_point start, double waits) {
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double reports =
        static_cast<double>(g_reportsPerWrite) * static_cast<double>(state.iterations());
    state.counters["reports"] = static_cast<double>(g_reportsPerWrite);
    state.counters["per_report_wall"] = wall / reports;
    state.counters["per_report_no_wait"] =
        (wall - waits * static_cast<double>(state.iterations())) / reports;
}

void BM_Write_Library(benchmark::State& state) {
    if (!countReports()) {
        state.SkipWithError("talvikctl write failed");
        return;
    }
    CDeviceEnvironment environment = CDeviceEnvironment::withoutDevices(kModel);
    CAppState app(environment);
    app.buildNameTables();
    app.modelNumber = kModel;
    app.resetToDefaults();
    talvik::test::assignEveryKey(app);
    app.device.__createDev();
    app.writeKeysToLibrary(app.device);
    std::array<int, kLightArrayInts> light{};
    app.lightAreasToArray(light);
    const auto start = Clock::now();
    for (auto _ : state) {
        if (!app.device.writeKeyConfigurationToDev(0) ||
            !app.device.writeKeyboardLightArea(light.data())) {
            state.SkipWithError("transfer failed");
            return;
        }
    }
    perReport(state, start, 0.0);
}
BENCHMARK(BM_Write_Library)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Write_InProcess(benchmark::State& state) {
    if (!countReports()) {
        state.SkipWithError("talvikctl write failed");
        return;
    }
    ::setenv("TALVIK_SIMULATOR", "1", 1);
    std::string name = "talvikctl", command = "write", noBackup = "--no-backup",
                profile = files().profile.string();
    char* argv[] = {name.data(), command.data(), noBackup.data(), profile.data(), nullptr};
    std::FILE* quiet = std::fopen("/dev/null", "w");
    talvik::ctl::CCtlContext context;
    context.language = talvik::text::Language::English;
    context.err = quiet;
    const auto start = Clock::now();
    for (auto _ : state) {
        if (talvik::ctl::runTalvikctl(4, argv, context) != 0) {
            state.SkipWithError("talvikctl write failed");
            break;
        }
    }
    perReport(state, start, kWaitSeconds);
    std::fclose(quiet);
}
BENCHMARK(BM_Write_InProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Write_Process(benchmark::State& state) {
    if (!countReports()) {
        state.SkipWithError("talvikctl write failed");
        return;
    }
    const auto start = Clock::now();
    for (auto _ : state) {
        if (runProgram({}) != 0) {
            state.SkipWithError("talvikctl write failed");
            break;
        }
    }
    perReport(state, start, kWaitSeconds);
}
BENCHMARK(BM_Write_Process)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
