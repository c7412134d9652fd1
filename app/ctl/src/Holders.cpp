#include "Holders.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace talvik::ctl {
namespace fs = std::filesystem;

namespace {

bool holds(const fs::path& fdDir, const fs::path& node) {
    std::error_code error;
    for (fs::directory_iterator it(fdDir, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        if (fs::read_symlink(it->path(), linkError) == node && !linkError) {
            return true;
        }
    }
    return false;
}

std::string processName(const fs::path& processDir) {
    std::ifstream comm(processDir / "comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

} // namespace

std::vector<std::string> processesHolding(const std::string& node, const std::string& procDir) {
    std::vector<std::string> holders;
    const std::string self = std::to_string(::getpid());
    std::error_code error;
    for (fs::directory_iterator it(procDir, error), end; !error && it != end; it.increment(error)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos ||
            pid == self) {
            continue;
        }
        if (holds(it->path() / "fd", node)) {
            holders.push_back(processName(it->path()) + " (pid " + pid + ")");
        }
    }
    return holders;
}

} // namespace talvik::ctl
