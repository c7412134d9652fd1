#pragma once

// One page of the key settings dialog. The dialog owns the element table, the
// child controls, the key capture and the order in which a click is handled;
// a page decides what its own elements do and what they show. A page's state
// lives in the editing session, since Default, Clear and the dialog's
// start-up preset several pages at once, and OK writes what the session holds.

#include "talvik/editor/IKeyMapHost.h"

#include <QPoint>

#include <optional>
#include <string>

namespace talvik::editor {

using keymap::CHookKey;

// What a click does to a capture or recording that is running.
enum class CaptureClick {
    NotStopped,   // the capture goes on and the click acts
    Stopped,      // the capture ended; the click does nothing more
    StoppedGoesOn // the capture ended; OK and Cancel still act
};

class CKeyMapPage {
public:
    explicit CKeyMapPage(IKeyMapHost& host) : m_host(host) {}
    virtual ~CKeyMapPage() = default;
    CKeyMapPage(const CKeyMapPage&) = delete;
    CKeyMapPage& operator=(const CKeyMapPage&) = delete;

    // The page has become the current one: place and show the child controls
    // it uses (the dialog has hidden all of them before).
    virtual void shown() {}
    // Before every paint and after every click: rows, labels, active flags and
    // child control texts from the page's state.
    virtual void refresh() {}
    // A left click on element `index` (id `id`) of this page, after the
    // dialog's own steps (in-place editor, running captures).
    virtual void click(int id, int index) {
        (void)id;
        (void)index;
    }
    // A right button release over element `index` (-1: none) at `globalPos`.
    virtual void rightClick(int index, QPoint globalPos) {
        (void)index;
        (void)globalPos;
    }
    // Whether a capture or recording of this page runs.
    virtual bool capturing() const { return false; }
    // A click on element id `id` (-1: none) arrives while capturing().
    virtual CaptureClick interruptCapture(int id) {
        (void)id;
        return CaptureClick::NotStopped;
    }
    // Ends a running capture without any click (the dialog is closing).
    virtual void abandonCapture() {}
    // A keystroke from the hook.
    virtual void hookKey(const CHookKey& key) { (void)key; }
    // The in-place editor on row element `index` closes with `text`.
    virtual void commitRow(int index, const std::string& text) {
        (void)index;
        (void)text;
    }
    // The user changed the text of number field `control` (1001 or 1002).
    virtual void editChanged(int control) { (void)control; }
    // A scroll bar of this page (control 1006 or 1007) moved to `position`.
    virtual void scrolled(int control, int position) {
        (void)control;
        (void)position;
    }

    // The lists of this page, which the arrow keys move in. The list row
    // `id` belongs to, named by its first row's id; 0 for any other element.
    virtual int listOf(int id) const {
        (void)id;
        return 0;
    }
    // The id of the row that shows the selection of list `list`; none when no row does.
    virtual std::optional<int> selectedRowId(int list) const {
        (void)list;
        return std::nullopt;
    }
    // Up (-1) or Down (+1) in list `list`: the item next to the selected one
    // becomes the selection, as a click on its row makes it.
    virtual void stepList(int list, int step) {
        (void)list;
        (void)step;
    }

protected:
    keymap::CKeyMapSession& session() { return m_host.session(); }
    const keymap::CKeyMapSession& session() const { return m_host.session(); }
    // Row captions and active flags of the rows `view` fills.
    void showRows(const keymap::CLibraryView& view);

    IKeyMapHost& m_host;
};

} // namespace talvik::editor
