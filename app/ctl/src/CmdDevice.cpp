// list and version: what is connected, and what its firmware says it is.

#include "Commands.h"
#include "CtlText.h"
#include "Holders.h"
#include "Output.h"

#include "talvik/hwi/COrsaHWI.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

#include <cstring>

namespace talvik::ctl {
namespace {

// The node the library names for the simulated keyboard.
constexpr std::string_view kSimulatorNode = "simulator";

struct SListed {
    CKeyboardEntry entry;
    std::vector<std::string> holders;
};

std::string accessText(const CCtlContext& context, const SListed& listed) {
    const text::Language language = context.language;
    std::string text;
    switch (listed.entry.access) {
    case CDeviceAccess::Open:
        text = tr(language,
                  listed.entry.devNode == kSimulatorNode ? msg::kAccessSimulated : msg::kAccessOk);
        break;
    case CDeviceAccess::NoPermission:
        text = tr(language, msg::kAccessNoPermission);
        break;
    default:
        text = fill(tr(language, msg::kAccessOpenFailed), {std::strerror(listed.entry.openError)});
        break;
    }
    for (const std::string& holder : listed.holders) {
        text += fill(tr(language, msg::kAccessBusy), {holder});
    }
    return text;
}

std::string_view accessWord(CDeviceAccess access) {
    switch (access) {
    case CDeviceAccess::Open:
        return "ok";
    case CDeviceAccess::NoPermission:
        return "no-permission";
    default:
        return "open-failed";
    }
}

void printJson(const CCtlContext& context, const std::vector<SListed>& keyboards) {
    std::string out = "[";
    for (const SListed& listed : keyboards) {
        const CKeyboardEntry& e = listed.entry;
        out += out.size() > 1 ? ",\n " : "";
        out += "{\"model\":" + std::to_string(e.model) +
               ",\"name\":" + jsonString(text::modelName(e.model)) +
               ",\"node\":" + jsonString(e.devNode) +
               ",\"access\":" + jsonString(accessWord(e.access));
        if (e.openError != 0) {
            out += ",\"error\":" + jsonString(std::strerror(e.openError));
        }
        out += ",\"heldBy\":[";
        for (std::size_t i = 0; i < listed.holders.size(); ++i) {
            out += (i > 0 ? "," : "") + jsonString(listed.holders[i]);
        }
        out += "]}";
    }
    std::fprintf(context.out, "%s]\n", out.c_str());
}

void printTable(const CCtlContext& context, const std::vector<SListed>& keyboards) {
    constexpr int kModelWidth = 16;
    constexpr int kNodeWidth = 14;
    const text::Language language = context.language;
    std::fprintf(context.out, "%s %s %s\n",
                 padded(tr(language, msg::kListModel), kModelWidth).c_str(),
                 padded(tr(language, msg::kListNode), kNodeWidth).c_str(),
                 std::string(tr(language, msg::kListAccess)).c_str());
    for (const SListed& listed : keyboards) {
        std::fprintf(context.out, "%s %s %s\n",
                     padded(text::modelName(listed.entry.model), kModelWidth).c_str(),
                     padded(listed.entry.devNode, kNodeWidth).c_str(),
                     accessText(context, listed).c_str());
    }
}

} // namespace

int runList(const CCtlContext& context, bool json) {
    COrsaHWI device;
    std::vector<SListed> keyboards;
    for (CKeyboardEntry& entry : device.listKeyboards()) {
        std::vector<std::string> holders;
        if (entry.devNode != kSimulatorNode) {
            holders = processesHolding(entry.devNode);
        }
        keyboards.push_back({std::move(entry), std::move(holders)});
    }
    if (json) {
        printJson(context, keyboards);
    } else if (!keyboards.empty()) {
        printTable(context, keyboards);
    }
    std::fflush(context.out);
    if (keyboards.empty()) {
        context.say(tr(context.language, msg::kNoKeyboardFound));
        return kExitNoKeyboard;
    }
    return kExitOk;
}

int runVersion(const CCtlContext& context) {
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    wchar_t version[64] = {};
    if (!state.device.ReadKeyboardVersion(version)) {
        context.say(tr(context.language, msg::kVersionFailed));
        return kExitFailed;
    }
    std::fprintf(context.out, "%s\n", utf8FromWide(version).c_str());
    std::fflush(context.out);
    return kExitOk;
}

} // namespace talvik::ctl
