#include "talvik/shell/SkinProblem.h"

#include <QImage>

namespace talvik::shell {
namespace {

struct SWindowName {
    const char* chinese;
    const char* english;
};

SWindowName nameOf(ESkinWindow window) {
    switch (window) {
    case ESkinWindow::KeySettings:
        return {"按键设置窗口", "key settings window"};
    case ESkinWindow::VirtualKeyboard:
        return {"虚拟键盘", "virtual keyboard"};
    case ESkinWindow::Backlight:
        return {"背光设置窗口", "backlight window"};
    case ESkinWindow::MultiSelect:
        return {"背光按键选择窗口", "backlight key selection window"};
    case ESkinWindow::Firmware:
        return {"固件更新窗口", "firmware update window"};
    case ESkinWindow::Progress:
        return {"进度窗口", "progress window"};
    case ESkinWindow::WaitKeyboard:
        return {"等待键盘窗口", "window that waits for the keyboard"};
    }
    return {"窗口", "window"};
}

} // namespace

QString skinProblemText(ESkinWindow window, text::Language language) {
    const SWindowName name = nameOf(window);
    return QString::fromUtf8(text::textIn(
                                 language,
                                 "无法打开%1：皮肤文件 TalvikRES.rcc 缺少它的图片，或图片尺寸不一致。\n"
                                 "请重新安装 Talvik 以修复皮肤文件。",
                                 "The %1 cannot open: the skin file TalvikRES.rcc lacks its "
                                 "pictures, or their sizes do not agree.\n"
                                 "Reinstall Talvik to repair the skin file."))
        .arg(QString::fromUtf8(text::textIn(language, name.chinese, name.english)));
}

bool picturesAgree(std::initializer_list<const QImage*> pictures) {
    const QImage* first = *pictures.begin();
    for (const QImage* picture : pictures) {
        if (picture == nullptr || picture->isNull() || picture->size() != first->size()) {
            return false;
        }
    }
    return true;
}

} // namespace talvik::shell
