#pragma once

// A connection without a device: writes always succeed and reads hand out the
// fuzzer's bytes 64 at a time, then fail, so the readers run to their end.

#include "KeyboardUtil.h"
#include "Protocol.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace talvik::hwi::fuzz {

class CFakeKeyboard final : public COrsaUtil {
public:
    CFakeKeyboard(const std::uint8_t* data, std::size_t size)
        : COrsaUtil(nullptr), m_data(data), m_size(size) {}

    bool writeReport(const unsigned char* report, unsigned length) override {
        return report != nullptr && length == kReportSize;
    }

    bool readReport(unsigned char* payload, unsigned* length, int) override {
        if (m_at >= m_size) {
            return false;
        }
        std::size_t n = std::min<std::size_t>({*length, kPayloadSize, m_size - m_at});
        std::memset(payload, 0, *length);
        std::memcpy(payload, m_data + m_at, n);
        m_at += n;
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace talvik::hwi::fuzz
