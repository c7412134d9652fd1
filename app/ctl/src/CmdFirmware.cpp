// firmware: the program's checks on the image, then the download.

#include "Commands.h"
#include "CtlText.h"
#include "Output.h"
#include "Progress.h"

#include "talvik/jobs/FirmwareJob.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

#include <filesystem>

namespace talvik::ctl {
namespace {

// The result texts are written for a message box, with CR LF line ends.
std::string withoutCarriageReturns(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

int exitStatusFor(jobs::FirmwareResult result) {
    switch (result) {
    case jobs::kFirmwareDone:
        return kExitOk;
    case jobs::kFirmwareFailed:
        return kExitFailed;
    default:
        return kExitRefused; // nothing was sent
    }
}

// A keyboard may restart during or after a download and come back as a new
// device: with --wait the command stays until it is back (connected afresh, as
// any command connects) and says what firmware it now runs. Nothing is sent
// again. The command's old session, and its state, end here.
void sayWhenBack(const CCtlContext& context) {
    context.say(tr(context.language, msg::kFirmwareReplug));
    model::CAppState& back = context.newSession();
    if (connectKeyboard(context, back) != kExitOk) {
        return; // said why
    }
    wchar_t version[64] = {};
    if (!back.device.ReadKeyboardVersion(version)) {
        context.say(tr(context.language, msg::kVersionFailed));
        return;
    }
    context.say(fill(tr(context.language, msg::kFirmwareBack), {utf8FromWide(version)}));
}

} // namespace

int runFirmware(const CCtlContext& context, const std::string& file, bool backup) {
    model::CAppState& state = context.newSession();
    if (const int status = connectKeyboard(context, state); status != kExitOk) {
        return status;
    }
    const std::string name = std::filesystem::path(file).filename().string();
    if (!text::isFirmwareFileOfModel(name, state.modelNumber)) {
        const std::string_view model = text::modelName(state.modelNumber);
        context.say(std::string(tr(context.language, msg::kFirmwareWrongModel)) +
                    std::string(model));
        context.say(fill(tr(context.language, msg::kFirmwareNameRule),
                         {text::firmwareFilePrefix(state.modelNumber)}));
        return kExitRefused;
    }
    // A file the download would refuse is no reason to read the keyboard.
    if (const jobs::FirmwareResult checked = jobs::checkFirmwareFile(file);
        checked != jobs::kFirmwareDone) {
        context.say(withoutCarriageReturns(jobs::firmwareResultText(checked, context.language)));
        return exitStatusFor(checked);
    }
    if (backup) {
        if (const int status = backUpBeforeWrite(context, state, backup::EBackupOf::KeysAndLights);
            status != kExitOk) {
            return status;
        }
    }
    jobs::FirmwareResult result;
    {
        CProgress progress(context.err, context.progressBar,
                           std::string(tr(context.language, msg::kDownloading)),
                           CProgress::firmwarePercent);
        result = jobs::downloadFirmwareFile(state.device, file, progress.window());
    }
    context.say(withoutCarriageReturns(jobs::firmwareResultText(result, context.language)));
    if (context.waitSeconds > 0 && state.device.connectionLost()) {
        sayWhenBack(context); // `state` is gone after this
    }
    return exitStatusFor(result);
}

} // namespace talvik::ctl
