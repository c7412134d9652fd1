#pragma once

// The check WriteFirmwareToKeyboard runs on an image before it sends anything,
// on its own: a program can tell a damaged file from a failed download.

#include "talvik/hwi/Export.h"

// True when `text` is an image WriteFirmwareToKeyboard would send: it starts
// with ':' and every line up to the first empty one (or the end) is a record
// of hexadecimal digit pairs whose count matches its length, whose checksum
// holds and which fits one report. `length` bounds the text; a zero byte ends
// it earlier. Touches no device.
TALVIK_HWI_EXPORT bool CheckFirmwareImage(const char* text, int length);
