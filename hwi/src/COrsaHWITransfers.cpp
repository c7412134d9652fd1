// Key definition table, bulk transfers, firmware and version of COrsaHWI.
// Placeholders until the transfers land: every operation reports failure.

#include "talvik/hwi/COrsaHWI.h"

#include "COrsa.h"
#include "KeyboardUtil.h"

bool COrsaHWI::setKeyConfiguration(int, int, int*, int) { return false; }
bool COrsaHWI::getKeyConfiguration(int, int, int*, int) { return false; }
bool COrsaHWI::prepare() { return false; }
bool COrsaHWI::writeKeyConfigurationToDev(HWND) { return false; }
bool COrsaHWI::readKeyDefinationFromDev(HWND) { return false; }
bool COrsaHWI::setKeyboardLightArea(int*) { return false; }
bool COrsaHWI::getKeyboardLightArea(int*) { return false; }
bool COrsaHWI::readKeyLightFromDev() { return false; }
bool COrsaHWI::getPressCounterFromDev(int*) { return false; }
bool COrsaHWI::WriteFirmwareToKeyboard(char*, int, HWND) { return false; }
bool COrsaHWI::ReadKeyboardVersion(wchar_t*) { return false; }
wchar_t* COrsaHWI::getHardwareVersion() { return m_version; }

bool COrsaUtil::queryVersion(wchar_t*) { return false; }
