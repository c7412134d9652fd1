// The commands that talk to the keyboard: the jobs behind the progress
// dialog and the backlight and firmware windows.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

namespace talvik::shell {
namespace {

// Job codes of the progress dialog.
constexpr int kJobWriteKeys = 1;
constexpr int kJobReadAll = 3;
constexpr int kJobReadCounters = 5;

} // namespace

bool COrsaDlg::runJob(int job, const QString& caption, const char* failedZh, const char* failedEn) {
    if (!m_device.runJob) {
        return false;
    }
    switch (m_device.runJob(job)) {
    case EJobOutcome::Succeeded:
        m_notice(QMessageBox::Warning, caption, QStringLiteral("OK!!"));
        return true;
    case EJobOutcome::Failed:
        // Never "OK!!" for a transfer the keyboard did not complete.
        m_notice(QMessageBox::Warning, caption, pick(failedZh, failedEn));
        return false;
    case EJobOutcome::Cancelled:
        break;
    }
    return false;
}

void COrsaDlg::readCounters() {
    runJob(kJobReadCounters, modelCaption(), "读取计数失败：键盘没有回答。请检查连接后重试。",
           "Reading the press counters failed: the keyboard did not answer. Check the "
           "connection and try again.");
    update();
}

namespace {

// The two messages after the key transfers spell the second model this way.
QString keyTransferCaption(int model) {
    return model == 2 ? QStringLiteral("Talvik(S)Ble") : QString::fromUtf8(text::modelName(model));
}

} // namespace

void COrsaDlg::writeKeys() {
    if (runJob(kJobWriteKeys, keyTransferCaption(m_state.modelNumber),
               "写入按键失败：键盘没有收下全部按键设置。请检查连接后重试；按键设置仍标记为未写入。",
               "Writing the key settings failed: the keyboard did not take all of them. Check "
               "the connection and try again; the settings stay marked as not written.")) {
        m_state.modified = 0;
    }
}

void COrsaDlg::readAll() {
    runJob(kJobReadAll, keyTransferCaption(m_state.modelNumber),
           "读取配置失败：没能从键盘读到全部设置，显示的配置可能不完整。请检查连接后重试。",
           "Reading from the keyboard failed: not everything could be read, so the "
           "configuration shown may be incomplete. Check the connection and try again.");
    update();
}

void COrsaDlg::runDeviceDialog(const std::function<void()>& dialog) {
    if (dialog) {
        dialog();
    }
}

} // namespace talvik::shell
