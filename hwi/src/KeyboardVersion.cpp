// The firmware version query of COrsaUtil.

#include "AnsiCodePage.h"
#include "Frames.h"
#include "KeyboardUtil.h"

#include <algorithm>

using namespace talvik::hwi;

bool COrsaUtil::queryVersion(wchar_t* text) {
    if (text == nullptr || !sendFrame(*this, commandFrame(cmd::kRequestVersion))) {
        return false;
    }
    Payload reply{};
    if (!receivePayload(*this, reply)) {
        return false;
    }
    // The text ends at its first zero byte; the rest of the 62 characters are
    // zeros, as the zero padding of the reply would give.
    auto first = reply.begin() + 2;
    auto end = std::find(first, reply.end(), std::uint8_t{0});
    std::wstring decoded = decodeAnsi(std::span<const std::uint8_t>(first, end));
    std::size_t n = std::min(decoded.size(), kVersionTextSize);
    std::copy_n(decoded.begin(), n, text);
    std::fill(text + n, text + kVersionTextSize, L'\0');
    return true;
}
