#include "talvik/device/CDevicePrompts.h"

#include "talvik/backup/BackupText.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace talvik::device {

CDevicePrompts CDevicePrompts::interactive(QWidget* parent) {
    CDevicePrompts prompts;
    prompts.message = [parent](const QString& text) {
        // The texts keep the line ends they have always had; a label wants LF.
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QMessageBox box(QMessageBox::NoIcon, QString(), shown, QMessageBox::Ok, parent);
        box.exec();
    };
    prompts.warning = [parent](const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
        box.exec();
    };
    prompts.question = [parent](const QString& caption, const QString& text) {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    prompts.pickColor = [parent](QColor initial) -> std::optional<QColor> {
        // Qt's own dialog always shows the custom colours and the full
        // spectrum, on every desktop.
        const QColor chosen =
            QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
        if (!chosen.isValid()) {
            return std::nullopt;
        }
        return chosen;
    };
    prompts.openFirmware = [parent]() {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QStringLiteral("bin(*.bin)"));
        dialog.setDefaultSuffix(QStringLiteral("bin"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
    return prompts;
}

bool askToWriteWithoutBackup(const CDevicePrompts& prompts, const backup::SBackupResult& result,
                             const std::string& folder, text::Language language) {
    const std::string why = backup::backupFailureText(result, folder, language);
    const std::string ask = backup::writeWithoutBackupQuestion(language);
    return prompts.question(QStringLiteral("Talvik"), QString::fromStdString(why + "\n\n" + ask));
}

} // namespace talvik::device
