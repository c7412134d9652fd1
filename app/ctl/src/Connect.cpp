#include "CtlContext.h"
#include "CtlText.h"

#include "talvik/model/CAppState.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace talvik::ctl {
namespace {

// The connection keeps only that its open failed; listing opens the node again
// to learn the reason.
std::string openErrorText(model::CAppState& state, const std::string& node) {
    for (const CKeyboardEntry& entry : state.device.listKeyboards()) {
        if (entry.devNode == node && entry.openError != 0) {
            return std::strerror(entry.openError);
        }
    }
    return std::strerror(ENODEV);
}

} // namespace

model::CAppState& CCtlContext::newSession() const {
    session.reset(); // the old connection closes before the new one opens
    session = std::make_shared<model::CAppState>();
    return *session;
}

bool CCtlContext::keyboardWentAway() const {
    return session && session->device.connectionLost();
}

void CCtlContext::say(std::string_view text) const {
    std::fprintf(err, "talvikctl: %.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(err);
}

int connectKeyboard(const CCtlContext& context, model::CAppState& state) {
    int model = state.device.DetectDeviceType();
    for (int waited = 0; model == 0 && waited < context.waitSeconds; ++waited) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        model = state.device.DetectDeviceType();
    }
    if (model == 0 || !state.device.__createDev()) {
        context.say(tr(context.language, msg::kNotConnected));
        context.say(tr(context.language, msg::kNotConnectedHint));
        return kExitNoKeyboard;
    }
    const std::string& node = state.device.deviceNode();
    switch (state.device.deviceAccess()) {
    case CDeviceAccess::Open:
        break;
    case CDeviceAccess::NoPermission:
        context.say(fill(tr(context.language, msg::kNoPermission), {node}));
        return kExitNoKeyboard;
    default:
        context.say(
            fill(tr(context.language, msg::kOpenFailed), {node, openErrorText(state, node)}));
        return kExitNoKeyboard;
    }
    state.buildNameTables();
    state.language = context.language;
    state.modelNumber = model;
    state.resetToDefaults();
    return kExitOk;
}

} // namespace talvik::ctl
