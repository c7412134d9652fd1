// Saving and opening profiles and backups, leaving the program with the offer to
// save, and starting again for a keyboard of another model.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/backup/Backups.h"
#include "talvik/model/CAppState.h"

#include <QApplication>
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

void COrsaDlg::offerRestartFor(int model) {
    // Not over an open dialog: its edits go into the configuration shown, which
    // the user may want to save first. Asked once the dialog has closed.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this) {
        return;
    }
    const QString found = QString::fromUtf8(text::modelName(model));
    const QString shown = modelCaption();
    const QString save =
        pick("连接的是另一种型号的键盘：%1。\n窗口中的配置属于 %2。\n\n是否先把它保存为配置文件??",
             "A keyboard of another model was connected: %1.\nThe configuration shown belongs to "
             "the %2.\n\nSave it as a profile first??")
            .arg(found, shown);
    if (m_question(shown, save) && m_profiles.save() == CProfileFiles::ESaved::Failed) {
        m_watch.keepOldModel(model); // the user was told why; nothing is thrown away
        update();
        return;
    }
    update();
    const QString restart = pick("是否为 %1 重新启动 Talvik??", "Restart Talvik for the %1??").arg(found);
    if (!m_question(shown, restart)) {
        m_watch.keepOldModel(model);
        return;
    }
    m_restartRequested = true;
    hideTrayIcon();
    accept();
}

} // namespace talvik::shell
