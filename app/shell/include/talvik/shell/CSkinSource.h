#pragma once

// What a skinned window takes from the application: the skin's pictures and
// the font table. The application object provides it; windows outside the
// shell (the editor's dialogs) depend on this and not on the application.

#include <QImage>

namespace talvik::shell {

class CFontTable;

class CSkinSource {
public:
    // Skin picture `id` at the resolution windows are drawn at (its device
    // pixel ratio), loaded on first use. A null image when the skin lacks it.
    virtual const QImage& picture(int id) = 0;
    // Fonts by character height.
    virtual const CFontTable& fonts() const = 0;

protected:
    ~CSkinSource() = default;
};

} // namespace talvik::shell
