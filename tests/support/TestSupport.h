#pragma once

#include <filesystem>
#include <string>

namespace talvik::test {

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

} // namespace talvik::test
