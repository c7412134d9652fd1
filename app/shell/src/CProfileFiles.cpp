#include "talvik/shell/CProfileFiles.h"

#include "talvik/backup/Backups.h"
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

CProfileFiles::CProfileFiles(model::CAppState& state, std::function<void(const QString&)> warn)
    : m_state(state), m_warn(std::move(warn)) {}

CProfileFiles::ESaved CProfileFiles::save() {
    const QString path = m_ask(EDialog::Save);
    if (path.isEmpty()) {
        return ESaved::Cancelled;
    }
    const profile::SProfileResult result = profile::saveProfile(m_state, filePath(path));
    if (!result.ok()) {
        m_warn(profileSaveMessage(result, m_state.language));
        return ESaved::Failed;
    }
    return ESaved::Saved;
}

std::optional<QString> CProfileFiles::open(EDialog kind) {
    const QString path = m_ask(kind);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const profile::SProfileResult result = profile::loadProfile(m_state, filePath(path));
    return profileLoadMessage(result, m_state.language, m_state.modelNumber);
}

QString CProfileFiles::askWithDialog(QWidget* parent, EDialog kind, text::Language language) {
    const bool save = kind == EDialog::Save;
    const auto pick = [language](const char* chinese, const char* english) {
        return QString::fromUtf8(text::textIn(language, chinese, english));
    };
    QFileDialog dialog(parent, save                       ? pick("保存配置文件", "Save profile")
                               : kind == EDialog::Restore ? pick("恢复备份", "Restore a backup")
                                                          : pick("打开配置文件", "Open profile"));
    if (kind == EDialog::Restore) {
        dialog.setDirectory(QString::fromStdString(backup::backupsFolder()));
    }
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

} // namespace talvik::shell
