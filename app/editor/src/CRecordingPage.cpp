#include "CRecordingPage.h"

#include "talvik/model/CAppState.h"
#include "talvik/recorder/MacroEditing.h"
#include "talvik/text/Language.h"

#include <QLineEdit>

#include <climits>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;

} // namespace

CRecordingPage::RecordSpec macroRecordSpec() {
    return {id::RecordMacro, id::RecordMacroLabel, id::StopMacroLabel,
            id::MacroNotice, id::MacroTip,         &keymap::CKeyMapSession::m_recordingMacro};
}

CRecordingPage::RecordSpec emulationRecordSpec() {
    return {id::RecordEmu,
            id::RecordEmuLabel,
            id::StopEmuLabel,
            id::EmuNotice,
            -1,
            &keymap::CKeyMapSession::m_recordingEmu};
}

CRecordingPage::CRecordingPage(IKeyMapHost& host, const Spec& spec, const RecordSpec& record)
    : CLibraryPage(host, spec), m_record(record),
      m_recorder(host.session().state().keyNames, host.session().m_keyIsDown) {}

void CRecordingPage::shown() {
    CLibraryPage::shown();
    refreshNotice();
}

void CRecordingPage::refresh() {
    CLibraryPage::refresh();
    showNumber(m_host.countEdit(), isMacro() ? m_entry.Cycles : m_entry.Delay);
    refreshNotice();
}

void CRecordingPage::click(int elementId, int index) {
    const int row = elementId - m_spec.firstEntryRow;
    if (elementId == m_record.button) {
        startRecording();
    } else if (row >= 0 && row < layout::kMacroRows) {
        recorder::clickEventRow(m_entry, row); // an emulation's keys are only selected
    } else {
        CLibraryPage::click(elementId, index);
    }
}

void CRecordingPage::entryChanged() {
    m_entries.writeBack();
    syncBars();
}

void CRecordingPage::startRecording() {
    // There must be an entry to record into: New makes one.
    if (!m_entries.hasEntries()) {
        return;
    }
    setRecordButton(true);
    session().*m_record.recording = true;
    if (isMacro()) {
        m_recorder.startMacro(m_entry);
    } else {
        m_recorder.startEmulation(m_entry);
    }
    syncBars();
    session().forgetKeystrokes();
    m_host.startCapture();
}

void CRecordingPage::stopRecording() {
    m_host.stopCapture();
    m_entries.writeBack();
    m_recorder.stop();
    session().*m_record.recording = false;
    setRecordButton(false);
    // The library entry gets the closing pause at its next write-back; OK
    // takes the working entry itself.
    if (isMacro()) {
        recorder::CActionRecorder::appendStopDelay(m_entry);
    }
    syncBars();
}

void CRecordingPage::setRecordButton(bool on) {
    m_host.element(m_record.button).active = on;
    m_host.element(m_record.recordLabel).visible = !on;
    m_host.element(m_record.stopLabel).visible = on;
}

bool CRecordingPage::capturing() const {
    return session().*m_record.recording;
}

CaptureClick CRecordingPage::interruptCapture(int elementId) {
    (void)elementId; // whatever was clicked, the click only stops the recording
    stopRecording();
    return CaptureClick::Stopped;
}

void CRecordingPage::abandonCapture() {
    if (capturing()) {
        stopRecording();
    }
}

void CRecordingPage::hookKey(const CHookKey& key) {
    if (!capturing()) {
        return;
    }
    recorder::HookTiming timing;
    timing.elapsedMs = key.elapsedMs;
    timing.hasPrevious = session().m_lastEventTime > 0;
    timing.lastCode = session().m_lastCode;
    const recorder::HookKey event{key.code, key.vk, key.dir != 0};
    if (m_recorder.take(m_entry, event, timing) > 0) {
        syncBars();
        m_host.redraw();
    }
}

void CRecordingPage::editChanged(int control) {
    if (control == layout::keymap_control::Count) {
        countEdited();
    }
}

void CRecordingPage::countEdited() {
    int value = 0;
    if (isMacro()) {
        if (!takeNumber(m_host.countEdit(), recorder::kMinCycles, recorder::kMaxCycles, value)) {
            return;
        }
        m_entry.Cycles = value;
    } else {
        if (!takeNumber(m_host.countEdit(), 0, recorder::kMaxEmulationDelayMs, value)) {
            return;
        }
        m_entry.Delay = value;
    }
    m_entries.writeBack();
}

bool CRecordingPage::takeNumber(QLineEdit& box, int min, int max, int& value) {
    const auto typed = recorder::limitBoxValue(box.text().toStdString(), min, max);
    if (!typed) {
        return false;
    }
    if (typed->replaceText) {
        box.setText(QString::number(typed->value));
    }
    value = typed->value;
    return true;
}

void CRecordingPage::showNumber(QLineEdit& box, int value) {
    // While the user types, an emptied box stays empty until the next digit.
    if (box.hasFocus() && box.text().isEmpty()) {
        return;
    }
    const auto shown = recorder::limitBoxValue(box.text().toStdString(), INT_MIN, INT_MAX);
    if (!shown || shown->value != value) {
        box.setText(QString::number(value));
    }
}

void CRecordingPage::refreshNotice() {
    const bool fits = model::CAppState::fitsRecord(m_spec.mode, m_entry);
    SkinElement& notice = m_host.element(m_record.notice);
    notice.visible = !fits;
    notice.caption(m_host.language()) = fits ? QString() : tooLongNotice();
    if (m_record.tip >= 0) {
        m_host.element(m_record.tip).visible = fits;
    }
}

QString CRecordingPage::tooLongNotice() const {
    const text::Language language = m_host.language();
    if (isMacro()) {
        return QString::fromUtf8(text::textIn(
            language, "此宏超出键盘一条记录的容量：\n写入键盘时只保留前面的部分。",
            "This macro is longer than the keyboard can hold:\nwriting it keeps only its "
            "beginning."));
    }
    return QString::fromUtf8(text::textIn(
        language, "此模拟击键超出键盘一条记录的容量：\n写入键盘时只保留前面的部分。",
        "This sequence is longer than the keyboard can hold:\nwriting it keeps only its "
        "beginning."));
}

} // namespace talvik::editor
