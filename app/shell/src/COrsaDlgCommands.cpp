// The main window's commands, dispatched by element id on a left-button release.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/text/Language.h"

#include "layout/SkinLayout.h"

#include <QKeyEvent>

namespace talvik::shell {
namespace {
namespace id = layout::main_id;
}

void COrsaDlg::onElementClicked(int index) {
    const int command = index >= 0 ? elements()[static_cast<std::size_t>(index)].id : -1;
    if (m_state.busy != 0) {
        return; // a click that closed the open dialog must not reach the keyboard picture
    }
    runCommand(command, index);
}

void COrsaDlg::runCommand(int command, int index) {
    switch (command) {
    case id::Language:
        switchLanguage(index);
        break;
    case id::Layer:
        switchLayer(index);
        break;
    case id::Exit:
        exitProgram();
        break;
    default:
        if (command >= id::FirstKey) {
            editKey(index);
        }
        // The other commands open windows of their own.
        break;
    }
}

void COrsaDlg::editKey(int index) {
    m_state.editKey = elements()[static_cast<std::size_t>(index)].keyIndex;
    editor::COrsaDialogKeyMapSettings dialog(m_app, m_state, this);
    if (dialog.initialise() && dialog.exec() == QDialog::Accepted) {
        m_state.modified = 1;
    }
    update();
}

void COrsaDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape would end a plain dialog at once; here that would drop
    // unwritten key settings without a word, so they leave like the exit button.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        exitProgram();
        break;
    default:
        CSkinWindow::keyPressEvent(event);
    }
}

void COrsaDlg::switchLanguage(int index) {
    SkinElement& button = elements()[static_cast<std::size_t>(index)];
    m_state.languageTag = std::string(button.active ? text::kChinese : text::kEnglish);
    button.active = !button.active;
    update();
}

void COrsaDlg::switchLayer(int index) {
    m_state.editLevel = 1 - m_state.editLevel;
    SkinElement& button = elements()[static_cast<std::size_t>(index)];
    button.active = !button.active;
    update();
}

void COrsaDlg::exitProgram() {
    if (m_state.modified != 0) {
        const QString question = QString::fromUtf8(
            text::twoWayText(m_state.languageTag, "配置未写入，是否继续退出??",
                             "Configuration don't be writted,continue to exit??"));
        if (!m_question(QString::fromUtf8(text::modelName(m_state.modelNumber)), question)) {
            return;
        }
    }
    m_trayIcon.hide();
    accept();
}

} // namespace talvik::shell
