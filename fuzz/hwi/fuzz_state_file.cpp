// The simulated keyboard's state file is text a user may edit by hand: any
// text must parse or be refused, and what parses must survive being written
// and read again unchanged.

#include "sim/StateFile.h"

#include <cstdlib>
#include <string>

using namespace talvik::hwi::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto memories = parseState(text, error);
    if (!memories) {
        return 0;
    }
    std::string written = formatState(*memories);
    auto again = parseState(written, error);
    if (!again || formatState(*again) != written) {
        std::abort();
    }
    return 0;
}
