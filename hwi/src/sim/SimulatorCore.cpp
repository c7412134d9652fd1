#include "sim/SimulatorCore.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace talvik::hwi::sim {

void warn(const std::string& message) {
    std::fprintf(stderr, "talvik simulator: %s\n", message.c_str());
}

CSimulatorCore::CSimulatorCore(CSimulatorOptions options) : m_options(std::move(options)) {
    if (!m_options.logFile.empty()) {
        m_log = std::fopen(m_options.logFile.c_str(), "ae");
        if (m_log == nullptr) {
            warn("cannot open the traffic log " + m_options.logFile + ": " + std::strerror(errno));
        }
    }
}

CSimulatorCore::~CSimulatorCore() {
    {
        std::lock_guard lock(m_mutex);
        saveLocked();
    }
    if (m_log != nullptr) {
        std::fclose(m_log);
    }
}

CKeyboardMemory& CSimulatorCore::memoryOf(int model) {
    if (!m_loaded) {
        m_loaded = true;
        loadLocked();
    }
    auto found = m_memories.find(model);
    if (found == m_memories.end()) {
        found = m_memories.emplace(model, CKeyboardMemory::fresh(model)).first;
    }
    return found->second;
}

void CSimulatorCore::loadLocked() {
    const std::string& file = m_options.stateFile;
    std::error_code missing;
    if (file.empty() || !fs::exists(file, missing)) {
        return;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        warn("cannot read the state file " + file + "; starting with a fresh keyboard");
        return;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string error;
    auto memories = in.bad() ? std::nullopt : parseState(text, error);
    if (memories) {
        m_memories = std::move(*memories);
        return;
    }
    // Keep the damaged file for whoever wants to look at it; the next save
    // writes a fresh one in its place.
    std::error_code renameError;
    fs::rename(file, file + ".damaged", renameError);
    warn("state file " + file + " is damaged (" + (error.empty() ? "unreadable" : error) +
         "); starting with a fresh keyboard" +
         (renameError ? "" : ", the old file is kept as " + file + ".damaged"));
}

void CSimulatorCore::saveLocked() {
    const std::string& file = m_options.stateFile;
    if (file.empty() || !m_loaded) {
        return;
    }
    // Write aside and rename, so that a run killed while saving never leaves
    // half a state file behind.
    std::string temporary = file + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << formatState(m_memories);
        out.close();
        if (!out) {
            if (!m_saveFailed) {
                warn("cannot write the state file " + temporary);
            }
            m_saveFailed = true;
            return;
        }
    }
    std::error_code error;
    fs::rename(temporary, file, error);
    if (error && !m_saveFailed) {
        warn("cannot replace the state file " + file + ": " + error.message());
    }
    m_saveFailed = static_cast<bool>(error);
}

bool CSimulatorCore::replugOnce(std::chrono::milliseconds away) {
    if (m_replugged.exchange(true)) {
        return false;
    }
    m_awayUntil = (std::chrono::steady_clock::now() + away).time_since_epoch().count();
    return true;
}

bool CSimulatorCore::pluggedIn() const {
    if (m_unplugged || std::chrono::steady_clock::now().time_since_epoch().count() < m_awayUntil) {
        return false;
    }
    std::error_code ignored;
    return m_options.unplugFile.empty() || !fs::exists(m_options.unplugFile, ignored);
}

bool CSimulatorCore::holds(std::uint64_t received) const {
    if (m_options.holdFile.empty()) {
        return false;
    }
    std::ifstream file(m_options.holdFile);
    std::uint64_t after = 0;
    return file >> after && received >= after;
}

void CSimulatorCore::log(char direction, std::span<const std::uint8_t> payload) {
    if (m_log == nullptr) {
        return;
    }
    std::array<std::uint8_t, kPayloadSize> bytes{};
    std::copy_n(payload.begin(), std::min(payload.size(), bytes.size()), bytes.begin());
    std::string line = std::string(1, direction) + ' ' + toHex(bytes) + '\n';
    std::lock_guard lock(m_logMutex);
    std::fputs(line.c_str(), m_log);
    // Flushed per line: a test or a person reading the log while the program
    // runs, or after it crashed, sees every report.
    std::fflush(m_log);
}

} // namespace talvik::hwi::sim
