// read and write: the keyboard's keys and backlight to and from a profile,
// through the device jobs the program runs.

#include "Commands.h"
#include "CtlText.h"
#include "Progress.h"

#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/JobText.h"
#include "talvik/profile/Profile.h"
#include "talvik/text/Language.h"

namespace talvik::ctl {
namespace {

// Why a profile is not written, or an empty text when it can be. A profile
// the program would only read leniently is refused too: nobody can look at
// what the repairs made of it before it reaches the keyboard.
std::string refusal(const CCtlContext& context, const profile::SProfileResult& result,
                    const std::string& path, int model) {
    const text::Language language = context.language;
    switch (result.status) {
    case profile::EProfileStatus::Ok:
        return result.message.empty()
                   ? std::string()
                   : fill(tr(language, msg::kProfileDamaged), {path, result.message});
    case profile::EProfileStatus::FileError:
        return fill(tr(language, msg::kProfileUnreadable), {path, result.message});
    case profile::EProfileStatus::TooLarge:
        return fill(tr(language, msg::kProfileTooLarge),
                    {path, std::to_string(profile::kMaxProfileFileBytes / (1024 * 1024))});
    case profile::EProfileStatus::NotXml:
        return fill(tr(language, msg::kProfileNotXml), {path});
    case profile::EProfileStatus::NotProfile:
        return fill(tr(language, msg::kProfileNotProfile), {path});
    case profile::EProfileStatus::OtherModel:
        return fill(tr(language, msg::kProfileOtherModel),
                    {path, result.message, text::modelName(model)});
    }
    return {};
}

// Waits that stand between two exchanges with the keyboard are kept, as the
// program keeps them; the one after the last exchange only lets a dialog
// show its full bar, and nothing follows it here.
void noWait(std::chrono::milliseconds) {}

// The model cuts a list longer than the keyboard's record takes; the user
// should know which keys lose their end.
void warnAboutCutLists(const CCtlContext& context, const model::CAppState& state) {
    for (int key = 1; key <= model::kKeyCount; ++key) {
        for (int level = 0; level < model::kLayerCount; ++level) {
            if (!state.fitsRecord(level, key)) {
                context.say(
                    fill(tr(context.language, msg::kListCut),
                         {std::to_string(key),
                          tr(context.language, level == 0 ? msg::kTopLayer : msg::kFnLayer)}));
            }
        }
    }
}

int reportFailure(const CCtlContext& context, const jobs::CJobOutcome& outcome) {
    context.say(jobs::failureText(outcome, context.language));
    return kExitFailed;
}

} // namespace

int runWrite(const CCtlContext& context, const std::string& path, bool backup) {
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    return writeProfileFile(context, state, path, backup);
}

int writeProfileFile(const CCtlContext& context, model::CAppState& state,
                     const std::string& path, bool backup) {
    // A profile that is not UTF-8 is read as a Chinese or a Western editor wrote it, and the
    // user's language helps tell which.
    state.language = context.language;
    const profile::SProfileResult loaded = profile::loadProfile(state, path);
    if (!loaded.assumedEncoding.empty()) {
        context.say(fill(tr(context.language, msg::kProfileLegacyEncoding),
                         {path, loaded.assumedEncoding}));
    }
    if (const std::string why = refusal(context, loaded, path, state.modelNumber); !why.empty()) {
        context.say(why);
        context.say(tr(context.language, msg::kNothingWritten));
        return kExitRefused;
    }
    warnAboutCutLists(context, state);
    // The profile is in memory before the backup is saved: a restore of the oldest
    // backup loses nothing when the new one makes the folder prune it.
    if (backup) {
        if (const int status = backUpBeforeWrite(context, state, backup::EBackupOf::KeysAndLights);
            status != kExitOk) {
            return status;
        }
    }
    {
        CProgress progress(context.err, context.progressBar,
                           std::string(tr(context.language, msg::kWritingKeys)),
                           CProgress::slotPercent);
        state.progressWindow = progress.window();
        jobs::CJobControl control;
        const jobs::CJobOutcome keys = jobs::runJobHere(jobs::EJob::WriteKeys, state, control);
        state.progressWindow = 0;
        if (!keys.succeeded()) {
            return reportFailure(context, keys);
        }
    }
    jobs::CJobControl control(noWait);
    const jobs::CJobOutcome light = jobs::runJobHere(jobs::EJob::WriteLight, state, control);
    if (!light.succeeded()) {
        return reportFailure(context, light);
    }
    context.say(fill(tr(context.language, msg::kWritten), {text::modelName(state.modelNumber)}));
    return kExitOk;
}

int runRead(const CCtlContext& context, const std::string& path) {
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    jobs::CJobOutcome outcome;
    {
        CProgress progress(context.err, context.progressBar,
                           std::string(tr(context.language, msg::kReadingKeys)),
                           CProgress::slotPercent);
        state.progressWindow = progress.window();
        jobs::CJobControl control;
        outcome = jobs::runJobHere(jobs::EJob::ReadAll, state, control);
        state.progressWindow = 0;
    }
    if (!outcome.succeeded()) {
        reportFailure(context, outcome);
        context.say(tr(context.language, msg::kNoProfileSaved));
        return kExitFailed;
    }
    if (const profile::SProfileResult saved = profile::saveProfile(state, path); !saved.ok()) {
        context.say(fill(tr(context.language, msg::kProfileNotSaved), {saved.message}));
        return kExitRefused;
    }
    context.say(fill(tr(context.language, msg::kSaved), {path}));
    return kExitOk;
}

} // namespace talvik::ctl
