#include "talvik/jobs/CDeviceJob.h"

#include <algorithm>

namespace talvik::jobs {

std::optional<EJob> jobFromCode(int code) {
    if (code < static_cast<int>(EJob::WriteKeys) || code > static_cast<int>(EJob::ReadLight)) {
        return std::nullopt;
    }
    return static_cast<EJob>(code);
}

int progressPercent(EJob job, int progress) {
    const bool keyTransfer = job == EJob::WriteKeys || job == EJob::ReadAll;
    return progress * (keyTransfer ? 100 : 200) / kSingleStep;
}

bool CJobOutcome::succeeded() const {
    return ranToEnd && std::all_of(transfers.begin(), transfers.end(),
                                   [](const CTransferResult& t) { return t.succeeded; });
}

bool CJobOutcome::transferSucceeded(Transfer transfer) const {
    return std::any_of(transfers.begin(), transfers.end(), [&](const CTransferResult& t) {
        return t.transfer == transfer && t.succeeded;
    });
}

CPressStatistics pressStatistics(const std::array<int, model::kKeyRows>& pressCount) {
    std::size_t most = 1;
    std::size_t least = 1;
    for (std::size_t key = 2; key <= model::kKeyCount; ++key) {
        if (pressCount[key] > pressCount[most]) {
            most = key;
        }
        if (pressCount[key] > 0 &&
            (pressCount[key] < pressCount[least] || pressCount[least] <= 0)) {
            least = key;
        }
    }
    CPressStatistics statistics;
    if (pressCount[most] > 0) {
        statistics.mostPressedKey = static_cast<int>(most);
    }
    if (pressCount[least] > 0) {
        statistics.leastPressedKey = static_cast<int>(least);
    }
    return statistics;
}

CDeviceJob::CDeviceJob(EJob job) : m_job(job) {}

void CDeviceJob::takeFromModel(model::CAppState& state) {
    m_window = state.progressWindow;
    m_device = &state.device;
    if (m_job == EJob::WriteKeys) {
        state.writeKeysToLibrary(state.device);
        m_written = state.keyConfig;
    } else if (m_job == EJob::WriteLight) {
        state.lightAreasToArray(m_light);
        m_writtenLights = state.keyConfig.LightAreas;
    }
}

void CDeviceJob::run(CJobControl& control) {
    const HWND window = m_window;
    const bool ended = runSteps(control);
    m_outcome.ranToEnd = ended;
    // From here on the job belongs to the thread that gives it to the model.
    // A window that has closed meanwhile is simply not reached.
    m_finished.store(true, std::memory_order_release);
    if (ended) {
        PostMessageW(window, WM_TALVIK_JOBDONE, 0, 0);
    }
}

bool CDeviceJob::runSteps(CJobControl& control) {
    if (control.cancelled()) {
        return false;
    }
    COrsaHWI& device = *m_device;
    switch (m_job) {
    case EJob::WriteKeys:
        record(Transfer::WriteKeys, device.writeKeyConfigurationToDev(m_window));
        return control.wait(kSettleWait);
    case EJob::NoTransfer:
        return postStepAndSettle(control);
    case EJob::ReadAll:
        record(Transfer::ReadKeys, device.readKeyDefinationFromDev(m_window));
        if (!control.wait(kBetweenReadsWait)) {
            return false;
        }
        readLight();
        return !control.cancelled();
    case EJob::WriteLight:
        record(Transfer::WriteLight, device.writeKeyboardLightArea(m_light.data()));
        return postStepAndSettle(control);
    case EJob::ReadCounters:
        record(Transfer::ReadCounters, device.readPressCounters(m_counters.data()));
        return postStepAndSettle(control);
    case EJob::ReadLight:
        readLight();
        return postStepAndSettle(control);
    default:
        return false;
    }
}

bool CDeviceJob::postStepAndSettle(CJobControl& control) const {
    if (control.cancelled()) {
        return false;
    }
    PostMessageW(m_window, WM_TALVIK_PROGRESS, kSingleStep, 0);
    return control.wait(kSettleWait);
}

void CDeviceJob::readLight() {
    record(Transfer::ReadLight, m_device->readKeyLightFromDev());
    m_device->getKeyboardLightArea(m_light.data());
}

void CDeviceJob::record(Transfer transfer, bool succeeded) {
    m_outcome.transfers.push_back({transfer, succeeded});
}

void CDeviceJob::giveToModel(model::CAppState& state) {
    if (!m_outcome.ranToEnd) {
        return;
    }
    // A read that failed part-way leaves a mixture of new and old data in the
    // library: the model keeps what it had rather than take that.
    // What went across whole is what the keyboard now holds. A write that failed may have
    // reached the keyboard in part, but what it held before is still the better guess.
    if (m_job == EJob::ReadAll && m_outcome.transferSucceeded(Transfer::ReadKeys)) {
        state.readKeysFromLibrary(*m_device);
        state.keyboard.keys = state.keyConfig;
    }
    if ((m_job == EJob::ReadAll || m_job == EJob::ReadLight) &&
        m_outcome.transferSucceeded(Transfer::ReadLight)) {
        state.lightAreasFromArray(m_light);
        state.keyboard.lights = state.keyConfig.LightAreas;
    }
    if (m_job == EJob::WriteKeys && m_outcome.transferSucceeded(Transfer::WriteKeys)) {
        state.keyboard.keys = std::move(m_written);
    }
    if (m_job == EJob::WriteLight && m_outcome.transferSucceeded(Transfer::WriteLight)) {
        state.keyboard.lights = m_writtenLights;
    }
    if (m_job == EJob::ReadCounters && m_outcome.transferSucceeded(Transfer::ReadCounters)) {
        std::copy(m_counters.begin(), m_counters.end(), state.pressCount.begin() + 1);
        const CPressStatistics statistics = pressStatistics(state.pressCount);
        state.mostPressedKey = statistics.mostPressedKey;
        state.leastPressedKey = statistics.leastPressedKey;
    }
}

CJobOutcome runJobHere(EJob job, model::CAppState& state, CJobControl& control) {
    CDeviceJob deviceJob(job);
    deviceJob.takeFromModel(state);
    deviceJob.run(control);
    deviceJob.giveToModel(state);
    return deviceJob.outcome();
}

} // namespace talvik::jobs
