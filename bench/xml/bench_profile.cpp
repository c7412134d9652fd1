// Saving and loading profiles with our XML layer, beside pugixml loading and saving the
// same files, for a profile right after a reset and for the heaviest profile the program
// can make: every key on both layers holding a 799-item macro, each collection 100
// entries of 50 items. And what the main window's edit history holds of a session that
// opens and clears the heavy profile a hundred times.
#include "talvik/model/CAppState.h"
#include "talvik/model/CConfigChange.h"
#include "talvik/profile/Profile.h"

#include "talvik/xml/CXmlDocument.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace talvik::xml;

using namespace talvik::profile;

using namespace talvik::model;

namespace {

std::unique_ptr<CAppState> makeState(bool heavy) {
    auto state = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
    state->buildNameTables();
    state->modelNumber = 1;
    state->resetToDefaults();
    if (!heavy) {
        return state;
    }
    CActionList macro(9);
    for (int i = 0; i < 799; ++i) {
        macro.append(i % 2 ? "<20 ms>" : "Left Ctrl");
    }
    CActionList entry(6);
    for (int i = 0; i < 50; ++i) {
        entry.append("Key & \"" + std::to_string(i) + "\"");
    }
    CKeyConfig& config = state->keyConfig;
    for (CActionList* collection :
         {&config.PredefinedCombo, &config.PredefinedMacro, &config.PredefinedEmu}) {
        for (int i = 0; i < 100; ++i) {
            collection->append("Entry " + std::to_string(i));
            collection->setChildAtRow(collection->CursorPos, entry);
        }
    }
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            config.Mode[key][level] = KeyMode::Macro;
            config.ComboKey[key][level] = macro;
        }
    }
    return state;
}

std::string filePath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("talvik_bench_" + std::to_string(::getpid()) + "_" + name + ".pro"))
        .string();
}

struct SFixture {
    std::unique_ptr<CAppState> state;
    std::string path;
    std::string pugixmlPath;
    ~SFixture() {
        if (!path.empty()) {
            std::filesystem::remove(path);
            std::filesystem::remove(pugixmlPath);
        }
    }
};

// pugixml rejects the parentheses of our root names, so it gets the same file with the
// root named without them (four bytes shorter, everything else identical).
void writePugixmlCopy(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t at = text.find("Talvik(RGB)BLe"); at != std::string::npos;
         at = text.find("Talvik(RGB)BLe", at)) {
        text.replace(at, 14, "TalvikRGBBLe");
    }
    std::ofstream(to, std::ios::binary) << text;
}

SFixture& fixture(bool heavy) {
    static SFixture fixtures[2];
    SFixture& f = fixtures[heavy ? 1 : 0];
    if (!f.state) {
        f.state = makeState(heavy);
        f.path = filePath(heavy ? "heavy" : "reset");
        saveProfile(*f.state, f.path);
        f.pugixmlPath = f.path + ".pugixml";
        writePugixmlCopy(f.path, f.pugixmlPath);
    }
    return f;
}

// Where a save writes. Second argument 0: the temporary folder on disk, so the
// save's flush to disk and rename count; 1: /dev/shm, a memory file system
// where both cost next to nothing, which leaves building and writing the text,
// the part pugixml's save does too.
std::string outputPath(const benchmark::State& run, const SFixture& f, const char* suffix) {
    if (run.range(1) == 0) {
        return f.path + suffix;
    }
    return "/dev/shm/" + std::filesystem::path(f.path).filename().string() + suffix;
}

void BM_OurSave(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    std::string out = outputPath(run, f, ".out");
    for (auto _ : run) {
        if (!saveProfile(*f.state, out).ok()) {
            run.SkipWithError("save failed");
        }
    }
    run.SetBytesProcessed(run.iterations() * std::filesystem::file_size(out));
    std::filesystem::remove(out);
}

void BM_OurLoad(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    auto target = makeState(false);
    for (auto _ : run) {
        if (!loadProfile(*target, f.path).ok()) {
            run.SkipWithError("load failed");
        }
    }
    run.SetBytesProcessed(run.iterations() * std::filesystem::file_size(f.path));
}

