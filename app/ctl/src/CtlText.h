#pragma once

// What talvikctl says, in the user's language: Chinese under a zh locale,
// English otherwise. Every message goes to stderr; only data goes to stdout.

#include "talvik/text/Language.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace talvik::ctl {

// The language for the locale variables, in the order the C library consults
// them for messages: LC_ALL, LC_MESSAGES, LANG. The first one set and not
// empty decides; a value starting with "zh" is Chinese, anything else English.
text::Language languageForLocale(const char* lcAll, const char* lcMessages, const char* lang);
text::Language languageOfProcess();

// Replaces "%1" ... "%9" in `format` with the arguments; other text, also a
// "%" before anything else, stays as it is. Arguments are never re-read, so a
// file name holding "%1" is printed as it is.
std::string fill(std::string_view format, std::initializer_list<std::string_view> args);

// The messages. Each names the text in both languages; `tr` picks one.
struct SText {
    std::string_view chinese;
    std::string_view english;
};
std::string_view tr(text::Language language, const SText& text);

namespace msg {
// Connection
inline constexpr SText kNotConnected{"键盘未连接！", "Keyboard is not connected!"};
inline constexpr SText kNotConnectedHint{
    "请确认键盘已用 USB 线连接；“talvikctl list” 会列出找到的键盘。",
    "Check that it is plugged in; \"talvikctl list\" shows the keyboards found."};
inline constexpr SText kNoPermission{
    "已找到键盘，但您没有使用它的权限（%1）。请安装 Talvik 软件包或其 udev 规则 "
    "70-talvik.rules，然后拔下键盘再重新插入。",
    "The keyboard was found, but you have no permission to use it (%1). Install the Talvik "
    "package or its udev rule 70-talvik.rules, then unplug the keyboard and plug it in again."};
inline constexpr SText kOpenFailed{"无法打开键盘 %1：%2",
                                   "The keyboard %1 could not be opened: %2"};
inline constexpr SText kRunAgain{
    "键盘在命令进行中断开了，等它重新连接后再做一次……",
    "The keyboard went away during the command; running it again once it is back..."};
inline constexpr SText kFirmwareReplug{"键盘在下载中断开了，等待它重新连接……",
                                       "The keyboard went away during the download; waiting "
                                       "for it to come back..."};
inline constexpr SText kFirmwareBack{"键盘已重新连接，固件版本：%1",
                                     "The keyboard is back; its firmware version: %1"};
inline constexpr SText kVersionFailed{"读取键盘版本失败",
                                      "Failed on reading keyboard version infomation"};

// Transfers
inline constexpr SText kWritingKeys{"写入按键设置", "Writing key settings"};
inline constexpr SText kReadingKeys{"读取按键设置", "Reading key settings"};
inline constexpr SText kDownloading{"下载固件", "Downloading firmware"};
inline constexpr SText kNoProfileSaved{"没有保存配置文件。", "No profile was saved."};
inline constexpr SText kWritten{"已写入 %1 的按键设置和背光。",
                                "Key settings and backlight of %1 written."};
inline constexpr SText kSaved{"已将键盘的设置保存到 %1。",
                              "The keyboard's settings were saved in %1."};

// Profiles
inline constexpr SText kProfileUnreadable{"无法读取配置文件 %1：%2",
                                          "The profile %1 could not be read: %2"};
inline constexpr SText kProfileTooLarge{
    "配置文件 %1 超过 %2 MB，不是 Talvik 能写出的配置文件，没有读取。",
    "The profile %1 is larger than %2 MB, more than Talvik ever writes, and was not read."};
inline constexpr SText kProfileNotXml{"%1 不是配置文件：其中没有 XML 内容。",
                                      "%1 is not a profile: it holds no XML."};
inline constexpr SText kProfileNotProfile{"%1 不是 Talvik 配置文件。",
                                          "%1 is not a Talvik profile."};
inline constexpr SText kProfileOtherModel{
    "%1 是 %2 键盘的配置文件，不能用于当前连接的 %3 键盘。",
    "%1 belongs to a %2 keyboard and cannot be used for the connected %3."};
inline constexpr SText kProfileDamaged{
    "配置文件 %1 有损坏（%2）。请在 Talvik 中打开并检查，再保存一次。",
    "The profile %1 is damaged (%2). Open it in Talvik, check it and save it again."};
inline constexpr SText kProfileLegacyEncoding{
    "配置文件 %1 的文本不是 UTF-8 编码，已按 %2 读取。在 Talvik 中保存一次即可改存为 UTF-8。",
    "The profile %1 is not UTF-8; its text was read as %2. Saving it once in Talvik makes it "
    "UTF-8."};
inline constexpr SText kListCut{
    "按键 %1（%2）的内容超过键盘一条记录能容纳的长度，超出部分不会写入。",
    "Key %1 (%2) holds more than one record of the keyboard takes; the rest is cut off."};
inline constexpr SText kTopLayer{"上层", "top layer"};
inline constexpr SText kFnLayer{"Fn 层", "Fn layer"};
inline constexpr SText kNothingWritten{"没有向键盘写入任何数据。",
                                       "Nothing was written to the keyboard."};
inline constexpr SText kProfileNotSaved{"配置文件没有保存：%1", "The profile was not saved: %1"};

// Backups
inline constexpr SText kBackingUp{"备份键盘的设置", "Backing up the keyboard's settings"};
inline constexpr SText kNoBackupHint{"如不需要备份，可加上 --no-backup 再运行。",
                                     "To write without a backup, add --no-backup."};
inline constexpr SText kNoBackups{"%1 中没有备份。", "No backups in %1."};
inline constexpr SText kNoBackupOfModel{"%2 中没有 %1 的备份。", "No backup of %1 in %2."};
inline constexpr SText kBackupTime{"时间", "TIME"};
inline constexpr SText kBackupModel{"型号", "MODEL"};
inline constexpr SText kBackupRead{"从键盘读取", "FROM KEYBOARD"};
inline constexpr SText kBackupFile{"文件", "FILE"};

// Firmware
inline constexpr SText kFirmwareWrongModel{"固件不匹配，请选择",
                                           "The firmware does not match,please select "};
inline constexpr SText kFirmwareNameRule{"固件文件名必须以“%1”开头。",
                                         "The firmware file's name must begin with \"%1\"."};

// Counters
inline constexpr SText kCounterKey{"按键", "Key"};
inline constexpr SText kCounterPresses{"次数", "Presses"};
inline constexpr SText kMostPressed{"按得最多：%1（%2 次）", "Most pressed: %1 (%2)"};
inline constexpr SText kLeastPressed{"按得最少：%1（%2 次）", "Least pressed: %1 (%2)"};
inline constexpr SText kNoPresses{"没有按键计数。", "No key has been pressed."};

// list
inline constexpr SText kListModel{"型号", "MODEL"};
inline constexpr SText kListNode{"设备", "NODE"};
inline constexpr SText kListAccess{"状态", "ACCESS"};
inline constexpr SText kAccessOk{"可以使用", "ok"};
inline constexpr SText kAccessSimulated{"可以使用（模拟键盘）", "ok (simulated keyboard)"};
inline constexpr SText kAccessNoPermission{"无权限", "no permission"};
inline constexpr SText kAccessOpenFailed{"无法打开：%1", "cannot be opened: %1"};
inline constexpr SText kAccessBusy{"，正被 %1 使用", ", in use by %1"};
inline constexpr SText kNoKeyboardFound{"没有找到支持的键盘。", "No supported keyboard found."};

// Command line
inline constexpr SText kUsageError{"命令行有误：%1", "Invalid command line: %1"};
inline constexpr SText kUnknownCommand{"没有这个命令：%1", "Unknown command: %1"};
inline constexpr SText kUsageHint{"运行“talvikctl --help”查看用法。",
                                  "Run \"talvikctl --help\" for the usage."};
} // namespace msg

} // namespace talvik::ctl
