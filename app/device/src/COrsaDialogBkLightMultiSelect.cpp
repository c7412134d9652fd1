#include "talvik/device/COrsaDialogBkLightMultiSelect.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/PaletteColour.h"

#include "talvik/layout/DeviceLayout.h"

#include <QPainter>

namespace talvik::device {
namespace {

namespace id = layout::multiselect_id;

// How strongly a key under the pointer shows the selected look it would get.
constexpr qreal kHoverHint = 0.45;

} // namespace

COrsaDialogBkLightMultiSelect::COrsaDialogBkLightMultiSelect(shell::CSkinSource& skin,
                                                             model::CAppState& state,
                                                             const LightTable& colours,
                                                             CMultiSelection& result,
                                                             QWidget* parent)
    : CDeviceDialog(skin, state, parent), m_colours(colours), m_result(result),
      m_prompts(CDevicePrompts::interactive(this)) {}

bool COrsaDialogBkLightMultiSelect::initialise(QSize screen) {
    const layout::PicturePair ids = layout::multiSelectPictureIds(m_state.modelNumber);
    // The second picture shows keys selected and buttons pressed; it serves
    // as the pointer-over picture of the buttons too.
    return setUpSkin(shell::ESkinWindow::MultiSelect, m_prompts,
                     {ids.first, ids.second, ids.second}, layout::multiSelectElements(),
                     layout::kBacklightColourKey, screen);
}

shell::SElementAccess COrsaDialogBkLightMultiSelect::accessOf(int index) const {
    shell::SElementAccess access = keyLightAccess(index, m_colours);
    const SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (access.role != QAccessible::NoRole && e.keyIndex > 0) {
        access.checkable = true;
        access.checked = e.active;
    }
    return access;
}

void COrsaDialogBkLightMultiSelect::paintElement(QPainter& p, SkinElement& e, const SkinRect& r) {
    if (e.keyIndex <= 0) {
        CDeviceDialog::paintElement(p, e, r);
        return;
    }
    if (e.active) {
        drawPicturePart(p, e, r);
    } else if (e.hovered) {
        SkinElement asSelected = e;
        asSelected.active = true;
        p.setOpacity(kHoverHint);
        drawPicturePart(p, asSelected, r);
        p.setOpacity(1.0);
    }
    const model::LightArea& light = m_colours[static_cast<std::size_t>(e.keyIndex)];
    QColor frame = toQColor(light);
    if (frame == QColor(255, 0, 0)) {
        frame = QColor(255, 1, 0); // drawn only: the stored colour stays pure red
    }
    drawLightFrame(p, r, frame);
    drawKeyName(p, *fonts(), r, e.caption(language()),
                e.active ? e.activeTextColor
                         : (e.hovered ? shell::paletteColour(layout::kLitInk) : e.textColor));
}

void COrsaDialogBkLightMultiSelect::onElementClicked(int index) {
    if (index < 0) {
        return;
    }
    SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (e.keyIndex > 0) {
        toggle(e);
    } else if (e.id == id::SetColor) {
        setColour();
    } else if (e.id == id::Close) {
        reject();
    }
}

void COrsaDialogBkLightMultiSelect::toggle(SkinElement& key) {
    key.active = !key.active;
    m_result.selected[static_cast<std::size_t>(key.keyIndex)] = key.active;
    update();
    shell::announceCheckedChanged(*this, static_cast<int>(&key - elements().data()));
}

void COrsaDialogBkLightMultiSelect::setColour() {
    const std::optional<QColor> chosen = m_prompts.pickColor(QColor(0, 0, 0));
    if (!chosen) {
        return; // the user can go on choosing keys
    }
    m_result.colour = toLightArea(*chosen);
    accept();
}

} // namespace talvik::device
