#include "talvik/device/CFirmwareDownload.h"

#include "talvik/device/CDevicePrompts.h"
#include "talvik/jobs/FirmwareJob.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/WindowMessageEvent.h"

#include <QCoreApplication>

#include <memory>

namespace talvik::device {
using shell::CWindowMessageEvent;

CFirmwareDownload::CFirmwareDownload(model::CAppState& state, jobs::CDeviceWorkerSlot& worker,
                                     QObject* parent)
    : QObject(parent), m_state(state), m_worker(worker) {
    m_relay = RegisterMessageWindow([this](UINT message, WPARAM wParam, LPARAM) {
        QCoreApplication::postEvent(
            this, std::make_unique<CWindowMessageEvent>(message, wParam, 0).release());
    });
    m_resultSink = [this](int result) {
        const std::string_view text = jobs::firmwareResultText(result, m_state.language);
        CDevicePrompts::interactive(nullptr).message(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
}

CFirmwareDownload::~CFirmwareDownload() {
    // The worker keeps only the device object, which outlives the slot, and
    // the relay's handle, to which posting becomes harmless here.
    UnregisterMessageWindow(m_relay);
}

bool CFirmwareDownload::start(const std::string& path) {
    if (m_running) {
        return false;
    }
    COrsaHWI& device = m_state.device;
    const HWND relay = m_relay;
    const bool started = m_worker.start(
        [&device, path, relay] {
            const jobs::FirmwareResult result = jobs::downloadFirmwareFile(device, path, relay);
            PostMessageW(relay, WM_TALVIK_JOBDONE, static_cast<WPARAM>(result), 0);
        },
        [&] { m_state.firmwarePath = path; });
    if (!started) {
        return false;
    }
    m_running = true;
    m_progress = 0;
    m_path = path;
    return true;
}

bool CFirmwareDownload::event(QEvent* event) {
    if (event->type() != CWindowMessageEvent::eventType()) {
        return QObject::event(event);
    }
    const auto* relayed = static_cast<CWindowMessageEvent*>(event);
    if (relayed->m_message == WM_TALVIK_PROGRESS) {
        m_progress = static_cast<int>(relayed->m_wParam);
        PostMessageW(m_window, WM_TALVIK_PROGRESS, relayed->m_wParam, 0);
    } else if (relayed->m_message == WM_TALVIK_JOBDONE) {
        finish(static_cast<int>(relayed->m_wParam));
    }
    return true;
}

void CFirmwareDownload::finish(int result) {
    m_running = false;
    if (!PostMessageW(m_window, WM_TALVIK_JOBDONE, static_cast<WPARAM>(result), 0) &&
        m_resultSink) {
        m_resultSink(result);
    }
}

} // namespace talvik::device
