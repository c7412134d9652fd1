#pragma once

// Runs the talvikctl program as a user would: a process of its own with the
// environment the test gives it (the simulated keyboard, its state file and
// traffic log, the locale), output captured.

#include <string>
#include <utility>
#include <vector>

namespace talvik::test {

struct SCtlRun {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

using CtlEnvironment = std::vector<std::pair<std::string, std::string>>;

// The test's own environment without any TALVIK_* or locale variable, plus
// `environment`; under a sanitizer its reports end the program with status 99. A run that takes
// longer than `timeoutSeconds` is killed.
SCtlRun runCtl(const std::vector<std::string>& args, const CtlEnvironment& environment,
               int timeoutSeconds = 60);

} // namespace talvik::test
