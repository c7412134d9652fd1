// Every test process gets a data folder of its own before any test runs, so that what the
// program keeps there (its backups) never lands in the home folder of whoever runs the
// tests. The processes a test starts inherit it. A test of the folder's own rules sets
// XDG_DATA_HOME itself.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kMarker = "TALVIK_TEST_DATA_HOME";

struct CTestDataHome {
    CTestDataHome() {
        if (std::getenv(kMarker) != nullptr) {
            return; // started by a test that has one already
        }
        std::string folder = (std::filesystem::temp_directory_path() / "talvik-test-data-XXXXXX");
        if (::mkdtemp(folder.data()) != nullptr) {
            ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
            ::setenv(kMarker, folder.c_str(), 1);
            owned = folder;
        }
    }
    ~CTestDataHome() {
        if (!owned.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(owned, ignored);
        }
    }
    std::string owned;
};

const CTestDataHome testDataHome;

} // namespace
