#pragma once

#include "CLibraryView.h"
#include "talvik/editor/CKeyMapPage.h"

namespace talvik::editor {

// Page 1: a single key, captured from the keyboard or picked on the virtual
// keyboard, or a combination of up to six keys from the combo library.
class CSingleComboPage : public CKeyMapPage {
public:
    static constexpr int kMaxComboKeys = 6;

    explicit CSingleComboPage(COrsaDialogKeyMapSettings& dialog);

    CLibraryView& combos() { return m_combos; }
    // The radios, their labels and m_isSingle for one choice.
    void chooseSingle();
    void chooseCombo();

    void shown() override;
    void refresh() override;
    void click(int id, int index) override;
    bool capturing() const override;
    CaptureClick interruptCapture(int id) override;
    void abandonCapture() override;
    void hookKey(const CHookKey& key) override;
    void commitRow(int index, const std::string& text) override;
    void scrolled(int control, int position) override;
    void apply(model::CAppState& state, int key, int level) override;

private:
    void flipRadios(int id);
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

    CLibraryView m_combos;
    bool m_showingMismatch = false;
};

} // namespace talvik::editor
