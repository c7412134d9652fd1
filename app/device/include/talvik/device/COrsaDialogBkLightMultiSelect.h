#pragma once

// The multi-key selection dialog: the keyboard with every key framed in its
// colour; clicking keys marks them, "Set Color" asks for one colour for all
// of them.

#include "talvik/device/BacklightKeys.h"
#include "talvik/device/CDeviceDialog.h"
#include "talvik/device/CDevicePrompts.h"

#include "talvik/layout/DeviceLayout.h"

namespace talvik::device {

// What the dialog reports to its opener: valid when it ends with IDOK.
struct CMultiSelection {
    std::array<bool, model::kKeyRows> selected{}; // by light index
    model::LightArea colour;
};

class COrsaDialogBkLightMultiSelect : public CDeviceDialog {
public:
    // `colours` is drawn from and never changed; `result` must be cleared by
    // the opener and receives the selection and the colour.
    COrsaDialogBkLightMultiSelect(shell::CSkinSource& skin, model::CAppState& state,
                                  const LightTable& colours, CMultiSelection& result,
                                  QWidget* parent = nullptr);

    void setPrompts(CDevicePrompts prompts) { m_prompts = std::move(prompts); }
    // Skin, table, scale and place; false when the skin lacks a picture.
    bool initialise(QSize screen = {});

    // A key says its colour after its name, and is checked while selected.
    shell::SElementAccess accessOf(int index) const override;

protected:
    int closeControlId() const override { return layout::multiselect_id::Close; }
    void paintElement(QPainter& p, SkinElement& e, const SkinRect& r) override;
    void onElementClicked(int index) override;

private:
    void toggle(SkinElement& key);
    void setColour();

    const LightTable& m_colours;
    CMultiSelection& m_result;
    CDevicePrompts m_prompts;
};

} // namespace talvik::device
