// Replies from a hostile keyboard: the first byte picks the reader, the rest
// are the reports it receives. Whatever was decoded is then read out and
// written back, so the table never holds a definition it cannot handle.

#include "COrsa.h"
#include "FakeKeyboard.h"

#include <vector>

using namespace talvik::hwi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    fuzz::CFakeKeyboard device(data + 1, size - 1);
    COrsa keyboard(&device);
    switch (data[0] % 4) {
    case 0: {
        keyboard.readKeyDefinationFromDev(0);
        // Kept between runs: a fresh 256 KB array each time took most of a run.
        static std::vector<int> out(65536);
        for (int layer = 0; layer < kLayerCount; ++layer) {
            for (int key = 1; key <= kKeyCount; ++key) {
                keyboard.getKeyConfiguration(layer, key, out.data(), static_cast<int>(out.size()));
            }
        }
        keyboard.writeKeyConfigurationToDev(0);
        break;
    }
    case 1: {
        keyboard.readKeyLightFromDev();
        std::vector<int> light(kLightAreaSize);
        keyboard.getKeyboardLightArea(light.data());
        break;
    }
    case 2: {
        std::vector<int> counters(kKeyCount);
        keyboard.getPressCounterFromDev(counters.data());
        break;
    }
    default: {
        wchar_t text[64];
        device.queryVersion(text);
        break;
    }
    }
    return 0;
}
