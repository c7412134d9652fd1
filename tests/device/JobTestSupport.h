#pragma once

// What the device job tests share: an application state on the simulated
// keyboard whose job messages are kept, and waits that are recorded instead
// of waited.

#include "hook/MessageQueue.h"
#include "support/TestSupport.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/model/CAppState.h"

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace talvik::jobs {

inline void PrintTo(const CTransferResult& result, std::ostream* out) {
    static const char* const names[] = {"WriteKeys", "ReadKeys", "ReadLight", "WriteLight",
                                        "ReadCounters"};
    *out << names[static_cast<int>(result.transfer)] << (result.succeeded ? " ok" : " failed");
}

} // namespace talvik::jobs

namespace talvik::test {

class CPostedLog : public CMessageQueue {
public:
    // What has arrived so far, oldest first, taken out of the queue.
    std::vector<PostedMessage> drain() {
        std::vector<PostedMessage> all;
        while (auto message = next(std::chrono::milliseconds(0))) {
            all.push_back(*message);
        }
        return all;
    }
};

// The factory configuration of model 1 on a simulated keyboard, connected
// unless asked not to be; the jobs' messages go to `messages`. The first form
// uses the process's simulator, the second one of its own set up as given.
struct CKeyboardState {
    explicit CKeyboardState(bool connect = true)
        : CKeyboardState(CDeviceEnvironment::withoutDevices(1), connect) {}
    explicit CKeyboardState(const CSimulatorSetup& simulator, bool connect = true)
        : CKeyboardState(CDeviceEnvironment::withSimulator(1, simulator), connect) {}

    CKeyboardState(CDeviceEnvironment environment, bool connect) : state(std::move(environment)) {
        state.modelNumber = 1;
        state.buildNameTables();
        state.resetToDefaults();
        if (connect) {
            state.device.__createDev();
        }
        state.progressWindow = messages.window();
    }

    CPostedLog messages;
    model::CAppState state;
};

// A keyboard that takes every report and answers none, with the traffic log
// that shows when a job's request has reached it.
struct CSilentKeyboard {
    CTempDir dir;
    std::string log = (dir.path() / "traffic.log").string();

    CSimulatorSetup setup() const { return {.faults = "silent", .trafficLog = log}; }
    std::size_t reportsTaken() const { return talvik::test::reportsTaken(log); }
};

// A job control whose waits only note their length and call `atWait`.
class CWaitRecorder {
public:
    explicit CWaitRecorder(std::function<void()> atWait = {})
        : m_atWait(std::move(atWait)), m_control([this](std::chrono::milliseconds duration) {
              {
                  std::lock_guard lock(m_mutex);
                  m_requested.push_back(static_cast<int>(duration.count()));
              }
              if (m_atWait) {
                  m_atWait();
              }
          }) {}

    jobs::CJobControl& control() { return m_control; }
    std::vector<int> requested() const {
        std::lock_guard lock(m_mutex);
        return m_requested;
    }

private:
    std::function<void()> m_atWait;
    mutable std::mutex m_mutex;
    std::vector<int> m_requested;
    jobs::CJobControl m_control;
};

} // namespace talvik::test
