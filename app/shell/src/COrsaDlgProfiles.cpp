// Saving and opening profiles and backups, and leaving the program with the offer to save.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/backup/Backups.h"
#include "talvik/model/CAppState.h"

#include <QDir>

namespace talvik::shell {

void COrsaDlg::saveProfileCommand() {
    m_profiles.save();
    update();
}

void COrsaDlg::openProfileCommand() {
    openProfileAs(EFileDialog::Open, {QStringLiteral("打开配置文件"), QStringLiteral("Open profile")});
}

void COrsaDlg::restoreBackupCommand() {
    openProfileAs(EFileDialog::Restore, {QStringLiteral("恢复备份"), QStringLiteral("Restore backup")});
}

void COrsaDlg::openBackupsFolder() {
    const QString folder = QString::fromStdString(backup::backupsFolder());
    QDir().mkpath(folder);
    if (!m_openUrl(QUrl::fromLocalFile(folder))) {
        tell(QMessageBox::Warning,
             pick("没有程序能打开备份文件夹：\n%1", "No program could open the backups folder:\n%1")
                 .arg(QDir::toNativeSeparators(folder)));
    }
}

void COrsaDlg::openProfileAs(EFileDialog kind, SStepName step) {
    std::optional<QString> told;
    asStep(std::move(step), [this, &told, kind] { told = m_profiles.open(kind); });
    if (told) {
        update();
        if (!told->isEmpty()) {
            tell(QMessageBox::Warning, *told);
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
        const CProfileFiles::ESaved saved = m_profiles.save();
        update();
        if (saved == CProfileFiles::ESaved::Failed) {
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
        if (m_profiles.save() != CProfileFiles::ESaved::Failed) {
            return;
        }
    }
}

} // namespace talvik::shell
