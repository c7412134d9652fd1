#pragma once

// Milliseconds since the kernel started this process, read from
// /proc/self/stat. Header only, so a program that measures its own start-up
// the way Talvik does needs nothing else of Talvik.

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

namespace talvik::shell {

inline double msSinceProcessStart() {
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The program name in parentheses may hold blanks: count fields after it.
    // The start time is the 20th field after the name.
    std::istringstream rest(stat.substr(std::min(stat.size(), stat.rfind(')') + 1)));
    std::string field;
    for (int i = 0; i < 20 && rest >> field; ++i) {
    }
    const double startTicks = std::strtod(field.c_str(), nullptr);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace talvik::shell
