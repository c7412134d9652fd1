// The main window's commands, dispatched by element id on a left-button release.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/text/Language.h"

#include "talvik/layout/SkinLayout.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
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
    if (m_heatmap && command >= id::FirstKey) {
        toggleHeatmap(); // a key clicked on the heatmap brings back the assignments first
        return;
    }
    runCommand(command, index);
}

void COrsaDlg::runCommand(int command, int index) {
    switch (command) {
    case id::Language:
        switchLanguage(index);
        break;
    case id::ReadCounters:
        readCounters();
        break;
    case id::WriteKeys:
        writeKeys();
        break;
    case id::Backlight:
        asStep({QStringLiteral("背光颜色"), QStringLiteral("Backlight colours")},
               [this] { runDeviceDialog(m_dialogs.backlight); });
        break;
    case id::ReadAll:
        readAll();
        break;
    case id::Firmware:
        runDeviceDialog(m_dialogs.firmware);
        break;
    case id::Help:
        openHelp();
        break;
    case id::Minimise:
        minimise();
        break;
    case id::Exit:
        exitProgram();
        break;
    case id::SaveProfile:
        saveProfileCommand();
        break;
    case id::OpenProfile:
        openProfileCommand();
        break;
    case id::ClearConfig:
        clearConfiguration();
        break;
    case id::Layer:
        switchLayer(index);
        break;
    default:
        if (command >= id::FirstKey) {
            editKey(index);
        }
        break;
    }
}

void COrsaDlg::editKey(int index) {
    m_state.editKey = elements()[static_cast<std::size_t>(index)].keyIndex;
    asStep(keyStepName(index), [this] {
        if (m_dialogs.keySettings && m_dialogs.keySettings()) {
            m_state.modified = 1;
        }
    });
    update();
}

void COrsaDlg::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_Z) {
        undo();
        return;
    }
    if ((modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Z) ||
        (modifiers == Qt::ControlModifier && event->key() == Qt::Key_Y)) {
        redo();
        return;
    }
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_H) {
        toggleHeatmap();
        return;
    }
    // Enter and Escape would end a plain dialog at once; here that would drop
    // unwritten key settings without a word, so they leave like the exit button.
    // Enter acts on the element with the focus ring instead, while one has it.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!activateFocused(*event)) {
            exitProgram();
        }
        break;
    case Qt::Key_Escape:
        exitProgram();
        break;
    default:
        CSkinWindow::keyPressEvent(event);
    }
}

void COrsaDlg::closeEvent(QCloseEvent* event) {
    // The desktop closing the window (a shortcut, the task bar) is the exit
    // button too; a close from the program itself ends the window as asked.
    if (event->spontaneous() && isVisible()) {
        event->ignore();
        exitProgram();
        return;
    }
    CSkinWindow::closeEvent(event);
}

void COrsaDlg::done(int result) {
    // However the window ends, its icon must not outlive it, nor its looks at the keyboard.
    hideTrayIcon();
    m_devicePoll.stop();
    CSkinWindow::done(result);
}

QString COrsaDlg::modelCaption() const {
    return QString::fromUtf8(text::modelName(m_state.modelNumber));
}

QString COrsaDlg::pick(const char* chinese, const char* english) const {
    return QString::fromUtf8(text::textIn(m_state.language, chinese, english));
}

void COrsaDlg::tell(QMessageBox::Icon icon, const QString& text) {
    m_notice(icon, modelCaption(), text);
}

void COrsaDlg::switchLanguage(int index) {
    SkinElement& button = elements()[static_cast<std::size_t>(index)];
    m_state.language = button.active ? text::Language::Chinese : text::Language::English;
    button.active = !button.active;
    m_app.followLanguage(); // Qt's own buttons and dialogs too
    update();
    announceCheckedChanged(*this, index);
    announceNamesChanged(*this);
}

void COrsaDlg::switchLayer(int index) {
    m_state.editLevel = 1 - m_state.editLevel;
    SkinElement& button = elements()[static_cast<std::size_t>(index)];
    button.active = !button.active;
    update();
    announceCheckedChanged(*this, index);
    announceNamesChanged(*this); // the keys say what they do on the layer shown
}

void COrsaDlg::clearConfiguration() {
    asStep({QStringLiteral("恢复默认配置"), QStringLiteral("Clear configuration")},
           [this] { m_state.resetToDefaults(); });
    update();
}

QString COrsaDlg::helpPagePath(const QString& folder, text::Language language) {
    const QString tag = QString::fromLatin1(text::tagOf(language));
    return QDir(folder).filePath(QStringLiteral("Talvik.%1.html").arg(tag));
}

void COrsaDlg::openHelp() {
    const QString page = helpPagePath(m_helpFolder, m_state.language);
    const QString shown = QDir::toNativeSeparators(page);
    if (!QFileInfo(page).isFile()) {
        tell(QMessageBox::Warning,
             pick("找不到帮助页面：\n%1\n请重新安装 Talvik。",
                  "The help page was not found:\n%1\nReinstall Talvik to get it back.")
                 .arg(shown));
        return;
    }
    if (!m_openUrl(QUrl::fromLocalFile(page))) {
        tell(QMessageBox::Warning,
             pick("没有程序能打开帮助页面：\n%1\n请用网页浏览器打开它。",
                  "No program could open the help page:\n%1\nOpen it in a web browser.")
                 .arg(shown));
    }
}

} // namespace talvik::shell
