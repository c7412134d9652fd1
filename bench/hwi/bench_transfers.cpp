// What the library itself spends on each report of a full key table transfer.
//
// Three measurements of the same 174-slot write followed by a read:
//  - Memory:    COrsa over a connection that keeps nothing and replays the
//               keyboard's replies from memory. No system call is made, so
//               this is the library's own cost: encoding, decoding, frame
//               building, the reading loop and the table.
//  - Simulator: COrsaHWI through the simulated keyboard, as the program runs
//               it: the library plus the descriptor transport plus the
//               simulated firmware on its own thread.
//  - RawSimulator: the same reports through the same transport, pre-built,
//               with no encoding or decoding: the transport's and the
//               simulator's share, to be subtracted from Simulator.
// Each reports the time of one report of the transfer, as CPU time of the
// transferring thread and as elapsed time. The library's share through the
// simulator is Simulator minus RawSimulator; Memory gives it without any
// transport noise.

#include "COrsa.h"
#include "Frames.h"
#include "KeyboardUtil.h"
#include "sim/SimulatedKeyboard.h"

#include "talvik/hwi/COrsaHWI.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

using namespace talvik::hwi;

namespace {

// A realistic table: combinations, repeated keys, untimed and timed macros
// (the timed ones take two blocks each).
void fillTable(const std::function<void(int, int, std::vector<int>&)>& set) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        std::vector<int> def;
        switch (slot % 4) {
        case 0:
            def = {0, 3, 0xE0, 0xE1, 0x04 + slot % 20};
            break;
        case 1:
            def = {1, 300, 2, 0x05, 0x06};
            break;
        case 2:
            def = {2, 0, 1, 0, 20, 20};
            for (int i = 0; i < 20; ++i) {
                def.push_back(0x04 + i);
            }
            break;
        default:
            def = {2, 1, 2, 1, 0, 20};
            for (int i = 0; i < 20; ++i) {
                def.push_back(0x04 + i);
                if (i < 19) {
                    def.push_back(100 + i);
                }
            }
            break;
        }
        set(slot / kKeyCount, slot % kKeyCount + 1, def);
    }
}

// Keeps nothing it is sent; hands out the replies of a read from memory.
class CMemoryKeyboard final : public COrsaUtil {
public:
    CMemoryKeyboard() : COrsaUtil(nullptr) {}

    bool writeReport(const unsigned char* report, unsigned length) override {
        if (m_recording) {
            Report frame{};
            std::copy(report, report + length, frame.begin());
            m_written.push_back(frame);
            if (report[2] == cmd::kKeyRecord) {
                Payload p{};
                std::copy(report + 1, report + length, p.begin());
                m_replies.push_back(p);
            }
        }
        ++m_reports;
        return true;
    }

    bool readReport(unsigned char* payload, unsigned* length, int) override {
        const Payload& next = m_replies[m_next];
        m_next = (m_next + 1) % m_replies.size();
        std::copy(next.begin(), next.end(), payload);
        *length = kPayloadSize;
        ++m_reports;
        return true;
    }

    // The records written while recording become the keyboard's reply to a read.
    void record(bool on) {
        m_recording = on;
        if (!on) {
            Payload end{};
            end[0] = cmd::kEndKeys;
            m_replies.push_back(end);
        }
    }

    long long m_reports = 0;
    std::vector<Report> m_written; // every frame sent while recording

private:
    bool m_recording = false;
    std::vector<Payload> m_replies;
    std::size_t m_next = 0;
};

using Clock = std::chrono::steady_clock;

// per_report_cpu: CPU time of the calling thread per report; per_report_wall:
// elapsed time per report, which includes waiting for the simulator's thread.
void perReport(benchmark::State& state, long long reports, Clock::time_point start) {
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["reports"] =
        static_cast<double>(reports) / static_cast<double>(state.iterations());
    state.counters["per_report_cpu"] = benchmark::Counter(
        static_cast<double>(reports), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["per_report_wall"] = benchmark::Counter(wall / static_cast<double>(reports));
}

void BM_KeyTable_Memory(benchmark::State& state) {
    CMemoryKeyboard device;
    COrsa keyboard(&device);
    fillTable([&](int layer, int key, std::vector<int>& def) {
        keyboard.setKeyConfiguration(layer, key, def.data(), static_cast<int>(def.size()));
    });
    device.record(true);
    keyboard.writeKeyConfigurationToDev(0);
    device.record(false);
    device.m_reports = 0;
    const auto start = Clock::now();
    for (auto _ : state) {
        bool ok = keyboard.writeKeyConfigurationToDev(0) && keyboard.readKeyDefinationFromDev(0);
        benchmark::DoNotOptimize(ok);
    }
    perReport(state, device.m_reports, start);
}
BENCHMARK(BM_KeyTable_Memory);

void BM_KeyTable_Simulator(benchmark::State& state) {
    CDeviceEnvironment environment;
    environment.simulatorModel = 1;
    COrsaHWI hwi(environment);
    if (!hwi.__createDev()) {
        state.SkipWithError("no simulated keyboard");
        return;
    }
    fillTable([&](int layer, int key, std::vector<int>& def) {
        hwi.setKeyConfiguration(layer, key, def.data(), static_cast<int>(def.size()));
    });
    // Count the reports once with the in-memory keyboard: the transfer is the same.
    CMemoryKeyboard counter;
    COrsa shadow(&counter);
    fillTable([&](int layer, int key, std::vector<int>& def) {
        shadow.setKeyConfiguration(layer, key, def.data(), static_cast<int>(def.size()));
    });
    counter.record(true);
    shadow.writeKeyConfigurationToDev(0);
    counter.record(false);
    shadow.readKeyDefinationFromDev(0);
    const long long reportsPerRun = counter.m_reports;

    long long reports = 0;
    const auto start = Clock::now();
    for (auto _ : state) {
        if (!hwi.writeKeyConfigurationToDev(0) || !hwi.readKeyDefinationFromDev(0)) {
            state.SkipWithError("transfer failed");
            return;
        }
        reports += reportsPerRun;
    }
    perReport(state, reports, start);
}
BENCHMARK(BM_KeyTable_Simulator)->Unit(benchmark::kMillisecond);

void BM_KeyTable_RawSimulator(benchmark::State& state) {
    COrsaUtil util(sim::openSimulatedKeyboard(1));
    CMemoryKeyboard recorder;
    COrsa shadow(&recorder);
    fillTable([&](int layer, int key, std::vector<int>& def) {
        shadow.setKeyConfiguration(layer, key, def.data(), static_cast<int>(def.size()));
    });
    recorder.record(true);
    shadow.writeKeyConfigurationToDev(0);
    recorder.record(false);
    const std::vector<Report> frames = recorder.m_written;

    long long reports = 0;
    const auto start = Clock::now();
    Payload reply{};
    for (auto _ : state) {
        for (const Report& frame : frames) {
            if (!sendFrame(util, frame)) {
                state.SkipWithError("send failed");
                return;
            }
        }
        if (!sendFrame(util, commandFrame(cmd::kRequestKeys))) {
            state.SkipWithError("send failed");
            return;
        }
        reports += static_cast<long long>(frames.size()) + 1;
        do {
            if (!receivePayload(util, reply)) {
                state.SkipWithError("read failed");
                return;
            }
            ++reports;
        } while (reply[0] != cmd::kEndKeys);
    }
    perReport(state, reports, start);
}
BENCHMARK(BM_KeyTable_RawSimulator)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
