#include "Output.h"

namespace talvik::ctl {

std::string padded(std::string_view text, int width) {
    int cells = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {
            cells += c >= 0xE0 ? 2 : 1; // three- and four-byte characters are wide here
        }
    }
    std::string out(text);
    if (cells < width) {
        out.append(static_cast<std::size_t>(width - cells), ' ');
    }
    return out;
}

} // namespace talvik::ctl
