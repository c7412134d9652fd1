// Key definition table, bulk transfers, firmware and version of COrsaHWI.
// Every operation needs a connection: without one it reports failure.

#include "talvik/hwi/COrsaHWI.h"
#include "talvik/hwi/FirmwareImage.h"

#include "COrsa.h"
#include "Firmware.h"
#include "KeyboardUtil.h"

using namespace talvik::hwi;

bool COrsaHWI::setKeyConfiguration(int layer, int key, int* def, int count) {
    return m_keyboard && m_keyboard->setKeyConfiguration(layer, key, def, count);
}

bool COrsaHWI::getKeyConfiguration(int layer, int key, int* out, int capacity) {
    return m_keyboard && m_keyboard->getKeyConfiguration(layer, key, out, capacity);
}

bool COrsaHWI::prepare() {
    return m_keyboard && m_keyboard->prepare();
}

bool COrsaHWI::writeKeyConfigurationToDev(HWND window) {
    return m_keyboard && m_keyboard->writeKeyConfigurationToDev(window);
}

bool COrsaHWI::readKeyDefinationFromDev(HWND window) {
    return m_keyboard && m_keyboard->readKeyDefinationFromDev(window);
}

bool COrsaHWI::setKeyboardLightArea(int* values) {
    return m_keyboard && m_keyboard->setKeyboardLightArea(values);
}

bool COrsaHWI::getKeyboardLightArea(int* values) {
    return m_keyboard && m_keyboard->getKeyboardLightArea(values);
}

bool COrsaHWI::readKeyLightFromDev() {
    return m_keyboard && m_keyboard->readKeyLightFromDev();
}

bool COrsaHWI::getPressCounterFromDev(int* counters) {
    return m_keyboard && m_keyboard->getPressCounterFromDev(counters);
}

bool COrsaHWI::writeKeyboardLightArea(const int* values) {
    return m_keyboard && m_keyboard->writeLightArea(values);
}

bool COrsaHWI::readPressCounters(int* counters) {
    return m_keyboard && m_keyboard->readPressCounters(counters);
}

bool COrsaHWI::WriteFirmwareToKeyboard(char* text, int length, HWND window) {
    if (!m_util) {
        return false;
    }
    // The whole image is checked first, so a damaged file is never half-sent.
    auto image = parseFirmwareImage(text, length);
    return image && sendFirmwareImage(*m_util, *image, window);
}

bool COrsaHWI::ReadKeyboardVersion(wchar_t* text) {
    return m_util && m_util->queryVersion(text);
}

wchar_t* COrsaHWI::getHardwareVersion() {
    if (m_util) {
        m_util->queryVersion(m_version);
    }
    return m_version;
}

bool CheckFirmwareImage(const char* text, int length) {
    return parseFirmwareImage(text, length).has_value();
}
