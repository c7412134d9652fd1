// counters: the keyboard's press counters with the keys' names, all-time or
// since an earlier kept read, as a table, CSV or JSON. Every read is kept.

#include "Commands.h"
#include "CtlText.h"
#include "Output.h"

#include "talvik/counters/CounterExport.h"
#include "talvik/counters/CounterText.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/JobText.h"
#include "talvik/text/Language.h"
#include "talvik/text/NumberedKeys.h"

namespace talvik::ctl {
namespace {

std::string_view keyName(int key) {
    return text::numberedKeyName(key);
}

// Both Shift, Ctrl and Alt keys carry the same name: the key number tells them apart.
void printTable(const CCtlContext& context, const counters::SCounterView& view) {
    constexpr int kNameWidth = 12;
    const text::Language language = context.language;
    if (view.since) {
        std::fprintf(context.out, "%s\n", counters::viewTitle(view, language).c_str());
    }
    std::fprintf(context.out, "  # %s %10s\n",
                 padded(tr(language, msg::kCounterKey), kNameWidth).c_str(),
                 std::string(tr(language, msg::kCounterPresses)).c_str());
    for (int key = 1; key <= model::kKeyCount; ++key) {
        std::fprintf(context.out, "%3d %s %10d\n", key, padded(keyName(key), kNameWidth).c_str(),
                     view.counts[static_cast<std::size_t>(key)]);
    }
    const jobs::CPressStatistics statistics = jobs::pressStatistics(view.counts);
    const auto summary = [&](const SText& format, int key) {
        const std::string name = std::string(keyName(key)) + " #" + std::to_string(key);
        const std::string presses = std::to_string(view.counts[static_cast<std::size_t>(key)]);
        std::fprintf(context.out, "%s\n", fill(tr(language, format), {name, presses}).c_str());
    };
    if (statistics.mostPressedKey < 1) {
        std::fprintf(context.out, "%s\n", std::string(tr(language, msg::kNoPresses)).c_str());
        return;
    }
    summary(msg::kMostPressed, statistics.mostPressedKey);
    summary(msg::kLeastPressed, statistics.leastPressedKey);
}

// Keeps the read in the history; a read that could not be kept is still shown.
void keepRead(const CCtlContext& context, model::CAppState& state) {
    wchar_t version[64] = {};
    if (!state.device.ReadKeyboardVersion(version)) {
        version[0] = L'\0';
    }
    const std::string folder = counters::countersFolder();
    const counters::SReadSave saved =
        counters::saveRead(folder, state.modelNumber, utf8FromWide(version), state.pressCount);
    if (!saved.ok) {
        context.say(counters::readNotKeptText(folder, saved.message, context.language));
    }
}

} // namespace

int runCounters(const CCtlContext& context, const SCountersOptions& options) {
    if (!options.since.empty() && !counters::looksLikeSince(options.since)) {
        const counters::SSinceChoice notADate;
        context.say(counters::sinceProblemText(notADate, options.since, context.language));
        return kExitUsage;
    }
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    // The earlier read is looked for among the kept ones before this read joins them.
    // The settle wait lets a dialog show its full bar; nothing follows here.
    jobs::CJobControl control([](std::chrono::milliseconds) {});
    const jobs::CJobOutcome outcome = jobs::runJobHere(jobs::EJob::ReadCounters, state, control);
    if (!outcome.succeeded()) {
        context.say(jobs::failureText(outcome, context.language));
        return kExitFailed;
    }
    counters::SCounterView view{state.modelNumber, state.pressCount, std::nullopt};
    if (!options.since.empty()) {
        const counters::SSinceChoice choice = counters::chooseSince(
            options.since, counters::countersFolder(), state.modelNumber, state.pressCount);
        switch (choice.status) {
        case counters::ESince::Found:
            view.since = choice.read;
            view.counts = counters::countsSince(state.pressCount, choice.read->counts);
            break;
        case counters::ESince::Reset:
            context.say(counters::resetText(context.language));
            break;
        case counters::ESince::NotFound:
        case counters::ESince::BadFile:
        case counters::ESince::NotADate:
            keepRead(context, state);
            context.say(counters::sinceProblemText(choice, options.since, context.language));
            return kExitRefused;
        }
    }
    keepRead(context, state);
    switch (options.format) {
    case ECountersFormat::Table:
        printTable(context, view);
        break;
    case ECountersFormat::Csv:
        std::fputs(counters::countersCsv(view).c_str(), context.out);
        break;
    case ECountersFormat::Json:
        std::fputs(counters::countersJson(view).c_str(), context.out);
        break;
    }
    std::fflush(context.out);
    return kExitOk;
}

} // namespace talvik::ctl
