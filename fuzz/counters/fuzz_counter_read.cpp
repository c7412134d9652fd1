// A kept counter read as any file in the counters folder may hold it, and the
// dates talvikctl --since takes: nothing may crash, and a read that parses
// must write back to a text that parses to the same read.

#include "talvik/counters/CounterHistory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<talvik::counters::SCounterRead> read =
            talvik::counters::parseRead(text)) {
        const std::optional<talvik::counters::SCounterRead> again =
            talvik::counters::parseRead(talvik::counters::formatRead(*read));
        if (!again || again->time != read->time || again->modelNumber != read->modelNumber ||
            again->counts != read->counts) {
            std::abort();
        }
    }
    if (size <= 32) {
        (void)talvik::counters::parseLocalDate(text);
    }
    return 0;
}
