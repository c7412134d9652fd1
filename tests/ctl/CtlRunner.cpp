#include "CtlRunner.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace talvik::test {
namespace {

bool inherited(std::string_view entry) {
    for (std::string_view prefix :
         {"TALVIK_", "LANG=", "LANGUAGE=", "LC_", "ASAN_OPTIONS=", "UBSAN_OPTIONS="}) {
        if (entry.starts_with(prefix)) {
            return false;
        }
    }
    return true;
}

} // namespace

SCtlRun runCtl(const std::vector<std::string>& args, const CtlEnvironment& environment,
               int timeoutSeconds) {
    CTempDir outputs;
    const std::string outPath = (outputs.path() / "out").string();
    const std::string errPath = (outputs.path() / "err").string();
    std::vector<std::string> entries;
    // A variable the test sets replaces the inherited one: the first of two would win.
    const auto setByTest = [&environment](std::string_view entry) {
        return std::any_of(environment.begin(), environment.end(), [entry](const auto& variable) {
            return entry.starts_with(variable.first + "=");
        });
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (inherited(*entry) && !setByTest(*entry)) {
            entries.emplace_back(*entry);
        }
    }
    for (const auto& [name, value] : environment) {
        entries.push_back(name + "=" + value);
    }
    // A sanitizer's report must not pass for one of the program's own statuses.
    for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* options = std::getenv(sanitizer); options != nullptr) {
            entries.push_back(std::string(sanitizer) + "=" + options + ":exitcode=99");
        }
    }
    std::string program = TALVIK_BINARY_DIR "/bin/talvikctl";
    std::vector<char*> argv{program.data()};
    std::vector<std::string> argCopies(args);
    for (std::string& arg : argCopies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : entries) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    SCtlRun run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.err = "talvikctl did not end within the time limit\n";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.out = readFile(outPath);
    run.err += readFile(errPath);
    return run;
}

} // namespace talvik::test
