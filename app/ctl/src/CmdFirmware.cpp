// firmware: the program's checks on the image, then the download.

#include "Commands.h"
#include "CtlText.h"
#include "Output.h"
#include "Progress.h"

#include "talvik/jobs/FirmwareJob.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

#include <chrono>
#include <filesystem>
#include <thread>

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
// device: with --wait the command stays until it is back and says what
// firmware it now runs. Nothing is sent again.
void sayWhenBack(const CCtlContext& context, model::CAppState& state) {
    context.say(tr(context.language, msg::kFirmwareReplug));
    state.device.__closeDev();
    for (int waited = 0; waited <= context.waitSeconds; ++waited) {
        if (waited > 0) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        wchar_t version[64] = {};
        if (state.device.DetectDeviceType() != 0 && state.device.__createDev() &&
            state.device.ReadKeyboardVersion(version)) {
            context.say(fill(tr(context.language, msg::kFirmwareBack), {utf8FromWide(version)}));
            return;
        }
        state.device.__closeDev();
    }
    context.say(tr(context.language, msg::kFirmwareNotBack));
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
        sayWhenBack(context, state);
    }
    return exitStatusFor(result);
}

} // namespace talvik::ctl
