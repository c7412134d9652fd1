// counters: the keyboard's press counters with the keys' names.

#include "Commands.h"
#include "CtlText.h"
#include "Output.h"

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/JobText.h"
#include "talvik/text/Language.h"
#include "talvik/text/NumberedKeys.h"

namespace talvik::ctl {
namespace {

std::string_view keyName(int key) {
    return text::numberedKeyName(key);
}

std::string jsonKey(const model::CAppState& state, int key) {
    if (key < 1) {
        return "null";
    }
    return "{\"key\":" + std::to_string(key) + ",\"name\":" + jsonString(keyName(key)) +
           ",\"presses\":" + std::to_string(state.pressCount[key]) + "}";
}

void printJson(const CCtlContext& context, const model::CAppState& state) {
    std::string out =
        "{\"model\":" + jsonString(text::modelName(state.modelNumber)) + ",\n \"counters\":[";
    for (int key = 1; key <= model::kKeyCount; ++key) {
        out += (key > 1 ? ",\n  " : "\n  ") + jsonKey(state, key);
    }
    out += "],\n \"mostPressed\":" + jsonKey(state, state.mostPressedKey) +
           ",\n \"leastPressed\":" + jsonKey(state, state.leastPressedKey) + "}\n";
    std::fputs(out.c_str(), context.out);
}

// Both Shift, Ctrl and Alt keys carry the same name: the key number tells them apart.
void printTable(const CCtlContext& context, const model::CAppState& state) {
    constexpr int kNameWidth = 12;
    const text::Language language = context.language;
    std::fprintf(context.out, "  # %s %10s\n",
                 padded(tr(language, msg::kCounterKey), kNameWidth).c_str(),
                 std::string(tr(language, msg::kCounterPresses)).c_str());
    for (int key = 1; key <= model::kKeyCount; ++key) {
        std::fprintf(context.out, "%3d %s %10d\n", key, padded(keyName(key), kNameWidth).c_str(),
                     state.pressCount[key]);
    }
    const auto summary = [&](const SText& format, int key) {
        const std::string name = std::string(keyName(key)) + " #" + std::to_string(key);
        const std::string presses = std::to_string(state.pressCount[key]);
        std::fprintf(context.out, "%s\n", fill(tr(language, format), {name, presses}).c_str());
    };
    if (state.mostPressedKey < 1) {
        std::fprintf(context.out, "%s\n", std::string(tr(language, msg::kNoPresses)).c_str());
        return;
    }
    summary(msg::kMostPressed, state.mostPressedKey);
    summary(msg::kLeastPressed, state.leastPressedKey);
}

} // namespace

int runCounters(const CCtlContext& context, bool json) {
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    // The settle wait lets a dialog show its full bar; nothing follows here.
    jobs::CJobControl control([](std::chrono::milliseconds) {});
    const jobs::CJobOutcome outcome = jobs::runJobHere(jobs::EJob::ReadCounters, state, control);
    if (!outcome.succeeded()) {
        context.say(jobs::failureText(outcome, context.language));
        return kExitFailed;
    }
    if (json) {
        printJson(context, state);
    } else {
        printTable(context, state);
    }
    std::fflush(context.out);
    return kExitOk;
}

} // namespace talvik::ctl
