#pragma once

#include "talvik/editor/CKeyMapPage.h"
#include "talvik/shell/SkinElement.h"

namespace talvik::editor {

// Pages 4 to 7: buttons of fixed functions, at most one of them chosen. The
// chosen code is the session's selection code of the page, -1 while nothing
// is chosen.
class CSelectionPage : public CKeyMapPage {
public:
    CSelectionPage(IKeyMapHost& host, keymap::KeyMapPage page);

    void refresh() override;
    void click(int id, int index) override;

private:
    bool isButton(const SkinElement& e) const;
    int& chosen() { return session().selectionCode(m_page); }

    keymap::KeyMapPage m_page;
};

} // namespace talvik::editor
