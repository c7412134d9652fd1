#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace talvik::test {

// The longest a test waits for something that is bound to happen. Tests wait
// for the event or state itself, so only a fault ever reaches this bound: it is
// generous, so that a machine busy with other work still passes.
inline constexpr std::chrono::milliseconds kPatience{60000};

// Checks done() every few milliseconds, from this thread, until it holds or
// atMost has passed; true when it held.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds atMost = kPatience);

// Points DISPLAY at the X server of the test fixture. Returns false (and the
// test should fail) when the fixture has not started one.
bool useFixtureDisplay();

// A fresh, empty folder below the system's temporary folder, removed when the
// object goes away.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

void writeFile(const std::filesystem::path& file, const std::string& content);
std::string readFile(const std::filesystem::path& file);

// The reports a simulated keyboard has taken, as its traffic log shows them
// (its "W " lines); 0 while there is no log.
std::size_t reportsTaken(const std::filesystem::path& trafficLog);

} // namespace talvik::test
