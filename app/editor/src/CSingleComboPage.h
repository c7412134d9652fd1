#pragma once

#include "talvik/editor/CKeyMapPage.h"

namespace talvik::editor {

// Page 1: a single key, captured from the keyboard or picked on the virtual
// keyboard, or a combination of up to six keys from the combo library.
class CSingleComboPage : public CKeyMapPage {
public:
    static constexpr int kMaxComboKeys = 6;

    explicit CSingleComboPage(IKeyMapHost& host);

    void shown() override;
    void refresh() override;
    void click(int id, int index) override;
    bool capturing() const override;
    CaptureClick interruptCapture(int id) override;
    void abandonCapture() override;
    void hookKey(const CHookKey& key) override;
    void commitRow(int index, const std::string& text) override;
    void scrolled(int control, int position) override;
    int listOf(int id) const override;
    std::optional<int> selectedRowId(int list) const override;
    void stepList(int list, int step) override;

private:
    keymap::CLibraryView& combos() { return session().combos(); }
    const keymap::CLibraryView& combos() const { return session().combos(); }
    void flipRadios();
    void recordSingle();
    void recordCombo();
    void stopSingle();
    void stopCombo();
    void virtualSingle();
    void virtualCombo();
    void newCombo();
    void deleteCombo();
    void clickComboRow(int row, int index);
    void captureSingleKey(int code);
    void setRecording(int button, int recordLabel, int stopLabel, bool on);
    void syncBar();

    bool m_showingMismatch = false;
};

} // namespace talvik::editor