// The XML layer alone, as pugixml is measured: read, decode and index the file, or write
// the document out, without the model.
void BM_OurDocumentLoad(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    for (auto _ : run) {
        CXmlDocument doc;
        if (!doc.loadFile(f.path)) {
            run.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(doc.text().data());
    }
    run.SetBytesProcessed(run.iterations() * std::filesystem::file_size(f.path));
}

void BM_OurDocumentSave(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    CXmlDocument doc;
    doc.loadFile(f.path);
    std::string out = f.path + ".doc";
    for (auto _ : run) {
        if (!doc.saveFile(out)) {
            run.SkipWithError("save failed");
        }
    }
    run.SetBytesProcessed(run.iterations() * std::filesystem::file_size(out));
    std::filesystem::remove(out);
}

void BM_PugixmlLoad(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    for (auto _ : run) {
        pugi::xml_document doc;
        if (!doc.load_file(f.pugixmlPath.c_str())) {
            run.SkipWithError("pugixml load failed");
        }
        benchmark::DoNotOptimize(doc.first_child());
    }
    run.SetBytesProcessed(run.iterations() * std::filesystem::file_size(f.pugixmlPath));
}

void BM_PugixmlSave(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    pugi::xml_document doc;
    doc.load_file(f.pugixmlPath.c_str(), pugi::parse_default | pugi::parse_declaration);
    std::string out = outputPath(run, f, ".pugi");
    for (auto _ : run) {
        if (!doc.save_file(out.c_str(), "", pugi::format_raw | pugi::format_no_declaration)) {
            run.SkipWithError("pugixml save failed");
        }
    }
    run.SetBytesProcessed(run.iterations() * std::filesystem::file_size(out));
    std::filesystem::remove(out);
}

// What a save adds on disk to writing its text: the profile's bytes written,
// flushed to the disk and renamed over the previous file, as the save does.
void BM_FlushAndRename(benchmark::State& run) {
    SFixture& f = fixture(run.range(0) != 0);
    const std::string bytes(std::filesystem::file_size(f.path), 'x');
    const std::string temp = f.path + ".new";
    const std::string target = f.path + ".target";
    for (auto _ : run) {
        std::FILE* file = std::fopen(temp.c_str(), "wb");
        const bool ok = file != nullptr &&
                        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                        std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
        if (file != nullptr) {
            std::fclose(file);
        }
        if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
            run.SkipWithError("flush or rename failed");
        }
    }
    std::filesystem::remove(target);
}

// The edit history of a session that opens a heavy profile and clears it again, a hundred
// steps in all, kept as the main window keeps them (a change per step, the lists shared
// through one pool): what the steps hold on the heap once all of them are made. Argument
// 0: the heavy profile, one macro on every key; 1: the same with every key's macro its
// own, so that nothing is shared between the keys.
void BM_HistoryOfOpenAndClear(benchmark::State& run) {
    static SFixture distinct;
    if (run.range(0) != 0 && !distinct.state) {
        distinct.state = makeState(true);
        for (int key = 1; key <= kKeyCount; ++key) {
            for (int level = 0; level < kLayerCount; ++level) {
                distinct.state->keyConfig.ComboKey[key][level].setItemAtRow(
                    0, "Key " + std::to_string(key) + "." + std::to_string(level));
            }
        }
        distinct.path = filePath("distinct");
        distinct.pugixmlPath = distinct.path + ".unused";
        saveProfile(*distinct.state, distinct.path);
    }
    const std::string& path = run.range(0) != 0 ? distinct.path : fixture(true).path;
    constexpr int kSteps = 100;
    double heldMb = 0;
    std::size_t lists = 0;
    for (auto _ : run) {
        auto state = makeState(false);
        loadProfile(*makeState(false), path); // buffers the XML layer keeps between loads
        CListPool pool;
        std::vector<CConfigChange> steps;
        const std::size_t heapBefore = ::mallinfo2().uordblks;
        for (int step = 0; step < kSteps; ++step) {
            const CKeyConfig before = state->keyConfig;
            if (step % 2 == 0) {
                loadProfile(*state, path);
            } else {
                state->resetToDefaults();
            }
            steps.push_back(CConfigChange::between(before, state->keyConfig, pool));
        }
        // The configuration itself is not the history's, and a reset keeps its lists'
        // room: it takes fresh factory lists over, as it had when the count began.
        state->keyConfig = std::move(makeState(false)->keyConfig);
        heldMb = static_cast<double>(::mallinfo2().uordblks - heapBefore) / (1 << 20);
        lists = pool.size();
        benchmark::DoNotOptimize(steps.data());
    }
    run.counters["history_MB"] = heldMb;
    run.counters["steps"] = kSteps;
    run.counters["lists"] = static_cast<double>(lists);
}

// First argument 0: the profile right after a reset; 1: the heavy profile.
BENCHMARK(BM_HistoryOfOpenAndClear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OurSave)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlSave)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlushAndRename)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OurLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OurDocumentSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OurDocumentLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

// Large buffers are taken from the heap and kept there, so that every iteration of every
// benchmark measures the work itself rather than the kernel handing out fresh pages; without
// this the figures swing by a factor of three with the order the benchmarks run in.
int main(int argc, char** argv) {
    // Some C libraries cap the threshold (older glibc at 32 MiB on 64-bit systems) and refuse
    // a larger one; the figures would then measure fresh pages after all, so say so and stop.
    if (::mallopt(M_MMAP_THRESHOLD, 1 << 30) == 0 || ::mallopt(M_TRIM_THRESHOLD, 1 << 30) == 0) {
        std::fprintf(stderr, "mallopt refused to keep large buffers on the heap\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
