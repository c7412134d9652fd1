#include "talvik/backup/CBackupJob.h"

#include <utility>

namespace talvik::backup {
namespace {

bool coversKeys(EBackupOf what) {
    return what != EBackupOf::Lights;
}

bool coversLights(EBackupOf what) {
    return what != EBackupOf::Keys;
}

// The key assignments the library's table holds after a read, decoded as a read of
// everything decodes them, but into a copy: the user's configuration stays as it is.
model::CKeyConfig keysFromLibrary(model::CAppState& state) {
    model::CKeyConfig mine = state.keyConfig;
    state.readKeysFromLibrary(state.device);
    std::swap(mine, state.keyConfig);
    return mine;
}

} // namespace

std::optional<EBackupOf> backupFor(jobs::EJob job) {
    switch (job) {
    case jobs::EJob::WriteKeys:
        return EBackupOf::Keys;
    case jobs::EJob::WriteLight:
        return EBackupOf::Lights;
    default:
        return std::nullopt;
    }
}

CBackupJob::CBackupJob(EBackupOf what, std::string folder)
    : m_what(what), m_folder(std::move(folder)) {}

void CBackupJob::takeFromModel(model::CAppState& state) {
    m_window = state.progressWindow;
    m_device = &state.device;
    m_readKeys = coversKeys(m_what) && !state.keyboard.keys;
    m_readLights = coversLights(m_what) && !state.keyboard.lights;
}

void CBackupJob::run(jobs::CJobControl& control) {
    const HWND window = m_window;
    m_outcome.ranToEnd = runReads(control);
    const bool ended = m_outcome.ranToEnd;
    m_finished.store(true, std::memory_order_release);
    if (ended) {
        PostMessageW(window, WM_TALVIK_JOBDONE, 0, 0);
    }
}

bool CBackupJob::runReads(jobs::CJobControl& control) {
    if (control.cancelled()) {
        return false;
    }
    if (m_readKeys) {
        const bool read = m_device->readKeyDefinationFromDev(m_window);
        m_outcome.transfers.push_back({jobs::Transfer::ReadKeys, read});
        // Nothing more is asked of a keyboard that stopped answering.
        if (!read) {
            return true;
        }
        if (m_readLights && !control.wait(jobs::kBetweenReadsWait)) {
            return false;
        }
    }
    if (m_readLights) {
        const bool read = m_device->readKeyLightFromDev();
        m_outcome.transfers.push_back({jobs::Transfer::ReadLight, read});
        m_device->getKeyboardLightArea(m_light.data());
        if (!m_readKeys) {
            PostMessageW(m_window, WM_TALVIK_PROGRESS, jobs::kSingleStep, 0);
        }
    }
    return !control.cancelled();
}

SBackupResult CBackupJob::giveToModel(model::CAppState& state) {
    if (needsRead() && !m_outcome.ranToEnd) {
        return {EBackupStatus::Cancelled, {}, {}};
    }
    // What arrived whole is what the keyboard holds, even when the other read failed.
    if (m_readKeys && m_outcome.transferSucceeded(jobs::Transfer::ReadKeys)) {
        state.keyboard.keys = keysFromLibrary(state);
    }
    if (m_readLights && m_outcome.transferSucceeded(jobs::Transfer::ReadLight)) {
        std::array<model::LightArea, model::kKeyRows> lights{};
        for (int key = 1; key <= model::kKeyCount; ++key) {
            const auto at = static_cast<std::size_t>(3 * (key - 1));
            lights[static_cast<std::size_t>(key)] = {m_light[at], m_light[at + 1], m_light[at + 2]};
        }
        state.keyboard.lights = lights;
    }
    if (needsRead() && !m_outcome.succeeded()) {
        return {EBackupStatus::ReadFailed, {}, {}};
    }
    // What the keyboard is known to hold, and the program's own settings for the rest.
    model::CKeyConfig backup = state.keyConfig;
    const SBackupParts parts{state.keyboard.keys.has_value(), state.keyboard.lights.has_value()};
    if (parts.keys) {
        backup.Mode = state.keyboard.keys->Mode;
        backup.HWCode = state.keyboard.keys->HWCode;
        backup.ComboKey = state.keyboard.keys->ComboKey;
    }
    if (parts.lights) {
        backup.LightAreas = *state.keyboard.lights;
    }
    const SBackupSaveResult saved = saveBackup(m_folder, backup, state.modelNumber, parts);
    if (!saved.ok()) {
        return {EBackupStatus::SaveFailed, {}, saved.message};
    }
    return {EBackupStatus::Saved, saved.path, {}};
}

SBackupResult runBackupHere(EBackupOf what, const std::string& folder, model::CAppState& state,
                            jobs::CJobControl& control) {
    CBackupJob job(what, folder);
    job.takeFromModel(state);
    if (job.needsRead()) {
        job.run(control);
    }
    return job.giveToModel(state);
}

} // namespace talvik::backup
