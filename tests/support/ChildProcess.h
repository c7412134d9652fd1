#pragma once

#include <string>
#include <utility>
#include <vector>

namespace talvik::test {

using EnvironmentVariables = std::vector<std::pair<std::string, std::string>>;

// For settings a process reads once (the simulated keyboard's faults, for
// one): runs the current test again in a fresh process of this test program
// with `variables` added to its environment, and checks that it passed.
// Returns true in that process, where the test goes on; false in this one,
// where the test should return at once.
//
//     if (!talvik::test::runsInChildWith({{"TALVIK_SIMULATOR_FAULT", "silent"}}))
//         return;
bool runsInChildWith(const EnvironmentVariables& variables);

} // namespace talvik::test
