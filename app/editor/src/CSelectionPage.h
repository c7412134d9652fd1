#pragma once

#include "talvik/editor/CKeyMapPage.h"
#include "talvik/model/CKeyConfig.h"
#include "talvik/shell/SkinElement.h"

namespace talvik::editor {

// Pages 4 to 7: buttons of fixed functions, at most one of them chosen. The
// chosen code lives in the dialog (m_mediaCode, m_mouseCode, m_functionCode,
// m_powerCode) and is -1 while nothing is chosen.
class CSelectionPage : public CKeyMapPage {
public:
    // The Fn key's code: a key that is Fn is Fn on both layers.
    static constexpr int kFnCode = 156;

    CSelectionPage(COrsaDialogKeyMapSettings& dialog, int number, int& chosen, model::KeyMode mode);

    void refresh() override;
    void click(int id, int index) override;
    void apply(model::CAppState& state, int key, int level) override;

private:
    bool isButton(const SkinElement& e) const;

    int m_number;
    int& m_chosen;
    model::KeyMode m_mode;
};

} // namespace talvik::editor
