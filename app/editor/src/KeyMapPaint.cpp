// What the key settings dialog shows beyond its faces: the page's own
// content on every paint, and the tooltip that names the functions of the
// Multimedia, Function and Power pages.

#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "talvik/model/CAppState.h"

#include <QMouseEvent>

namespace talvik::editor {
namespace {

// The buttons whose caption is their tooltip.
bool hasTip(int elementId) {
    return (elementId >= 401 && elementId <= 418) || (elementId >= 601 && elementId <= 638) ||
           (elementId >= 701 && elementId <= 703);
}

} // namespace

void COrsaDialogKeyMapSettings::refresh() {
    currentPage().refresh();
}

void COrsaDialogKeyMapSettings::beforeElements() {
    refresh();
}

void COrsaDialogKeyMapSettings::updateTip() {
    const int index = hitTest(pointer());
    if (index >= 0) {
        const SkinElement& e = elementAt(index);
        const QString tip = e.tip(m_state.language);
        if (hasTip(e.id) && !tip.isEmpty()) {
            m_tip.activate(tip, mapToGlobal(pointer()));
            return;
        }
    }
    m_tip.deactivate();
}

void COrsaDialogKeyMapSettings::mouseMoveEvent(QMouseEvent* event) {
    CSkinWindow::mouseMoveEvent(event);
    updateTip();
}

void COrsaDialogKeyMapSettings::leaveEvent(QEvent* event) {
    CSkinWindow::leaveEvent(event);
    m_tip.deactivate();
}

} // namespace talvik::editor
