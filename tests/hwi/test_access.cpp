// Why a found keyboard cannot be used: a node this user may not open is told
// apart from one that fails for any other reason, so the program can name the
// fix. Tests run as root too, where file modes open every door: the injected
// opener fails with a chosen errno, and the real-mode test drops root in a
// child process before it opens.

#include "FakeSysfs.h"

#include "talvik/hwi/COrsaHWI.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using talvik::test::FakeSysfs;
namespace fs = std::filesystem;

namespace {

const char* const kModel3 = "0003:00000483:00005231";

CDeviceEnvironment failingWith(const FakeSysfs& sysfs, int error, std::string* opened = nullptr) {
    CDeviceEnvironment environment = sysfs.environment();
    environment.openNode = [error, opened](const char* path, int flags) {
        EXPECT_EQ(flags & O_ACCMODE, O_RDWR) << "the keyboard is written to as well as read";
        if (opened != nullptr) {
            *opened = path;
        }
        errno = error;
        return -1;
    };
    return environment;
}

} // namespace

TEST(DeviceAccess, PermissionRefusalsAreToldApartFromOtherFailures) {
    FakeSysfs sysfs;
    sysfs.addNode(7, kModel3, 1);
    for (const auto& [error, expected] : {std::pair{EACCES, CDeviceAccess::NoPermission},
                                          std::pair{EPERM, CDeviceAccess::NoPermission},
                                          std::pair{EBUSY, CDeviceAccess::OpenFailed},
                                          std::pair{ENXIO, CDeviceAccess::OpenFailed}}) {
        std::string opened;
        COrsaHWI hwi(failingWith(sysfs, error, &opened));
        EXPECT_EQ(hwi.deviceAccess(), CDeviceAccess::NotConnected);
        ASSERT_TRUE(hwi.__createDev()) << "a found keyboard connects even when the open fails";
        EXPECT_EQ(hwi.deviceAccess(), expected) << "errno " << error;
        EXPECT_EQ(opened, (sysfs.devDir() / "hidraw7").string());
        EXPECT_EQ(hwi.deviceNode(), opened);
        wchar_t version[64] = {};
        EXPECT_FALSE(hwi.ReadKeyboardVersion(version));
        hwi.__closeDev();
        EXPECT_EQ(hwi.deviceAccess(), CDeviceAccess::NotConnected);
        EXPECT_TRUE(hwi.deviceNode().empty());
    }
}

TEST(DeviceAccess, OpenNodeAndMissingKeyboard) {
    FakeSysfs sysfs;
    sysfs.addNode(2, kModel3, 1);
    COrsaHWI found(sysfs.environment());
    ASSERT_TRUE(found.__createDev());
    EXPECT_EQ(found.deviceAccess(), CDeviceAccess::Open);

    fs::remove(sysfs.devDir() / "hidraw2"); // in sysfs, but no node in /dev
    COrsaHWI vanished(sysfs.environment());
    ASSERT_TRUE(vanished.__createDev());
    EXPECT_EQ(vanished.deviceAccess(), CDeviceAccess::OpenFailed);

    FakeSysfs empty;
    COrsaHWI none(empty.environment());
    EXPECT_FALSE(none.__createDev());
    EXPECT_EQ(none.deviceAccess(), CDeviceAccess::NotConnected);
}

// A real node with mode 0000, opened by an unprivileged process: as root the
// check runs in a child that has become "nobody" first.
TEST(DeviceAccess, NodeWithoutPermissionsIsReportedAsSuch) {
    FakeSysfs sysfs;
    sysfs.addNode(4, kModel3, 1);
    CDeviceEnvironment environment = sysfs.environment();
    const fs::path node = sysfs.devDir() / "hidraw4";
    fs::permissions(node, fs::perms::none);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0) {
            // The fake tree lies in a private temporary folder: let nobody read it.
            ::chmod(sysfs.root().c_str(), 0755);
            for (const auto& entry : fs::recursive_directory_iterator(sysfs.root())) {
                if (!entry.is_symlink() && entry.path() != node) {
                    ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
                }
            }
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                ::_exit(3);
            }
        }
        COrsaHWI hwi(environment);
        const bool created = hwi.__createDev();
        ::_exit(!created ? 4 : hwi.deviceAccess() == CDeviceAccess::NoPermission ? 0 : 5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not drop root, 4: keyboard not found, "
                                         "5: not reported as a permission problem";
}

TEST(DeviceAccess, ListNamesEveryKeyboardInOrderWithWhetherItOpens) {
    FakeSysfs sysfs;
    sysfs.addNode(1, "0003:00000483:00005031", 0); // the keyboard's other interface
    sysfs.addNode(3, "0003:00000483:00005331", 1);
    sysfs.addNode(4, "0003:0000046D:0000C52B", 1); // another vendor
    sysfs.addNode(6, kModel3, 1);
    CDeviceEnvironment environment = sysfs.environment();
    const std::string refused = (sysfs.devDir() / "hidraw6").string();
    environment.openNode = [refused](const char* path, int flags) {
        if (path == refused) {
            errno = EACCES;
            return -1;
        }
        return ::open(path, flags);
    };
    COrsaHWI hwi(environment);
    const std::vector<CKeyboardEntry> found = hwi.listKeyboards();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].model, 4);
    EXPECT_EQ(found[0].devNode, (sysfs.devDir() / "hidraw3").string());
    EXPECT_EQ(found[0].access, CDeviceAccess::Open);
    EXPECT_EQ(found[1].model, 3);
    EXPECT_EQ(found[1].access, CDeviceAccess::NoPermission);
    EXPECT_EQ(found[1].openError, EACCES);
    EXPECT_FALSE(hwi.isConnected()) << "listing connects to nothing";
    EXPECT_EQ(hwi.DetectDeviceType(), found[0].model) << "the first listed is the one used";

    COrsaHWI simulated(CDeviceEnvironment::withoutDevices(2));
    const std::vector<CKeyboardEntry> sim = simulated.listKeyboards();
    ASSERT_EQ(sim.size(), 1u);
    EXPECT_EQ(sim[0].model, 2);
    EXPECT_EQ(sim[0].access, CDeviceAccess::Open);
    EXPECT_TRUE(COrsaHWI(CDeviceEnvironment::withoutDevices()).listKeyboards().empty());
}
