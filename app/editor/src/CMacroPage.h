#pragma once

#include "CRecordingPage.h"

#include "talvik/recorder/MacroMenu.h"

#include <vector>

namespace talvik::editor {

// Page 2: a macro's events and delays, recorded or edited by hand. The play
// mode and delay mode radios, the times-played and auto-delay boxes, the
// delay editor on a selected delay and the mouse actions of the right-click
// menu.
class CMacroPage : public CRecordingPage {
public:
    CMacroPage(IKeyMapHost& host, const Spec& spec, const RecordSpec& record);

    void shown() override;
    void refresh() override;
    void click(int id, int index) override;
    void rightClick(int index, QPoint globalPos) override;
    void commitRow(int index, const std::string& text) override;
    void editChanged(int control) override;

    // Carries out a command of the event rows' menu on the row m_menuRow stands on.
    void menuCommand(int command);

private:
    void choosePlayMode(int mode);
    void useAutoDelay();
    void useRecordDelay();
    void clickEventRow(int row, int index);
    void intervalEdited();
    // Shows the menu at a screen position; returns the chosen command, 0 for none.
    int showMenu(const std::vector<recorder::MenuLine>& menu, QPoint globalPos);

    int m_menuRow = -1; // element index of the row the menu was opened on
};

} // namespace talvik::editor
