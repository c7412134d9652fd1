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

// How many entries `folder` holds.
std::size_t entriesIn(const char* folder);
// The process's open file descriptors, as /proc lists them.
std::size_t openFileCount();
// The process's threads, as /proc lists them, once a sanitizer's own thread
// (started when the program first makes one) is there.
std::size_t threadCount();
// The thread count when nothing is starting or ending: the same in three
// readings a few milliseconds apart.
std::size_t steadyThreadCount();
// A joined thread can stay listed for a moment after pthread_join returns
// (the kernel wakes the joiner before it reaps the task): the count once it
// has reached `expected`, or after kPatience the count as it is then.
std::size_t threadCountSettlingAt(std::size_t expected);

} // namespace talvik::test
