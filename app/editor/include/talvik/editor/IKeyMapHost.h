#pragma once

// What a page of the key settings dialog may ask of the dialog: the editing
// session, the elements it shows, the child controls it places and the few
// things only the window can do (capture the keyboard, open the in-place
// editor, tell the user something).

#include "talvik/keymap/CKeyMapSession.h"
#include "talvik/shell/SkinElement.h"

#include "talvik/layout/KeySettingsLayout.h"

#include <QString>

#include <span>
#include <string>

class QLineEdit;
class QWidget;

namespace talvik::shell {
class CInfoBox;
} // namespace talvik::shell

namespace talvik::editor {

class IKeyMapHost {
public:
    virtual keymap::CKeyMapSession& session() = 0;
    virtual text::Language language() const = 0;

    // Element `id`, which the key settings table has; a missing id is a
    // fault of the program and never falls back on another element.
    virtual SkinElement& element(int id) = 0;
    virtual SkinElement& elementAt(int index) = 0;
    virtual int indexOfKnownId(int id) const = 0;
    virtual std::span<SkinElement> allElements() = 0;

    // Rows, labels and active flags of the current page from the session.
    virtual void refresh() = 0;
    // The window paints again soon.
    virtual void redraw() = 0;

    // Starts taking every keystroke for the dialog; stopCapture ends it.
    virtual void startCapture() = 0;
    virtual void stopCapture() = 0;

    // Opens the in-place editor on row element `index` with `text`, for a
    // name or, with `delay`, for a delay.
    virtual void openInPlaceEditor(int index, const QString& text, bool delay) = 0;
    virtual bool inPlaceEditorOpen() const = 0;
    // Stores the in-place editor's text and closes it.
    virtual void commitInPlaceEdit() = 0;

    // Scroll bar `control` (1006, 1007) at `place`, shown; syncScrollBar
    // makes it show `list`.
    virtual void placeScrollBar(int control, const layout::ControlPlace& place) = 0;
    virtual void syncScrollBar(int control, const model::CActionList& list) = 0;
    virtual QLineEdit& countEdit() = 0;
    virtual QLineEdit& intervalEdit() = 0;
    virtual shell::CInfoBox& comboText() = 0;
    // The window a page's menu opens over.
    virtual QWidget& menuParent() = 0;

    virtual void showMessage(const QString& text) = 0;
    // Runs the virtual keyboard in mode 1 (single) or 2 (combo); true for OK.
    virtual bool runVirtualKeyboard(int mode) = 0;

protected:
    ~IKeyMapHost() = default;
};

} // namespace talvik::editor
