#pragma once

// The virtual keyboard: the user picks keys with the mouse instead of
// pressing them. Single mode chooses one key, combo mode up to six keys
// pressed together. The choice travels as hardware codes through three
// members of the application state, so the caller needs nothing else:
//
//   single mode:  in  state.vkSingleCode, the current key (0 or -1 for none)
//                 out state.vkSingleCode, the chosen key, 0 for none
//   combo mode:   out state.vkComboCodes[0 .. vkComboCount-1] in the order
//                 chosen; both are cleared when the dialog opens
//
// Use:
//   state.vkSingleCode = current;
//   OrsaDialogVirtual keyboard(app, state, this);
//   keyboard.m_mode = OrsaDialogVirtual::kSingle;
//   if (keyboard.run() == QDialog::Accepted) { ... state.vkSingleCode ... }
//
// The members follow every click, also when the dialog is then cancelled:
// only an accepted dialog's choice is to be used. OK and Enter accept (Enter
// acts on the element with the focus ring instead, while one has it), Cancel
// and Escape cancel; in single mode a double click on a key chooses it and
// accepts (a click there takes effect after kDoubleClickWaitMs, unless a
// double click replaces it).

#include "talvik/model/Forward.h"
#include "talvik/shell/CInfoBox.h"
#include "talvik/shell/CSkinWindow.h"

#include <QImage>
#include <QTimer>

namespace talvik::shell {
class CSkinSource;
}

namespace talvik::editor {

class OrsaDialogVirtual : public shell::CSkinWindow {
public:
    static constexpr int kSingle = 1;
    static constexpr int kCombo = 2;
    static constexpr int kElementCount = 110;
    static constexpr int kMaxComboKeys = 6;
    // How long a click waits for a double click that would replace it, and
    // how long a double click waits for its button to come up.
    static constexpr int kDoubleClickWaitMs = 100;
    static constexpr int kReleaseWaitMs = 300;

    OrsaDialogVirtual(shell::CSkinSource& skin, model::CAppState& state, QWidget* parent = nullptr);
    ~OrsaDialogVirtual() override;

    // kSingle or kCombo, set before the dialog runs. Any other value shows
    // no choice and leaves the shared members alone.
    int m_mode = 0;

    // Fills, scales and places the dialog over its parent (or the centre of
    // `screen`, the primary screen when empty) and presets the choice.
    // False when the skin lacks the dialog's pictures; it must not run then.
    bool initialise(QSize screen = {});
    // initialise() and the modal run; Rejected, after telling the user, when
    // the skin lacks the pictures.
    int run();

    // The text the choice box shows for the current choice and language.
    QString choiceText() const;
    const shell::CInfoBox& infoBox() const { return m_info; }
    // True while a click waits for a double click, or a double click for its
    // release, before it acts.
    bool clickWaiting() const { return m_clickWait.isActive() || m_releaseWait.isActive(); }

    void done(int result) override;

    // A key is checked while it is chosen.
    shell::SElementAccess accessOf(int index) const override;

protected:
    text::Language language() const override;
    void afterElements() override;
    void onElementClicked(int index) override;
    // Enter and Space on a key choose it at once: a key has no double click to wait for.
    void onElementActivated(int index) override;
    // The keys are one stop for Tab, and the arrow keys move among them.
    int focusGroup(const SkinElement& e) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillElements();
    void presetChoice();
    void placeOverParent();
    int keyWithCode(int code) const;
    void act(int index);
    void toggleSingle(SkinElement& key);
    void toggleCombo(SkinElement& key);
    void chooseDoubleClicked();

    shell::CSkinSource& m_skin;
    model::CAppState& m_state;
    QImage m_normal;
    QImage m_hover;
    QImage m_active;
    shell::CInfoBox m_info;

    // A single-mode click waiting for a double click that would replace it,
    // and a double click waiting for its button to come up.
    QTimer m_clickWait;
    int m_pendingClick = -1;
    QTimer m_releaseWait;
    QPoint m_doubleClickAt;
    bool m_finished = false;
};

} // namespace talvik::editor
