#include "Progress.h"

#include <algorithm>

namespace talvik::ctl {
namespace {

constexpr int kBarWidth = 30;
constexpr int kSlotCount = 174;
constexpr int kFirmwareEnd = 150;

} // namespace

CProgress::CProgress(std::FILE* out, bool terminal, std::string label,
                     std::function<int(WPARAM)> toPercent)
    : m_out(out), m_terminal(terminal), m_label(std::move(label)) {
    m_window = RegisterMessageWindow(
        [this, toPercent = std::move(toPercent)](UINT message, WPARAM wParam, LPARAM) {
            if (message == WM_TALVIK_PROGRESS) {
                show(toPercent(wParam));
            }
        });
}

CProgress::~CProgress() {
    UnregisterMessageWindow(m_window);
    if (m_lineOpen) {
        std::fputc('\n', m_out);
        std::fflush(m_out);
    }
}

void CProgress::show(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (m_terminal) {
        if (percent == m_shown) {
            return;
        }
        const int filled = percent * kBarWidth / 100;
        std::fprintf(m_out, "\r%s [%s%s] %3d%%", m_label.c_str(), std::string(filled, '#').c_str(),
                     std::string(kBarWidth - filled, '.').c_str(), percent);
        m_lineOpen = true;
    } else {
        if (m_shown >= 0 && percent / 10 <= m_shown / 10) {
            return;
        }
        std::fprintf(m_out, "%s: %d%%\n", m_label.c_str(), percent / 10 * 10);
    }
    std::fflush(m_out);
    m_shown = percent;
}

int CProgress::slotPercent(WPARAM slot) {
    return static_cast<int>(std::min<WPARAM>(slot + 1, kSlotCount) * 100 / kSlotCount);
}

int CProgress::firmwarePercent(WPARAM value) {
    return static_cast<int>(std::min<WPARAM>(value, kFirmwareEnd) * 100 / kFirmwareEnd);
}

} // namespace talvik::ctl
