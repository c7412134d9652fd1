#pragma once

// A firmware download that outlives the dialog it was started from. The
// library cannot abort a download, so closing the dialog leaves it running;
// this object keeps its progress, passes progress and result on to whichever
// firmware dialog is open at the time, and reports the result itself when
// none is. The program keeps one for its whole run (the main window owns it
// and hands it to every firmware dialog it opens). Its worker starts in the
// program's one device worker slot, so it never runs beside a device job.

#include "talvik/hwi/WindowHandle.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/model/Forward.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

namespace talvik::device {

class CFirmwareDownload : public QObject {
public:
    CFirmwareDownload(model::CAppState& state, jobs::CDeviceWorkerSlot& worker,
                      QObject* parent = nullptr);
    // A download still running goes on; its result is then not shown.
    ~CFirmwareDownload() override;
    CFirmwareDownload(const CFirmwareDownload&) = delete;
    CFirmwareDownload& operator=(const CFirmwareDownload&) = delete;

    // Starts downloading the image file at `path` on the device worker.
    // False, and nothing started, while a download or any other device
    // worker runs.
    bool start(const std::string& path);
    bool running() const { return m_running; }
    // True while any device worker runs, this download's or another.
    bool keyboardBusy() const { return m_worker.busy(); }
    // The slot every device worker starts in; the firmware dialog's backup
    // before a download runs there as well.
    jobs::CDeviceWorkerSlot& worker() const { return m_worker; }
    // The last progress the library reported, 0..150.
    int progress() const { return m_progress; }
    // The file of the running or last download.
    const std::string& path() const { return m_path; }

    // The window the progress and result messages go to (0: none). The
    // messages carry the values the library and the worker posted.
    void attach(HWND window) { m_window = window; }
    HWND attachedWindow() const { return m_window; }
    // Shows a result that arrives while no window is attached; the default
    // shows its message in the current language.
    void setResultSink(std::function<void(int result)> sink) { m_resultSink = std::move(sink); }

protected:
    bool event(QEvent* event) override;

private:
    void finish(int result);

    model::CAppState& m_state;
    jobs::CDeviceWorkerSlot& m_worker;
    HWND m_relay = 0; // the handle the worker and the library post to
    HWND m_window = 0;
    std::string m_path;
    bool m_running = false;
    int m_progress = 0;
    std::function<void(int)> m_resultSink;
};

} // namespace talvik::device
