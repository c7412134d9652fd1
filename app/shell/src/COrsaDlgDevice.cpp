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

bool COrsaDlg::runJob(int job, const QString& caption) {
    if (!m_device.runJob) {
        return false;
    }
    const CJobResult result = m_device.runJob(job);
    switch (result.outcome) {
    case EJobOutcome::Succeeded:
        m_notice(QMessageBox::Warning, caption, QStringLiteral("OK!!"));
        return true;
    case EJobOutcome::Failed:
        // Never "OK!!" for a transfer the keyboard did not complete.
        m_notice(QMessageBox::Warning, caption,
                 !result.failureText.isEmpty()
                     ? result.failureText
                     : pick("与键盘的传输失败。请检查连接后重试。",
                            "The transfer with the keyboard failed. Check the connection and "
                            "try again."));
        return false;
    case EJobOutcome::Cancelled:
        break;
    }
    return false;
}

void COrsaDlg::readCounters() {
    runJob(kJobReadCounters, modelCaption());
    update();
}

namespace {

// The two messages after the key transfers spell the second model this way.
QString keyTransferCaption(int model) {
    return model == 2 ? QStringLiteral("Talvik(S)Ble") : QString::fromUtf8(text::modelName(model));
}

} // namespace

void COrsaDlg::writeKeys() {
    if (runJob(kJobWriteKeys, keyTransferCaption(m_state.modelNumber))) {
        m_state.modified = 0;
    }
}

void COrsaDlg::readAll() {
    runJob(kJobReadAll, keyTransferCaption(m_state.modelNumber));
    update();
}

void COrsaDlg::runDeviceDialog(const std::function<void()>& dialog) {
    if (dialog) {
        dialog();
    }
}

} // namespace talvik::shell
