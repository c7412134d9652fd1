#pragma once

// The firmware download as a worker runs it: read the image file, check it,
// send it. No Qt: it runs on a worker thread and reports by its result and
// by the messages the library posts.

#include "talvik/hwi/WindowHandle.h"
#include "talvik/text/Language.h"

#include <string>
#include <string_view>

class COrsaHWI;

namespace talvik::jobs {

// How a download ended: the first three are the values the firmware dialog
// has always received; a damaged image is told apart from a failed download.
enum FirmwareResult : int {
    kFirmwareDone = 1,      // every record was sent
    kFirmwareFailed = 2,    // a send failed part of the way
    kFirmwareNotOpened = 3, // the file could not be opened or read
    kFirmwareDamaged = 4,   // the file is no image the keyboard can take; nothing was sent
};

// Firmware images are a few hundred kilobytes of text; a file far larger is
// not one, and its size would not fit the library's length.
inline constexpr long long kMaxFirmwareFileBytes = 64LL * 1024 * 1024;

// Reads the file at `path` whole, checks it as an image and downloads it,
// with the library's progress going to `progress`. Blocks for the whole
// download.
FirmwareResult downloadFirmwareFile(COrsaHWI& device, const std::string& path, HWND progress);
// The same checks without sending: kFirmwareDone for a file the download would send.
FirmwareResult checkFirmwareFile(const std::string& path);

// The message for a result in a language, as UTF-8; empty for a number that
// is no result.
std::string_view firmwareResultText(int result, text::Language language);

} // namespace talvik::jobs
