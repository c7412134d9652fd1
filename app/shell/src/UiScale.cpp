#include "talvik/shell/UiScale.h"

namespace talvik::shell {

float uiScale(int screenHeight) {
    const float scale = static_cast<float>(screenHeight) / 1080.0f;
    return scale < 1.0f ? 1.0f : scale;
}

int scaledBy(int value, float scale) {
    return static_cast<int>(static_cast<float>(value) * scale);
}

int unscaledBy(int value, float scale) {
    return static_cast<int>(static_cast<float>(value) / scale);
}

layout::SkinRect scaledBy(const layout::SkinRect& r, float scale) {
    return {scaledBy(r.left, scale), scaledBy(r.top, scale), scaledBy(r.right, scale),
            scaledBy(r.bottom, scale)};
}

layout::SkinRect unscaledBy(const layout::SkinRect& r, float scale) {
    return {unscaledBy(r.left, scale), unscaledBy(r.top, scale), unscaledBy(r.right, scale),
            unscaledBy(r.bottom, scale)};
}

QRect toQRect(const layout::SkinRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace talvik::shell
