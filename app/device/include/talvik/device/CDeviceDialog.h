#pragma once

// What the device dialogs share: the skin and the application state, the skin set
// up from a picture list and an element table, and texts in the current
// language.

#include "talvik/device/BacklightKeys.h"
#include "talvik/device/CDevicePrompts.h"
#include "talvik/model/Forward.h"
#include "talvik/shell/CSkinWindow.h"
#include "talvik/shell/SkinProblem.h"

#include "talvik/layout/SkinLayout.h"

#include <QImage>
#include <QString>

#include <array>
#include <string_view>
#include <vector>

namespace talvik::shell {
class CSkinSource;
}

namespace talvik::device {

class CDeviceDialog : public shell::CSkinWindow {
public:
    model::CAppState& state() { return m_state; }

protected:
    CDeviceDialog(shell::CSkinSource& skin, model::CAppState& state, QWidget* parent);

    // Takes the pictures (normal, pointer-over, active; a number may repeat),
    // fills the element table in its order, scales it by the user-interface
    // scale and centres the window on `screen` (empty: the primary screen),
    // shaped by `key`. False, after telling the user through `prompts` why
    // `window` cannot open, when the skin lacks one of the pictures or their
    // sizes do not agree.
    bool setUpSkin(shell::ESkinWindow window, const CDevicePrompts& prompts,
                   const std::array<int, 3>& pictures,
                   const std::vector<layout::ElementSpec>& table, layout::Rgb key, QSize screen);

    text::Language language() const override;
    // The keys of a keyboard picture are one stop for Tab, and the arrow
    // keys move among them.
    int focusGroup(const SkinElement& e) const override { return e.keyIndex > 0 ? 1 : 0; }
    // What assistive technology is told of element `index` where the
    // element is a key lit in `lights`: its name, then its colour.
    shell::SElementAccess keyLightAccess(int index, const LightTable& lights) const;
    // The Chinese text in Chinese, the English one otherwise.
    QString text(std::string_view chinese, std::string_view english) const;
    QString modelName() const;
    // The pictures in the order setUpSkin took them.
    const QImage& skinPicture(std::size_t which) const { return m_pictures[which]; }

    shell::CSkinSource& m_skin;
    model::CAppState& m_state;

private:
    // Copies: the window keeps drawing from them whatever the application
    // later loads.
    std::array<QImage, 3> m_pictures;
};

} // namespace talvik::device
