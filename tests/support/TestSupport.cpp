#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace talvik::test {

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds atMost) {
    const auto deadline = std::chrono::steady_clock::now() + atMost;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::size_t entriesIn(const char* folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

std::size_t threadCount() {
    std::thread([] {}).join();
    return entriesIn("/proc/self/task");
}

std::size_t steadyThreadCount() {
    std::size_t last = threadCount();
    for (int same = 0; same < 2;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::size_t now = threadCount();
        same = now == last ? same + 1 : 0;
        last = now;
    }
    return last;
}

std::size_t threadCountSettlingAt(std::size_t expected) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    std::size_t count = threadCount();
    while (count != expected && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        count = threadCount();
    }
    return count;
}

std::size_t openFileCount() {
    return entriesIn("/proc/self/fd");
}

bool useFixtureDisplay() {
    // The fixture's Xvfb wins over whatever display the developer has open, so
    // that grabs and synthetic keystrokes never reach a real desktop.
    std::ifstream in(TALVIK_XVFB_DISPLAY_FILE);
    std::string number;
    if (!(in >> number) || number.empty()) {
        return false;
    }
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvik-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t reportsTaken(const std::filesystem::path& trafficLog) {
    std::ifstream in(trafficLog);
    std::size_t taken = 0;
    for (std::string line; std::getline(in, line);) {
        taken += line.starts_with("W ") ? 1 : 0;
    }
    return taken;
}

} // namespace talvik::test
