#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace talvik::test {
namespace {

constexpr const char* kChildMarker = "TALVIK_TEST_CHILD";

std::string currentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

} // namespace

bool runsInChildWith(const EnvironmentVariables& variables) {
    const std::string name = currentTestName();
    const char* marker = std::getenv(kChildMarker);
    if (marker != nullptr && name == marker) {
        return true;
    }
    const auto overridden = [&](std::string_view entry) {
        const std::string_view variable = entry.substr(0, entry.find('='));
        if (variable == kChildMarker) {
            return true;
        }
        for (const auto& setting : variables) {
            if (variable == setting.first) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!overridden(*entry)) {
            environment.emplace_back(*entry);
        }
    }
    for (const auto& [variable, value] : variables) {
        environment.push_back(variable + "=" + value);
    }
    environment.push_back(std::string(kChildMarker) + "=" + name);
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=" + name;
    std::vector<char*> argv = {self.data(), filter.data(), nullptr};
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    pid_t child = -1;
    const int spawned =
        ::posix_spawn(&child, self.c_str(), nullptr, nullptr, argv.data(), envp.data());
    EXPECT_EQ(spawned, 0) << "cannot start the test's own process again";
    int status = 0;
    if (spawned == 0) {
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << name << " failed in its own process (status " << status << "); its output is above";
    }
    return false;
}

} // namespace talvik::test
