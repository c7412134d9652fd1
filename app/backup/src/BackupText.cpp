#include "talvik/backup/BackupText.h"

namespace talvik::backup {

std::string backupFailureText(const SBackupResult& result, const std::string& folder,
                              text::Language language) {
    std::string text;
    switch (result.status) {
    case EBackupStatus::ReadFailed:
        text = text::textIn(language, "无法从键盘读取当前设置，没有保存备份。",
                            "The keyboard's current settings could not be read, so no backup "
                            "was saved.");
        break;
    case EBackupStatus::SaveFailed:
        text = text::textIn(language, "无法在 ", "The backup could not be saved in ");
        text += folder;
        text += text::textIn(language, " 中保存备份：", ": ");
        text += result.message;
        text += text::textIn(language, "。", ".");
        break;
    default:
        return {};
    }
    text +=
        text::textIn(language, "没有向键盘写入任何数据。", " Nothing was written to the keyboard.");
    return text;
}

std::string writeWithoutBackupQuestion(text::Language language) {
    return std::string(text::textIn(language, "是否不备份，直接写入键盘？",
                                    "Write to the keyboard without a backup?"));
}

std::string backupReadingText(text::Language language) {
    return std::string(
        text::textIn(language, "正在备份键盘的设置…", "Backing up the keyboard's settings..."));
}

std::string backupSavedText(const std::string& path, text::Language language) {
    return std::string(text::textIn(language, "已备份键盘的设置：", "Backup saved: ")) + path;
}

} // namespace talvik::backup
