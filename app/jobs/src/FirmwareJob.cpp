#include "talvik/jobs/FirmwareJob.h"

#include "talvik/hwi/COrsaHWI.h"
#include "talvik/hwi/FirmwareImage.h"
#include "talvik/text/Language.h"

#include <fstream>
#include <vector>

namespace talvik::jobs {

namespace {

// The image's text with a terminating zero after it, which the library reads up to;
// kFirmwareDone once read and checked.
FirmwareResult readFirmwareFile(const std::string& path, std::vector<char>& text) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return kFirmwareNotOpened;
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        return kFirmwareNotOpened;
    }
    if (size > kMaxFirmwareFileBytes) {
        return kFirmwareDamaged;
    }
    // The library reads the text up to a terminating zero.
    text.assign(static_cast<std::size_t>(size) + 1, '\0');
    file.seekg(0);
    if (!file.read(text.data(), size)) {
        return kFirmwareNotOpened;
    }
    if (!CheckFirmwareImage(text.data(), static_cast<int>(size))) {
        return kFirmwareDamaged;
    }
    return kFirmwareDone;
}

} // namespace

FirmwareResult checkFirmwareFile(const std::string& path) {
    std::vector<char> text;
    return readFirmwareFile(path, text);
}

FirmwareResult downloadFirmwareFile(COrsaHWI& device, const std::string& path, HWND progress) {
    std::vector<char> text;
    if (const FirmwareResult read = readFirmwareFile(path, text); read != kFirmwareDone) {
        return read;
    }
    const int length = static_cast<int>(text.size() - 1);
    return device.WriteFirmwareToKeyboard(text.data(), length, progress) ? kFirmwareDone
                                                                         : kFirmwareFailed;
}

std::string_view firmwareResultText(int result, text::Language language) {
    switch (result) {
    case kFirmwareDone:
        return text::textIn(
            language,
            "固件下载完成。\r\n请勿插拔USB直至三个状态指示灯同时闪烁则固件更新完成，请拔下USB重新上"
            "电"
            "。",
            "The Firmware is downloaded successfully.\r\nPlease keep the USB plug in until three "
            "indicator lights flash simultaneously.\r\nThen firmware updated completely,pleased "
            "unplug the USB and plug in.");
    case kFirmwareFailed:
        return text::textIn(language, "固件下载失败!", "Firmware download failed.");
    case kFirmwareNotOpened:
        return text::textIn(language, "打开固件文件失败", "Can't open firmware file");
    case kFirmwareDamaged:
        return text::textIn(language, "固件文件已损坏，无法下载。没有向键盘发送任何数据。",
                            "The firmware file is damaged and cannot be downloaded. Nothing "
                            "was sent to the keyboard.");
    default:
        return {};
    }
}

} // namespace talvik::jobs
