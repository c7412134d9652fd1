#include "talvik/device/CFirmwareDownload.h"

#include "talvik/device/CDevicePrompts.h"
#include "talvik/device/FirmwareJob.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/WindowMessageEvent.h"

#include <QCoreApplication>

#include <memory>

namespace talvik::device {
using shell::CWindowMessageEvent;

CFirmwareDownload::CFirmwareDownload(CAppState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    m_relay = RegisterMessageWindow([this](UINT message, WPARAM wParam, LPARAM) {
        QCoreApplication::postEvent(
            this, std::make_unique<CWindowMessageEvent>(message, wParam, 0).release());
    });
    m_resultSink = [this](int result) {
        const std::string_view text = firmwareResultText(result, m_state.languageTag);
        CDevicePrompts::interactive(nullptr).message(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
}

CFirmwareDownload::~CFirmwareDownload() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
    UnregisterMessageWindow(m_relay);
}

bool CFirmwareDownload::start(const std::string& path) {
    if (m_running) {
        return false;
    }
    if (m_worker.joinable()) {
        m_worker.join(); // its result has been delivered; only the thread's end was left
    }
    m_running = true;
    m_progress = 0;
    m_path = path;
    m_state.firmwarePath = path;
    m_worker = std::thread([this, path, relay = m_relay] {
        const FirmwareResult result = downloadFirmwareFile(m_state.device, path, relay);
        PostMessageW(relay, WM_TALVIK_JOBDONE, static_cast<WPARAM>(result), 0);
    });
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
    if (m_worker.joinable()) {
        m_worker.join(); // it posted its result as its last step
    }
    if (!PostMessageW(m_window, WM_TALVIK_JOBDONE, static_cast<WPARAM>(result), 0) &&
        m_resultSink) {
        m_resultSink(result);
    }
}

} // namespace talvik::device
