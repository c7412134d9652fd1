// The main window's edit history: the steps its commands make, undo and redo from the keys
// and from the menu a right-click off the keys opens.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/layout/SkinLayout.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/PaletteColour.h"

#include <QContextMenuEvent>

namespace talvik::shell {
namespace {
namespace id = layout::main_id;
}

void COrsaDlg::asStep(SStepName name, const std::function<void()>& command) {
    const model::CKeyConfig before = m_state.keyConfig;
    command();
    const int steps = m_history.count();
    const bool couldRedo = m_history.canRedo();
    m_history.record(before, std::move(name));
    if (m_history.count() != steps || couldRedo != m_history.canRedo()) {
        m_historyNote.reset(); // a new step: what the last undo did is history now
    }
}

SStepName COrsaDlg::keyStepName(int index) {
    SkinElement& key = elements()[static_cast<std::size_t>(index)];
    return {QStringLiteral("按键 %1").arg(key.caption(text::Language::Chinese)),
            QStringLiteral("Key %1").arg(key.caption(text::Language::English))};
}

void COrsaDlg::showHistoryNote(const char* chinese, const char* english, const SStepName& step) {
    m_historyNote = SHistoryNote{chinese, english, step};
    update();
}

// No busy check: the busy period after a file dialog drops the click that closed it, and
// while a job runs its dialog is modal, so the keys and the menu cannot reach the window.
void COrsaDlg::undo() {
    if (const std::optional<SStepName> step = m_history.undo()) {
        showHistoryNote("已撤销：%1", "Undone: %1", *step);
    }
}

void COrsaDlg::redo() {
    if (const std::optional<SStepName> step = m_history.redo()) {
        showHistoryNote("已重做：%1", "Redone: %1", *step);
    }
}

void COrsaDlg::contextMenuEvent(QContextMenuEvent* event) {
    openContextMenu(event->pos());
    event->accept();
}

void COrsaDlg::openContextMenu(QPoint pos) {
    const int index = hitTest(pos);
    if (index >= 0 && elements()[static_cast<std::size_t>(index)].id >= id::FirstKey) {
        return; // a key's own menu would be the key settings dialog
    }
    m_contextMenu = std::make_unique<QMenu>(this);
    QMenu& menu = *m_contextMenu;
    menu.setStyleSheet(menuStyleSheet());
    const auto entry = [this](const char* chinese, const char* english,
                              const std::optional<SStepName>& step) {
        QString text = pick(chinese, english);
        return step ? QStringLiteral("%1 %2").arg(text, step->in(m_state.language)) : text;
    };
    QAction* undoEntry =
        menu.addAction(entry("撤销", "Undo", m_history.nextUndo()), [this] { undo(); });
    undoEntry->setShortcut(QKeySequence::Undo);
    undoEntry->setEnabled(m_history.canUndo());
    QAction* redoEntry =
        menu.addAction(entry("重做", "Redo", m_history.nextRedo()), [this] { redo(); });
    redoEntry->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    redoEntry->setEnabled(m_history.canRedo());
    // The shortcuts are the window's own (keyPressEvent); the menu only shows them.
    undoEntry->setShortcutContext(Qt::WidgetShortcut);
    redoEntry->setShortcutContext(Qt::WidgetShortcut);
    menu.addSeparator();
    addHeatmapEntries(menu);
    menu.addSeparator();
    menu.addAction(pick("恢复备份...", "Restore a backup..."), [this] { restoreBackupCommand(); });
    menu.addAction(pick("打开备份文件夹", "Open the backups folder"),
                   [this] { openBackupsFolder(); });
    menu.popup(mapToGlobal(pos));
}

} // namespace talvik::shell
