#include "CMacroPage.h"

#include "talvik/model/CAppState.h"
#include "talvik/recorder/MacroEditing.h"
#include "talvik/shell/PaletteColour.h"

#include <QLineEdit>
#include <QMenu>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;

void addLines(QMenu& menu, const std::vector<recorder::MenuLine>& lines) {
    for (const recorder::MenuLine& line : lines) {
        if (line.submenu.empty()) {
            menu.addAction(QString::fromStdString(line.text))->setData(line.command);
        } else {
            QMenu* sub = menu.addMenu(QString::fromStdString(line.text));
            sub->setStyleSheet(shell::menuStyleSheet());
            addLines(*sub, line.submenu);
        }
    }
}

int eventRowOf(int elementId) {
    const int row = elementId - id::FirstEventRow;
    return row >= 0 && row < layout::kMacroRows ? row : -1;
}

} // namespace

CMacroPage::CMacroPage(IKeyMapHost& host, const Spec& spec, const RecordSpec& record)
    : CRecordingPage(host, spec, record) {}

void CMacroPage::shown() {
    CRecordingPage::shown();
    m_host.countEdit().setEnabled(m_entry.PlayMode == 0);
    m_host.intervalEdit().setEnabled(m_entry.IsAutoInterval);
}

void CMacroPage::refresh() {
    CRecordingPage::refresh();
    showNumber(m_host.intervalEdit(), m_entry.Delay);
    // Library rows load other entries: the boxes follow the entry shown.
    m_host.countEdit().setEnabled(m_entry.PlayMode == 0);
    m_host.intervalEdit().setEnabled(m_entry.IsAutoInterval);
}

void CMacroPage::click(int elementId, int index) {
    switch (elementId) {
    case id::TimesPlayRadio:
        choosePlayMode(0);
        return;
    case id::HeldPlayRadio:
        choosePlayMode(1);
        return;
    case id::TogglePlayRadio:
        choosePlayMode(2);
        return;
    case id::AutoDelayRadio:
        useAutoDelay();
        return;
    case id::RecordDelayRadio:
        useRecordDelay();
        return;
    default:
        break;
    }
    if (const int row = eventRowOf(elementId); row >= 0) {
        clickEventRow(row, index);
    } else {
        CRecordingPage::click(elementId, index);
    }
}

void CMacroPage::choosePlayMode(int mode) {
    m_entry.PlayMode = mode;
    QLineEdit& count = m_host.countEdit();
    count.setEnabled(mode == 0);
    if (mode == 0) {
        count.setFocus();
    }
    m_entries.writeBack();
}

void CMacroPage::useAutoDelay() {
    intervalEdited();
    recorder::useAutoInterval(m_entry);
    entryChanged();
    QLineEdit& interval = m_host.intervalEdit();
    interval.setEnabled(true);
    interval.setFocus();
}

void CMacroPage::useRecordDelay() {
    recorder::useRecordedDelays(m_entry);
    entryChanged();
    m_host.intervalEdit().setEnabled(false);
}

void CMacroPage::editChanged(int control) {
    if (control == layout::keymap_control::Interval) {
        intervalEdited();
    } else {
        CRecordingPage::editChanged(control);
    }
}

void CMacroPage::intervalEdited() {
    int value = 0;
    if (takeNumber(m_host.intervalEdit(), 0, recorder::kMaxAutoDelayMs, value)) {
        m_entry.Delay = value;
        m_entries.writeBack();
    }
}

void CMacroPage::clickEventRow(int row, int index) {
    if (recorder::clickEventRow(m_entry, row) != recorder::RowClick::EditDelay) {
        return;
    }
    const auto text = recorder::delayEditorText(m_entry);
    m_host.openInPlaceEditor(index, QString::fromStdString(text.value_or("")), true);
}

void CMacroPage::commitRow(int index, const std::string& text) {
    if (eventRowOf(m_host.elementAt(index).id) < 0) {
        CRecordingPage::commitRow(index, text);
        return;
    }
    recorder::storeEditedDelay(m_entry, text);
    m_entries.writeBack();
}

void CMacroPage::rightClick(int index, QPoint globalPos) {
    // Nothing is inserted into a recording that runs.
    if (index < 0 || capturing()) {
        return;
    }
    // The delay editor stands on an item by its position: it must have
    // written its value before items move under it.
    if (m_host.inPlaceEditorOpen()) {
        m_host.commitInPlaceEdit();
    }
    const int row = eventRowOf(m_host.elementAt(index).id);
    if (row < 0 || m_entry.ViewStartAt + row >= m_entry.count() || m_entry.ViewStartAt + row < 0) {
        return;
    }
    m_menuRow = index;
    const auto menu = recorder::eventRowMenu(m_host.language());
    if (menu.empty()) {
        return;
    }
    if (const int command = showMenu(menu, globalPos); command != 0) {
        menuCommand(command);
    }
}

int CMacroPage::showMenu(const std::vector<recorder::MenuLine>& lines, QPoint globalPos) {
    QMenu menu(&m_host.menuParent());
    menu.setStyleSheet(shell::menuStyleSheet());
    menu.setFont(m_host.menuParent().font());
    addLines(menu, lines);
    const QAction* chosen = menu.exec(globalPos);
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

void CMacroPage::menuCommand(int command) {
    const int row = m_menuRow >= 0 ? eventRowOf(m_host.elementAt(m_menuRow).id) : -1;
    if (row < 0) {
        return;
    }
    std::string name;
    if (const auto action = recorder::mouseActionOf(command)) {
        const model::CAppState& state = session().state();
        name = recorder::mouseActionName(state.keyNames, state.hwCodeToVk, action->hwCode);
    }
    if (recorder::applyEventRowCommand(m_entry, row, command, name)) {
        entryChanged();
        m_host.refresh();
        m_host.redraw();
    }
}

} // namespace talvik::editor
