#include "talvik/shell/CFontTable.h"

#include "talvik/shell/UiScale.h"

#include <algorithm>

namespace talvik::shell {

CFontTable::CFontTable() {
    for (int n = 1; n < kCount; ++n) {
        m_fonts[n].setPixelSize(n);
    }
}

const QFont& CFontTable::operator[](int n) const {
    return m_fonts[std::clamp(n, 0, kCount - 1)];
}

const QFont& CFontTable::scaled(int size, float scale) const {
    return (*this)[scaledBy(size, scale)];
}

} // namespace talvik::shell
