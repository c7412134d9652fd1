// Firmware download, version query and the ANSI code page conversion.

#include "AnsiCodePage.h"
#include "Firmware.h"
#include "ScriptedKeyboard.h"

#include "talvik/hwi/COrsaHWI.h"

#include <gtest/gtest.h>

#include <string>

using namespace talvik::hwi;
using namespace talvik::hwi::test;

namespace {

// Four valid records: two data records of 16 bytes, one of 2, the end record.
const std::string kRecords[] = {
    ":10010000214601360121470136007EFE09D2190140",
    ":100110002146017E17C20001FF5F16002148011928",
    ":0200000400FFFB",
    ":00000001FF",
};

std::string image(const std::string& ending, int count = 4) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kRecords[i] + ending;
    }
    return text;
}

class Firmware : public ::testing::Test {
protected:
    CScriptedKeyboard m_device;
    CMessageLog m_log;

    // Checks the image and sends it, as WriteFirmwareToKeyboard does.
    bool download(std::string text) {
        return m_device.run([&] {
            auto parsed = parseFirmwareImage(text.data(), static_cast<int>(text.size()));
            return parsed && sendFirmwareImage(m_device.util(), *parsed, m_log.window());
        });
    }
};

} // namespace

TEST_F(Firmware, FourRecordsGoOutUnchangedWithProgressOnTheScaleOf150) {
    ASSERT_TRUE(download(image("\r\n")));
    const auto& reports = m_device.received();
    ASSERT_EQ(reports.size(), 4u);
    // The first record is 21 bytes: payload[2..22], then zeros.
    const auto& r = reports[0];
    EXPECT_EQ(r[2], 0x3A);
    EXPECT_EQ(r[3], 0x10);
    EXPECT_EQ(r[3 + 20], 0x40);
    EXPECT_TRUE(std::all_of(r.begin() + 24, r.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(reports[3][3], 0x00);
    EXPECT_EQ(reports[3][6], 0x01);
    EXPECT_EQ(reports[3][7], 0xFF);
    EXPECT_EQ(m_log.progress(), (std::vector<WPARAM>{37, 75, 112, 150}));
}

TEST_F(Firmware, LowerCaseDigitsAndCrOnlyEndingsAreTheSame) {
    std::string lower = image("\r");
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ASSERT_TRUE(download(lower));
    ASSERT_EQ(m_device.received().size(), 4u);
    EXPECT_EQ(m_device.received()[0][3 + 20], 0x40);
    EXPECT_EQ(m_device.received()[1][3 + 7], 0x7E);
}

TEST_F(Firmware, BlankLineEndsTheDownloadWithSuccess) {
    std::string text = kRecords[0] + "\r\n" + kRecords[1] + "\r\n\r\n" + kRecords[2] + "\r\n";
    ASSERT_TRUE(download(text));
    EXPECT_EQ(m_device.received().size(), 2u);
    EXPECT_EQ(m_log.progress(), (std::vector<WPARAM>{37, 75})) << "four CRs in the text";
}

TEST_F(Firmware, DamagedImagesAreRefusedBeforeAnyRecordIsSent) {
    const std::string damaged[] = {
        "\xEF\xBB\xBF" + image("\r\n"),              // byte-order mark
        "\r\n" + image("\r\n"),                      // starts blank
        image("\r\n", 2) + ":0200000400FFFC\r\n",    // wrong checksum
        image("\r\n", 2) + "0200000400FFFB\r\n",     // no colon
        image("\r\n", 2) + ":0200000400FFF\r\n",     // odd digits
        image("\r\n", 2) + ":02000004G0FFFB\r\n",    // not a hex digit
        image("\r\n", 2) + ":0300000400FFFB\r\n",    // count does not match
        image("\r\n", 2) + ":\r\n",                  // no record at all
        image("\n"),                                 // LF is no line end
        ":3A" + std::string(2 * 62, '0') + "C6\r\n", // longer than a report holds
    };
    for (const auto& text : damaged) {
        EXPECT_FALSE(download(text)) << text;
    }
    EXPECT_TRUE(m_device.received().empty());
    EXPECT_TRUE(m_log.progress().empty());
}

TEST_F(Firmware, TextWithoutCrIsOneRecord) {
    ASSERT_TRUE(download(kRecords[3]));
    EXPECT_EQ(m_device.received().size(), 1u);
    EXPECT_EQ(m_log.progress(), (std::vector<WPARAM>{150}));
}

TEST_F(Firmware, ProgressNeverPassesTheEndOfItsScale) {
    // Three CRs, four records: the last has none.
    std::string text = image("\r\n", 3) + kRecords[3];
    ASSERT_TRUE(download(text));
    EXPECT_EQ(m_log.progress(), (std::vector<WPARAM>{50, 100, 150}));
}

TEST_F(Firmware, LengthAndTerminatingZeroBoundTheText) {
    std::string text = image("\r\n");
    EXPECT_FALSE(parseFirmwareImage(text.data(), 0));
    EXPECT_FALSE(parseFirmwareImage(nullptr, 10));
    auto firstOnly = parseFirmwareImage(text.data(), static_cast<int>(kRecords[0].size() + 2));
    ASSERT_TRUE(firstOnly);
    EXPECT_EQ(firstOnly->records.size(), 1u);
    text[kRecords[0].size() + 2] = '\0';
    auto cut = parseFirmwareImage(text.data(), static_cast<int>(text.size()));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->records.size(), 1u);
}

TEST(VersionQuery, ReplyTextBecomesSixtyTwoCharacters) {
    CScriptedKeyboard device;
    Payload reply{};
    const char version[] = "KB-V1.07";
    std::copy(version, version + 8, reply.begin() + 2);
    device.reply(reply);
    wchar_t text[64];
    std::fill(std::begin(text), std::end(text), L'#');
    ASSERT_TRUE(device.run([&] { return device.util().queryVersion(text); }));
    EXPECT_EQ(std::wstring(text), L"KB-V1.07");
    EXPECT_TRUE(std::all_of(text + 8, text + 62, [](wchar_t c) { return c == 0; }));
    EXPECT_EQ(text[62], L'#') << "62 characters, no more";
    ASSERT_EQ(device.received().size(), 1u);
    EXPECT_EQ(device.received()[0][2], 0xF9);
}

TEST(VersionQuery, SilentKeyboardLeavesTheTextUntouched) {
    CScriptedKeyboard device;
    device.unplug();
    wchar_t text[64] = L"old";
    EXPECT_FALSE(device.util().queryVersion(text));
    EXPECT_EQ(std::wstring(text), L"old");
}

TEST(AnsiCodePage, Utf8LocaleTakesInvalidBytesAsWindows1252) {
    const std::uint8_t bytes[] = {'V', 0xC3, 0xA9, 0x80, 0xE9, '1', 0xED, 0xA0, 0x80, 0xC0, 0xAF};
    EXPECT_EQ(decodeAnsi(bytes, "UTF-8"),
              std::wstring(L"V\u00E9\u20AC\u00E91\u00ED\u00A0\u20AC\u00C0\u00AF"));
    const std::uint8_t cut[] = {'a', 0xE4, 0xB8};
    EXPECT_EQ(decodeAnsi(cut, "utf8"), std::wstring(L"a\u00E4\u00B8"));
}

TEST(AnsiCodePage, OtherCharsetsGoThroughIconv) {
    const std::uint8_t gbk[] = {0xD6, 0xD0, 0xCE, 0xC4, '1'}; // "中文1"
    EXPECT_EQ(decodeAnsi(gbk, "GBK"), std::wstring(L"\u4E2D\u6587"
                                                   L"1"));
    const std::uint8_t latin[] = {0x80, 0xE9};
    EXPECT_EQ(decodeAnsi(latin, "CP1252"), std::wstring(L"\u20AC\u00E9"));
    // The C locale's ASCII knows no high bytes: they fall back to 1252.
    EXPECT_EQ(decodeAnsi(latin, "ANSI_X3.4-1968"), std::wstring(L"\u20AC\u00E9"));
    EXPECT_EQ(decodeAnsi(latin, "no-such-charset"), std::wstring(L"\u20AC\u00E9"));
}

TEST(NotConnected, EveryTransferFailsWithoutTouchingTheBuffers) {
    COrsaHWI hwi(CDeviceEnvironment::withoutDevices());
    int buffer[300] = {};
    wchar_t text[64] = L"x";
    char firmware[] = ":00000001FF\r\n";
    EXPECT_FALSE(hwi.setKeyConfiguration(0, 1, buffer, 2));
    EXPECT_FALSE(hwi.getKeyConfiguration(0, 1, buffer, 300));
    EXPECT_FALSE(hwi.prepare());
    EXPECT_FALSE(hwi.writeKeyConfigurationToDev(0));
    EXPECT_FALSE(hwi.readKeyDefinationFromDev(0));
    EXPECT_FALSE(hwi.setKeyboardLightArea(buffer));
    EXPECT_FALSE(hwi.getKeyboardLightArea(buffer));
    EXPECT_FALSE(hwi.readKeyLightFromDev());
    EXPECT_FALSE(hwi.getPressCounterFromDev(buffer));
    EXPECT_FALSE(hwi.WriteFirmwareToKeyboard(firmware, 13, 0));
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(hwi.getHardwareVersion()), L"");
    EXPECT_EQ(std::wstring(text), L"x");
}
