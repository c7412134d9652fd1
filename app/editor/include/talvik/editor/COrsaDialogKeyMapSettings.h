#pragma once

// The key settings dialog: gives one key, on one layer, its function. Seven
// pages, one per function category, edit the working copies of an editing
// session; OK writes the current page's choice into the configuration model,
// Cancel leaves the model as it was.

#include "talvik/editor/CKeyMapPage.h"
#include "talvik/editor/CTipWindow.h"
#include "talvik/editor/IKeyMapHost.h"
#include "talvik/keymap/CKeyMapSession.h"
#include "talvik/model/CActionList.h"
#include "talvik/model/Forward.h"
#include "talvik/shell/CInfoBox.h"
#include "talvik/shell/CKeyCapture.h"
#include "talvik/shell/CSkinScrollBar.h"
#include "talvik/shell/CSkinWindow.h"

#include "talvik/layout/KeySettingsLayout.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace talvik::shell {
class CSkinSource;
} // namespace talvik::shell

namespace talvik::editor {

class COrsaDialogKeyMapSettings : public shell::CSkinWindow,
                                  public IKeyMapHost,
                                  public shell::IScrollBarOwner {
public:
    static constexpr int kElementCount = layout::kKeyMapElementCount;
    // A click acts only when no double click follows it within this time.
    static constexpr int kDoubleClickGuardMs = 200;
    static constexpr int kTipDelayMs = 100;

    COrsaDialogKeyMapSettings(shell::CSkinSource& skin, model::CAppState& state,
                              QWidget* parent = nullptr);
    ~COrsaDialogKeyMapSettings() override;

    // Initialisation for editKey and editLevel of the application state: the
    // table, the faces, the child controls, the working copies and the page
    // the key's assignment belongs to. False (after telling the user) when
    // the skin lacks a face; the dialog must not run then. An empty `screen`
    // means the primary screen.
    bool initialise(QSize screen = {});

    void switchPage(keymap::KeyMapPage page);
    // OK: the current page's choice becomes the key's assignment.
    void applyAssignment();
    // Ends the dialog however it is closed, never leaving a capture running.
    void done(int result) override;
    // A message of the keyboard hook.
    void onHookKey(WPARAM wParam, LPARAM lParam);
    // What a click on element `index` (-1: none) does once its double-click
    // guard has passed.
    void dispatchClick(int index);
    // What Default does for a key whose default code is `d` (-1: no key):
    // shows the page of that code with the code chosen, applying nothing.
    void presetDefault(int d);

    // What the dialog reaches outside itself; tests replace them.
    // Runs the virtual keyboard in mode 1 (single) or 2 (combo); true for OK.
    void setVirtualKeyboard(std::function<bool(int mode)> run) {
        m_virtualKeyboard = std::move(run);
    }
    void setMessageSink(std::function<void(const QString&)> sink) { m_message = std::move(sink); }
    // Whether a key is held, as the capture sees it.
    void setKeyState(std::function<bool(int vk)> query) { m_keyState = std::move(query); }
    // Nanoseconds of a steady clock.
    void setClock(std::function<std::int64_t()> now) { m_clock = std::move(now); }

    keymap::CKeyMapSession& session() override { return m_session; }
    const keymap::CKeyMapSession& session() const { return m_session; }
    SkinElement& element(int id) override;
    CKeyMapPage& currentPage() { return page(m_session.m_page); }
    // Stores the in-place editor's text and closes it.
    void commitInPlaceEdit() override;
    // Whether the in-place editor is open on a name, or on a delay.
    bool isRenaming() const { return m_renaming; }
    bool isEditingDelay() const { return m_editingDelay; }
    shell::CInfoBox& comboText() override { return m_comboText; }
    QLineEdit& countEdit() override { return m_countEdit; }
    QLineEdit& intervalEdit() override { return m_intervalEdit; }
    QLineEdit& renameEdit() { return m_renameEdit; }
    shell::CSkinScrollBar& scrollBar(int control);
    // A list scroll bar moved: the list's selection follows it.
    void onScroll(shell::CSkinScrollBar& bar, int command, int trackPosition) override;
    // The pages' tabs, the radio buttons and the rows of the lists as what
    // they are to a screen reader; the other buttons as the base says.
    shell::SElementAccess accessOf(int index) const override;
    // The text the capture notice shows now; empty while the desktop keyboard is taken.
    QString captureNotice();
    const CTipWindow& tip() const { return m_tip; }
    // True while a click waits out its double-click guard before it acts.
    bool clickWaiting() const { return m_clickGuard.isActive(); }

protected:
    int closeControlId() const override { return layout::keymap_id::Close; }
    // The language of the window and of the pages it hosts.
    text::Language language() const override;
    bool isShown(const SkinElement& e) const override { return isOnCurrentPage(e); }
    void beforeElements() override;
    void onElementClicked(int index) override;
    // Enter and Space: what a click does once its guard has passed, at once.
    void onElementActivated(int index) override;
    // A list of the current page is one stop for Tab, at its selected row.
    int focusGroup(const SkinElement& e) const override;
    int groupEntry(int group, std::span<const int> members) const override;
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The rest of what the pages reach through IKeyMapHost.
    SkinElement& elementAt(int index) override {
        return elements()[static_cast<std::size_t>(index)];
    }
    int indexOfKnownId(int id) const override;
    std::span<SkinElement> allElements() override { return elements(); }
    void refresh() override;
    void redraw() override { update(); }
    void startCapture() override;
    void stopCapture() override;
    void openInPlaceEditor(int index, const QString& text, bool delay) override;
    bool inPlaceEditorOpen() const override { return m_renaming || m_editingDelay; }
    // Scroll bar `control` shows `list`: one position per item, a page of
    // SizeOfView, the selected item as the position.
    void syncScrollBar(int control, const model::CActionList& list) override;
    void placeScrollBar(int control, const layout::ControlPlace& place) override;
    QWidget& menuParent() override { return *this; }
    void showMessage(const QString& text) override;
    bool runVirtualKeyboard(int mode) override;

    CKeyMapPage& page(keymap::KeyMapPage page) { return *m_pages[keymap::pageIndex(page)]; }
    bool isOnCurrentPage(const SkinElement& e) const;
    void placeControl(QWidget& control, const layout::ControlPlace& place);
    void createControls();
    void placeEdits();
    bool findFaces(QString& error);
    // The normal, pointer-over and active faces of `page`, decoded on first use.
    std::optional<std::array<const QImage*, 3>> pageFaces(keymap::KeyMapPage page, QString& error);
    void hideControls();
    void dispatchCommon(int id);
    void showPreset(std::optional<keymap::KeyMapPage> page);
    int resolveShift(int vk, int dir);
    void onCaptureEndedByHook(HookStatus why);
    void updateNotice();
    void updateTip();
    void flushPendingClick();
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous page, as a click on its tab.
    void turnPage(int step);
    // Up or Down on a list row with the focus moves the list's selection,
    // and the focus with it; false for any other key or focus.
    bool stepFocusedList(const QKeyEvent& event);

    shell::CSkinSource& m_skin;
    model::CAppState& m_state;
    keymap::CKeyMapSession m_session;
    std::array<std::unique_ptr<CKeyMapPage>, keymap::kKeyMapPageCount> m_pages;
    std::array<int, layout::kKeyMapPictureCount> m_faceIds{};
    QRegularExpressionValidator m_digitsOnly; // the number fields take digits only
    QLineEdit m_countEdit;                    // 1001
    QLineEdit m_intervalEdit;                 // 1002
    QLineEdit m_renameEdit;                   // 1003
    shell::CInfoBox m_comboText;              // 1005
    shell::CSkinScrollBar m_libraryBar;       // 1006
    shell::CSkinScrollBar m_entryBar;         // 1007
    CTipWindow m_tip;
    int m_editRow = -1; // element index of the row the in-place editor stands on
    bool m_renaming = false;
    bool m_editingDelay = false;

    QTimer m_clickGuard;
    int m_pendingClick = -2; // element index waiting for its guard; -2: none
    shell::CKeyCapture m_capture;
    QTimer m_captureWatch;                // the notice follows the hook's status
    std::array<bool, 2> m_shiftUpState{}; // left, right at the last Shift release

    std::function<bool(int)> m_virtualKeyboard;
    std::function<void(const QString&)> m_message;
    std::function<bool(int)> m_keyState;
    std::function<std::int64_t()> m_clock;
};

} // namespace talvik::editor
