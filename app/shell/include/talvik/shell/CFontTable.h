#pragma once

#include <QFont>

#include <array>

namespace talvik::shell {

// Fonts by character height: entry n is n pixels high (entry 0 the default).
class CFontTable {
public:
    static constexpr int kCount = 50;
    CFontTable();

    const QFont& operator[](int n) const;
    // The entry a window asks for with `size` at `scale` (truncated, clamped to the table).
    const QFont& scaled(int size, float scale) const;

private:
    std::array<QFont, kCount> m_fonts;
};

} // namespace talvik::shell
