#pragma once

// A skinned window that records the keystrokes its captures bring, for the
// key capture tests.

#include "talvik/hwi/KeyboardHook.h"
#include "talvik/shell/CKeyCapture.h"
#include "talvik/shell/CSkinWindow.h"

#include <QKeyEvent>

#include <vector>

namespace talvik::test {

class CCaptureWindow : public talvik::shell::CSkinWindow {
public:
    CCaptureWindow()
        : m_capture(*this, [this](HookStatus why) {
              // As the dialog's own stop would: the capture is over.
              recording = false;
              endings.push_back(why);
          }) {}

    talvik::shell::CKeyCapture& capture() { return m_capture; }

    void startRecording() {
        m_capture.start();
        recording = true;
    }

    bool recording = false;
    std::vector<WPARAM> keys;          // wParam of every keystroke recorded
    std::vector<HookStatus> endings;   // what the capture's callback was told
    std::vector<int> keysSeenByWidget; // Qt keys that reached the window itself

protected:
    talvik::text::Language language() const override { return talvik::text::Language::English; }
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message == WM_TALVIK_HOOKKEY && recording) {
            keys.push_back(wParam);
        }
    }
    void keyPressEvent(QKeyEvent* event) override { keysSeenByWidget.push_back(event->key()); }

private:
    talvik::shell::CKeyCapture m_capture;
};

} // namespace talvik::test
