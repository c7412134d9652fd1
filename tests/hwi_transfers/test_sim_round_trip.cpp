// Every kind of definition, the light area and the version through COrsaHWI
// and the simulated keyboard: what is written reads back equal.

#include "talvik/hwi/COrsaHWI.h"

#include "ScriptedKeyboard.h"

#include <gtest/gtest.h>

#include <vector>

using namespace talvik::hwi::test;

namespace {

class SimulatedRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        m_hwi = std::make_unique<COrsaHWI>(CDeviceEnvironment::withoutDevices(1));
        ASSERT_TRUE(m_hwi->__createDev());
    }

    // A fresh connection with an empty library table, so that what is read
    // can only have come from the keyboard. The version query first: its
    // answer comes after the keyboard has taken every report written before it.
    void reconnect() {
        wchar_t text[64];
        ASSERT_TRUE(m_hwi->ReadKeyboardVersion(text));
        m_hwi->__closeDev();
        ASSERT_TRUE(m_hwi->__createDev());
    }

    std::vector<int> get(int layer, int key) {
        std::vector<int> out(65536, -1);
        EXPECT_TRUE(m_hwi->getKeyConfiguration(layer, key, out.data(), 65536));
        return out;
    }

    std::unique_ptr<COrsaHWI> m_hwi;
};

std::vector<int> head(const std::vector<int>& v, std::size_t n) {
    return {v.begin(), v.begin() + static_cast<long>(n)};
}

} // namespace

TEST_F(SimulatedRoundTrip, EveryKindOfDefinitionReadsBackAsWritten) {
    std::vector<int> normal = {0, 3, 0xE0, 0xE1, 0x1C8};
    std::vector<int> continuous = {1, 300, 2, 0x05, 0x06};
    std::vector<int> untimed = {2, 1, 7, 0, 25, 100};
    for (int i = 0; i < 100; ++i) {
        untimed.push_back(i + 1);
    }
    // 14 timed events: two blocks. The program ends the array after the last code.
    std::vector<int> timed = {2, 2, 1, 1, 0, 14};
    for (int i = 0; i < 14; ++i) {
        timed.push_back(0x20 + i);
        if (i < 13) {
            timed.push_back(1000 + i);
        }
    }
    // A full array with a delay after the last event, too.
    std::vector<int> timedFull = {2, 0, 3, 1, 0, 2, 0x04, 50, 0x05, 60};

    ASSERT_TRUE(m_hwi->prepare());
    m_hwi->setKeyConfiguration(0, 1, normal.data(), static_cast<int>(normal.size()));
    m_hwi->setKeyConfiguration(0, 87, continuous.data(), static_cast<int>(continuous.size()));
    m_hwi->setKeyConfiguration(1, 1, untimed.data(), static_cast<int>(untimed.size()));
    m_hwi->setKeyConfiguration(1, 50, timed.data(), static_cast<int>(timed.size()));
    m_hwi->setKeyConfiguration(1, 87, timedFull.data(), static_cast<int>(timedFull.size()));
    CMessageLog log;
    ASSERT_TRUE(m_hwi->writeKeyConfigurationToDev(log.window()));
    EXPECT_EQ(log.progress().size(), 174u);

    reconnect();
    CMessageLog readLog;
    ASSERT_TRUE(m_hwi->readKeyDefinationFromDev(readLog.window()));
    EXPECT_FALSE(readLog.progress().empty());

    normal[4] = 0xC8; // only the low byte travels
    EXPECT_EQ(head(get(0, 1), normal.size()), normal);
    EXPECT_EQ(head(get(0, 87), continuous.size()), continuous);
    EXPECT_EQ(head(get(1, 1), untimed.size()), untimed);
    EXPECT_EQ(head(get(1, 50), timed.size()), timed);
    timedFull.pop_back(); // the last delay reads back as 0 and is not handed out
    auto full = get(1, 87);
    EXPECT_EQ(head(full, timedFull.size()), timedFull);
    EXPECT_EQ(full[timedFull.size()], -1);
    EXPECT_EQ(head(get(0, 2), 2), (std::vector<int>{0, 0})) << "empty slots come back empty";
}

TEST_F(SimulatedRoundTrip, LightAreaReadsBackAsWritten) {
    std::vector<int> light(261);
    for (std::size_t i = 0; i < light.size(); ++i) {
        light[i] = static_cast<int>(i * 7 % 256);
    }
    light[5] = 300;
    ASSERT_TRUE(m_hwi->setKeyboardLightArea(light.data()));
    reconnect();
    std::vector<int> back(261, -1);
    m_hwi->getKeyboardLightArea(back.data());
    EXPECT_EQ(back, std::vector<int>(261, 0)) << "a new connection starts dark";
    ASSERT_TRUE(m_hwi->readKeyLightFromDev());
    m_hwi->getKeyboardLightArea(back.data());
    light[5] = 44;
    EXPECT_EQ(back, light);

    std::vector<int> counters(87, -1);
    EXPECT_TRUE(m_hwi->getPressCounterFromDev(counters.data()));
}

TEST_F(SimulatedRoundTrip, VersionTextAndFirmwareDownload) {
    wchar_t text[64] = {};
    ASSERT_TRUE(m_hwi->ReadKeyboardVersion(text));
    EXPECT_GT(std::wstring(text).size(), 0u);
    EXPECT_EQ(std::wstring(m_hwi->getHardwareVersion()), std::wstring(text));

    char image[] = ":0200000400FFFB\r\n:00000001FF\r\n";
    CMessageLog log;
    EXPECT_TRUE(
        m_hwi->WriteFirmwareToKeyboard(image, static_cast<int>(sizeof image - 1), log.window()));
    EXPECT_EQ(log.progress(), (std::vector<WPARAM>{75, 150}));
    char damaged[] = ":0200000400FFFB\r\n:00000001FE\r\n";
    EXPECT_FALSE(m_hwi->WriteFirmwareToKeyboard(damaged, static_cast<int>(sizeof damaged - 1), 0));
}
