// Saving and opening profiles, and leaving the program with the offer to save.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/profile/Profile.h"
#include "talvik/shell/ProfileMessages.h"

#include <QFile>
#include <QFileDialog>

namespace talvik::shell {
namespace {

std::string filePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString COrsaDlg::askForProfilePath(EFileDialog kind) {
    const bool save = kind == EFileDialog::Save;
    QFileDialog dialog(this, save ? pick("保存配置文件", "Save profile")
                                  : pick("打开配置文件", "Open profile"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // "*" rather than "*.*": on Linux many files have no dot in their name.
    dialog.setNameFilters({QStringLiteral("pro(*.pro)"), QStringLiteral("All Files(*)")});
    dialog.setDefaultSuffix(QStringLiteral("pro"));
    // Saving over an existing file asks first (the dialog's default).
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

COrsaDlg::ESaved COrsaDlg::saveWithDialog() {
    const QString path = m_askForFile(EFileDialog::Save);
    if (path.isEmpty()) {
        return ESaved::Cancelled;
    }
    const profile::SProfileResult result = profile::saveProfile(m_state, filePath(path));
    if (!result.ok()) {
        tell(QMessageBox::Warning, profileSaveMessage(result, m_state.language));
        return ESaved::Failed;
    }
    return ESaved::Saved;
}

void COrsaDlg::saveProfileCommand() {
    saveWithDialog();
    update();
}

void COrsaDlg::openProfileCommand() {
    const QString path = m_askForFile(EFileDialog::Open);
    if (!path.isEmpty()) {
        const profile::SProfileResult result = profile::loadProfile(m_state, filePath(path));
        update();
        const QString text = profileLoadMessage(result, m_state.language, m_state.modelNumber);
        if (!text.isEmpty()) {
            tell(QMessageBox::Warning, text);
        }
    }
    update();
    m_state.busy = 1;
    m_busyTimer.start();
}

void COrsaDlg::exitProgram() {
    const QString caption = modelCaption();
    if (m_state.modified != 0 &&
        !m_question(caption, pick("配置未写入，是否继续退出??",
                                  "Configuration don't be writted,continue to exit??"))) {
        return;
    }
    if (m_question(caption, pick("是否保存按键配置文件??", "Save configuration file of key??"))) {
        const ESaved saved = saveWithDialog();
        update();
        if (saved == ESaved::Failed) {
            return; // the user was told why; leaving now would lose what they meant to keep
        }
    }
    hideTrayIcon();
    accept();
}

void COrsaDlg::offerSaveAfterRemoval() {
    const QString question =
        pick("按键设置还没有写入键盘。是否保存为配置文件，以后再写入??",
             "The key settings were not written to the keyboard. Save them as a profile file "
             "to write them later??");
    while (m_question(modelCaption(), question)) {
        if (saveWithDialog() != ESaved::Failed) {
            return;
        }
    }
}

} // namespace talvik::shell
