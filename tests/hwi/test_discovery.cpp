// Discovery on fake sysfs trees: the Windows-style paths built from hidraw
// nodes and the matching rules run on them.

#include "FakeSysfs.h"
#include "HidDiscovery.h"
#include "support/TestSupport.h"

#include "talvik/hwi/COrsaHWI.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace talvik::hwi;
using talvik::test::FakeSysfs;
using talvik::test::writeFile;
namespace fs = std::filesystem;

namespace {

const char* const kModel2 = "0003:00000483:00005131";

} // namespace

TEST(MatchingRules, AcceptsTheFourProductsOnInterfaceOne) {
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0483&pid_5031&mi_01#7&1#{g})"), 1);
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0483&pid_5131&mi_01#7&1#{g})"), 2);
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0483&pid_5231&mi_01#7&1#{g})"), 3);
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0483&pid_5331&mi_01#7&1#{g})"), 4);
}

TEST(MatchingRules, RejectsOtherInterfacesProductsVendorsAndCase) {
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0483&pid_5031&mi_00#7&1#{g})"), 0);
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0483&pid_5431&mi_01#7&1#{g})"), 0);
    EXPECT_EQ(modelForPath(R"(\\?\hid#vid_0484&pid_5031&mi_01#7&1#{g})"), 0);
    EXPECT_EQ(modelForPath(R"(\\?\hid#VID_0483&PID_5031&MI_01#7&1#{g})"), 0);
    // "mi_01" must not stand at the very start of the path.
    EXPECT_EQ(modelForPath("mi_01vid_0483pid_5031"), 0);
}

TEST(MatchingRules, TruncatedFieldsDoNotMatch) {
    EXPECT_EQ(modelForPath("x&mi_01&vid_0483&pid_503"), 0);
    EXPECT_EQ(modelForPath("x&mi_01&pid_5031&vid_048"), 0);
    EXPECT_EQ(modelForPath("x&mi_01&pid_5031&vid_0483"), 1);
}

TEST(InterfacePath, BuiltFromUeventAndInterfaceNumber) {
    EXPECT_EQ(interfacePath("HID_ID=0003:00000483:00005131\n", 1, "hidraw3"),
              R"(\\?\hid#vid_0483&pid_5131&mi_01#hidraw3#{4d1e55b2-f16f-11cf-88cb-001111000030})");
    EXPECT_EQ(interfacePath("HID_ID=0003:0000ABCD:0000EF01\n", -1, "hidraw0"),
              R"(\\?\hid#vid_abcd&pid_ef01#hidraw0#{4d1e55b2-f16f-11cf-88cb-001111000030})");
    // Bluetooth (bus 0005) and garbage have no USB path.
    EXPECT_EQ(interfacePath("HID_ID=0005:00000483:00005131\n", 1, "hidraw1"), "");
    EXPECT_EQ(interfacePath("NOTHING=here\n", 1, "hidraw1"), "");
}

TEST(Discovery, FirstMatchingInterfaceInNumericOrderWins) {
    FakeSysfs sysfs;
    sysfs.addNode(10, "0003:00000483:00005331", 1); // model 4, but enumerated after hidraw2
    sysfs.addNode(2, "0003:00000483:00005231", 1);  // model 3
    sysfs.addNode(1, "0003:00000483:00005131", 0);  // keyboard's interface 0
    COrsaHWI hwi(sysfs.environment());
    EXPECT_EQ(hwi.DetectDeviceType(), 3);
    EXPECT_TRUE(hwi.DetectDevice());
}

TEST(Discovery, InterfaceZeroAndUnknownProductAreNotKeyboards) {
    FakeSysfs sysfs;
    sysfs.addNode(0, kModel2, 0);
    sysfs.addNode(1, "0003:00000483:00005431", 1);
    COrsaHWI hwi(sysfs.environment());
    EXPECT_EQ(hwi.DetectDeviceType(), 0);
    EXPECT_FALSE(hwi.DetectDevice());
    EXPECT_FALSE(hwi.__createDev());
    EXPECT_FALSE(hwi.isConnected());
}

TEST(Discovery, UnreadableNodeEndsTheEnumeration) {
    FakeSysfs sysfs;
    sysfs.addBrokenNode(0);
    sysfs.addNode(1, kModel2, 1);
    COrsaHWI hwi(sysfs.environment());
    EXPECT_EQ(hwi.DetectDeviceType(), 0);
}

TEST(Discovery, InterfaceNumberFromHidPhysWhenTheUsbFolderIsMissing) {
    FakeSysfs sysfs;
    auto environment = sysfs.environment();
    fs::path node = sysfs.classDir() / "hidraw4" / "device";
    writeFile(node / "uevent", std::string("HID_ID=") + kModel2 + "\nHID_PHYS=usb-1/input1\n");
    EXPECT_EQ(COrsaHWI(environment).DetectDeviceType(), 2);
}

TEST(Discovery, MissingClassFolderMeansNoKeyboard) {
    CDeviceEnvironment environment;
    environment.hidrawClassDir = "/nonexistent/talvik/hidraw";
    environment.simulatorModel = 0;
    EXPECT_EQ(COrsaHWI(environment).DetectDeviceType(), 0);
}

TEST(Connection, CreateTwiceOpensOnceAndCloseIsAlwaysSafe) {
    FakeSysfs sysfs;
    sysfs.addNode(3, kModel2, 1);
    COrsaHWI hwi(sysfs.environment());
    EXPECT_TRUE(hwi.__closeDev()); // never connected
    EXPECT_FALSE(hwi.isConnected());

    ASSERT_TRUE(hwi.__createDev());
    EXPECT_TRUE(hwi.isConnected());
    // The keyboard vanishing does not matter to a second call: it does not enumerate.
    fs::remove_all(sysfs.classDir() / "hidraw3");
    EXPECT_TRUE(hwi.__createDev());
    EXPECT_TRUE(hwi.__closeDev());
    EXPECT_FALSE(hwi.isConnected());
    EXPECT_FALSE(hwi.__createDev());
}

TEST(Connection, FoundButNotOpenableStillConnectsAndEveryTransferFails) {
    FakeSysfs sysfs;
    sysfs.addNode(5, kModel2, 1);
    auto environment = sysfs.environment();
    fs::remove(sysfs.devDir() / "hidraw5"); // the node cannot be opened
    COrsaHWI hwi(environment);
    ASSERT_TRUE(hwi.__createDev());
    wchar_t version[64] = {};
    EXPECT_FALSE(hwi.ReadKeyboardVersion(version));
    EXPECT_FALSE(hwi.readKeyDefinationFromDev(0));
}
