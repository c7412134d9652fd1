#pragma once

#include "CLibraryPage.h"

#include "talvik/recorder/CActionRecorder.h"

#include <QLineEdit>
#include <QString>

namespace talvik::editor {

// A library page whose entries are recorded from the keyboard: the Emulate
// page as it is, and the base of the Macro page. Record starts taking every
// keystroke of the desktop into the selected entry; any click stops it.
class CRecordingPage : public CLibraryPage {
public:
    // The Record button, its two labels and the session's flag for the recording.
    struct RecordSpec {
        int button;
        int recordLabel;
        int stopLabel;
        int notice; // says that the entry is longer than the keyboard holds
        int tip;    // stands where the notice shows; -1 for none
        bool keymap::CKeyMapSession::*recording;
    };

    CRecordingPage(IKeyMapHost& host, const Spec& spec, const RecordSpec& record);

    void shown() override;
    void refresh() override;
    void click(int id, int index) override;
    bool capturing() const override;
    CaptureClick interruptCapture(int id) override;
    void abandonCapture() override;
    void hookKey(const CHookKey& key) override;
    void editChanged(int control) override;

protected:
    bool isMacro() const { return m_spec.mode == model::KeyMode::Macro; }
    // The entry as it is now goes into its library entry and the lists show it.
    void entryChanged();
    // Puts `value` into a number box unless it already says so or is being typed in.
    static void showNumber(QLineEdit& box, int value);
    // The number typed into a box, limited to [min, max]; false while it holds
    // no number. A value past a limit is replaced in the box.
    static bool takeNumber(QLineEdit& box, int min, int max, int& value);

private:
    void startRecording();
    void stopRecording();
    void setRecordButton(bool on);
    void countEdited();
    void refreshNotice();
    QString tooLongNotice() const;

    RecordSpec m_record;
    recorder::CActionRecorder m_recorder;
};

// The recording elements of the Macro and the Emulate page.
CRecordingPage::RecordSpec macroRecordSpec();
CRecordingPage::RecordSpec emulationRecordSpec();

} // namespace talvik::editor
