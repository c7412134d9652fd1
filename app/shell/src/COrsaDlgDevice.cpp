// The commands that talk to the keyboard: the jobs behind the progress
// dialog and the backlight and firmware windows.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

namespace talvik::shell {

bool COrsaDlg::runJob(jobs::EJob job, const QString& caption) {
    if (!m_dialogs.runJob || !keyboardThere(caption)) {
        return false;
    }
    const jobs::CJobReport report = m_dialogs.runJob(job);
    switch (report.end) {
    case jobs::EJobEnd::Succeeded:
        m_notice(QMessageBox::Warning, caption, QStringLiteral("OK!!"));
        return true;
    case jobs::EJobEnd::Failed:
    case jobs::EJobEnd::NotConnected:
        // Never "OK!!" for a transfer the keyboard did not complete.
        m_notice(QMessageBox::Warning, caption,
                 !report.failureText.empty()
                     ? QString::fromStdString(report.failureText)
                     : pick("与键盘的传输失败。请检查连接后重试。",
                            "The transfer with the keyboard failed. Check the connection and "
                            "try again."));
        return false;
    case jobs::EJobEnd::Cancelled:
        break;
    }
    return false;
}

void COrsaDlg::readCounters() {
    if (runJob(jobs::EJob::ReadCounters, modelCaption())) {
        counterReadDone();
    }
    update();
}

namespace {

// The two messages after the key transfers spell the second model this way.
QString keyTransferCaption(int model) {
    return model == 2 ? QStringLiteral("Talvik(S)Ble") : QString::fromUtf8(text::modelName(model));
}

} // namespace

void COrsaDlg::writeKeys() {
    if (runJob(jobs::EJob::WriteKeys, keyTransferCaption(m_state.modelNumber))) {
        m_state.modified = 0;
    }
}

void COrsaDlg::readAll() {
    asStep({QStringLiteral("读取配置"), QStringLiteral("Read all")},
           [this] { runJob(jobs::EJob::ReadAll, keyTransferCaption(m_state.modelNumber)); });
    update();
}

void COrsaDlg::runDeviceDialog(const std::function<void()>& dialog) {
    if (dialog) {
        dialog();
    }
}

} // namespace talvik::shell
