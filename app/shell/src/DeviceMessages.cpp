#include "talvik/shell/DeviceMessages.h"

namespace talvik::shell {

namespace {
const QString kRuleName = QStringLiteral("70-talvik.rules");
}

QString notConnectedMessage() {
    return QStringLiteral(
               "Keyboard is not connected!\n\n"
               "Please check that:\n"
               "• the keyboard is plugged in by its USB cable (try another port or cable);\n"
               "• you may use it: install the Talvik package or its udev rule %1, "
               "then unplug the keyboard and plug it in again;\n"
               "• no other program holds it (close other keyboard tools and virtual machines).\n\n"
               "没有找到键盘。请检查：\n"
               "• 键盘已用 USB 线连接到这台电脑（可换一个 USB 接口或数据线）；\n"
               "• 您有权限使用键盘：安装 Talvik 软件包或其 udev 规则 %1，然后拔下键盘再重新插入；\n"
               "• 没有其他程序占用键盘（关闭其他键盘工具和虚拟机）。")
        .arg(kRuleName);
}

QString noPermissionMessage(const QString& node, const QString& rulePath) {
    const QString rule = rulePath.isEmpty() ? kRuleName : rulePath;
    return QStringLiteral(
               "The keyboard was found, but you have no permission to use it (%1).\n"
               "Install the Talvik package, or copy the udev rule %2 to /etc/udev/rules.d/ "
               "as root; then unplug the keyboard and plug it in again.\n\n"
               "已找到键盘，但您没有使用它的权限（%1）。\n"
               "请安装 Talvik 软件包，或以 root 身份将 udev 规则 %2 复制到 /etc/udev/rules.d/，"
               "然后拔下键盘再重新插入。")
        .arg(node, rule);
}

QString occupiedMessage() {
    return QStringLiteral("Keyboard has be occupied!");
}

} // namespace talvik::shell
