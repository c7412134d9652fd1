#pragma once

// The in-memory image of one keyboard's configuration: the key definition
// table, the light area and the press counters, and the transfers that move
// them to and from the keyboard.

#include "Frames.h"
#include "KeyDefinition.h"
#include "Protocol.h"

#include "talvik/hwi/WindowHandle.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class COrsaUtil;

class CKeyboardDefine {
public:
    virtual ~CKeyboardDefine() = default;
    virtual std::u16string getProductId() const = 0;
    virtual std::u16string getVendorId() const = 0;
};

class COrsa : public CKeyboardDefine {
public:
    // `util` is the connection this image talks through; not owned.
    explicit COrsa(COrsaUtil* util);
    ~COrsa() override;

    std::u16string getProductId() const override { return u"5031"; }
    std::u16string getVendorId() const override { return u"0483"; }

    COrsaUtil* util() const { return m_util; }

    // Key definition table; layer index 0/1, key 1..87. False for a slot
    // outside the table or an unknown kind (the table is then unchanged).
    bool setKeyConfiguration(int layer, int key, const int* def, int count);
    bool getKeyConfiguration(int layer, int key, int* out, int capacity) const;
    bool prepare();
    // The definition in a slot (0..173), null when it is empty or out of range.
    const CKeyDefine* slot(int slot) const;

    // Begin frame, one record (or the blocks of a macro) per slot with a
    // progress post after each, end frame. False at the first failed send.
    bool writeKeyConfigurationToDev(HWND window);
    // Replaces the slots the keyboard sends records for; true at the end marker.
    bool readKeyDefinationFromDev(HWND window);

    // Stores the low bytes of 261 ints and sends them; true unless `values` is null.
    bool setKeyboardLightArea(const int* values);
    // The same, but true only when the begin frame, every chunk and the end frame went out.
    bool writeLightArea(const int* values);
    bool getKeyboardLightArea(int* values) const;
    bool readKeyLightFromDev();
    // Reads the counters, then copies all 87 out whatever the exchange gave.
    bool getPressCounterFromDev(int* counters);
    // The same, but true only when the answer reached its end marker.
    bool readPressCounters(int* counters);

private:
    using Table = std::array<std::unique_ptr<CKeyDefine>, talvik::hwi::kSlotCount>;

    bool writeSlot(int slot);
    talvik::hwi::ReplyAction takeKeyRecord(const talvik::hwi::Payload& first, HWND window);

    COrsaUtil* m_util;
    Table m_table;
    std::array<std::uint8_t, talvik::hwi::kLightAreaSize> m_light{};
    std::array<std::uint8_t, talvik::hwi::kCounterAreaSize> m_counters{};
};
