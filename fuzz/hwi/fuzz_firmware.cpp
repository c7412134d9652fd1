// Firmware image text from an untrusted file: checked, and when accepted sent
// to a keyboard that takes every record.

#include "FakeKeyboard.h"
#include "Firmware.h"

#include <climits>
#include <vector>

using namespace talvik::hwi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > INT_MAX) {
        return 0;
    }
    // An exact-size copy, so a read past the text is caught.
    std::vector<char> text(data, data + size);
    auto image = parseFirmwareImage(text.data(), static_cast<int>(text.size()));
    if (image) {
        fuzz::CFakeKeyboard device(nullptr, 0);
        sendFirmwareImage(device, *image, 0);
    }
    return 0;
}
