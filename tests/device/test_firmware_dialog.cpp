// The firmware update dialog on the offscreen platform and the simulated
// keyboard: the model's file-name check, the version, the download with its
// progress and every result message, and a download that outlives its
// dialog. The simulated keyboard logs its traffic so the tests can see
// exactly what reached it.

#include "DeviceFixture.h"

#include "talvik/device/CFirmwareDownload.h"
#include "talvik/device/COrsaDialogFirmwareUpdate.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"
#include "talvik/jobs/FirmwareJob.h"
#include "talvik/jobs/JobText.h"

#include "support/TestSupport.h"
#include "talvik/layout/DeviceLayout.h"

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>

using talvik::device::CFirmwareDownload;
using talvik::device::COrsaDialogFirmwareUpdate;
using talvik::test::CDeviceFixture;
using talvik::test::waitFor;
namespace id = talvik::layout::firmware_id;
namespace fs = std::filesystem;
using talvik::text::Language;

namespace {

// The simulated keyboard reads its variables once, when it is first used.
talvik::test::CTempDir& scratch() {
    static talvik::test::CTempDir dir;
    return dir;
}
fs::path trafficLog() {
    return scratch().path() / "traffic.log";
}
fs::path holdFile() {
    return scratch().path() / "hold";
}
[[maybe_unused]] const bool g_logging = [] {
    return ::setenv("TALVIK_SIMULATOR_LOG", trafficLog().c_str(), 1) == 0 &&
           ::setenv("TALVIK_SIMULATOR_HOLD_FILE", holdFile().c_str(), 1) == 0;
}();

// While it lives (or until release()), each connection to the keyboard takes
// `reports` reports and then no more: a download stops there, however fast
// the machine is.
class CKeyboardHold {
public:
    explicit CKeyboardHold(std::size_t reports) {
        talvik::test::writeFile(holdFile(), std::to_string(reports));
    }
    ~CKeyboardHold() { release(); }
    CKeyboardHold(const CKeyboardHold&) = delete;
    CKeyboardHold& operator=(const CKeyboardHold&) = delete;
    void release() { fs::remove(holdFile()); }
};

std::vector<std::string> logLines() {
    std::ifstream in(trafficLog());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The firmware records among the reports the program sent, in order.
std::vector<std::string> firmwareReportsSince(std::size_t first) {
    const std::vector<std::string> lines = logLines();
    std::vector<std::string> out;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (lines[i].rfind("W 003a", 0) == 0) {
            out.push_back(lines[i].substr(2));
        }
    }
    return out;
}

// An Intel HEX image of `bytes` made by objcopy (which ends its lines with
// CR LF), and its record lines.
struct CImage {
    fs::path file;
    std::vector<std::string> records;
};

CImage makeImage(const std::string& name, int bytes) {
    const fs::path binary = scratch().path() / (name + ".raw");
    std::string data(static_cast<std::size_t>(bytes), '\0');
    for (int i = 0; i < bytes; ++i) {
        data[static_cast<std::size_t>(i)] = static_cast<char>((i * 131 + i / 256) & 0xFF);
    }
    talvik::test::writeFile(binary, data);
    CImage image{scratch().path() / name, {}};
    EXPECT_TRUE(talvik::test::objcopyToIntelHex(binary, image.file));
    const std::string text = talvik::test::readFile(image.file);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "objcopy ends every line with CR LF";
        image.records.push_back(text.substr(at + 1, end - at - 1));
        at = end + 2;
    }
    return image;
}

// The report the keyboard receives for a record: 00 3A, the record's bytes, zeros.
std::string reportOf(const std::string& record) {
    std::string hex = "003a";
    for (char c : record) {
        hex += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    hex.resize(128, '0');
    return hex;
}

// The firmware reports the keyboard logged since line `first`, once it has
// logged `expected` of them (or a moment has passed): the library is done
// when the last report is on its way, the keyboard logs it when it arrives.
std::vector<std::string> receivedSince(std::size_t first, std::size_t expected) {
    waitFor([&] { return firmwareReportsSince(first).size() >= expected; });
    QTest::qWait(50); // anything beyond would show now
    return firmwareReportsSince(first);
}

// A dialog with its download on the fixture, opened at scale 1.
struct CFirmware {
    explicit CFirmware(CDeviceFixture& f, CFirmwareDownload& download)
        : dialog(f.app, f.state, download) {
        dialog.setPrompts(f.prompts());
        initialised = dialog.initialise(QSize(1920, 1080));
    }
    COrsaDialogFirmwareUpdate dialog;
    bool initialised = false;
};

QString qs(const fs::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

TEST(FirmwareDialog, EachModelHasItsFileNamePrefix) {
    EXPECT_EQ(COrsaDialogFirmwareUpdate::requiredPrefix(0), QStringLiteral("Talvik(RGB)BLe_"));
    EXPECT_EQ(COrsaDialogFirmwareUpdate::requiredPrefix(1), QStringLiteral("Talvik(RGB)BLe_"));
    EXPECT_EQ(COrsaDialogFirmwareUpdate::requiredPrefix(2), QStringLiteral("Talvik(S)BLe_"));
    EXPECT_EQ(COrsaDialogFirmwareUpdate::requiredPrefix(3), QStringLiteral("Talvik(S)_"));
    EXPECT_EQ(COrsaDialogFirmwareUpdate::requiredPrefix(4), QStringLiteral("Talvik(RGB)_"));
}

TEST(FirmwareDialog, OpenRefusesFilesOfAnotherModelAndKeepsTheChosenOne) {
    CDeviceFixture f(3, true);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    ASSERT_TRUE(w.initialised);
    f.files = {QStringLiteral("/images/Talvik(S)_2.bin"), QStringLiteral("/a/Talvik(S)BLe_v2.bin"),
               QStringLiteral("/a/new_Talvik(S)_1.bin"), QStringLiteral("/a/talvik(s)_1.bin")};
    w.dialog.runCommand(id::Open);
    EXPECT_EQ(w.dialog.filePath(), QStringLiteral("/images/Talvik(S)_2.bin"));
    EXPECT_EQ(w.dialog.fileBox().text(), QStringLiteral("/images/Talvik(S)_2.bin"));
    for (int i = 0; i < 3; ++i) {
        w.dialog.runCommand(id::Open);
    }
    ASSERT_EQ(f.warnings.size(), 3);
    EXPECT_EQ(f.warnings[0], QStringLiteral("Talvik(S) | 固件不匹配，请选择Talvik(S)"));
    EXPECT_EQ(w.dialog.filePath(), QStringLiteral("/images/Talvik(S)_2.bin"));
    EXPECT_EQ(w.dialog.fileBox().text(), QStringLiteral("/images/Talvik(S)_2.bin"));
    EXPECT_EQ(w.dialog.fileName(), QStringLiteral("talvik(s)_1.bin"));
    // Update goes by the last chosen name, which was refused.
    w.dialog.runCommand(id::Update);
    EXPECT_EQ(f.warnings.last(), QStringLiteral("Talvik(S) | The firmware does not match"));
    EXPECT_FALSE(download.running());
}

TEST(FirmwareDialog, Model2AcceptsItsOwnImageNameAndSaysMismatchInEnglish) {
    CDeviceFixture f(2, true, Language::English);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    f.files = {QStringLiteral("/x/Talvik(S)BLe_1.0.bin"), QStringLiteral("/x/Talvik(S)_1.bin")};
    w.dialog.runCommand(id::Open);
    EXPECT_EQ(w.dialog.filePath(), QStringLiteral("/x/Talvik(S)BLe_1.0.bin"));
    EXPECT_TRUE(w.dialog.ready());
    w.dialog.runCommand(id::Open);
    EXPECT_EQ(f.warnings,
              QStringList{QStringLiteral("Talvik(S)BLe | The firmware does not match,please select "
                                         "Talvik(S)BLe")});
}

TEST(FirmwareDialog, UpdateBeforeAnyFileSaysTheFirmwareDoesNotMatchInBothLanguages) {
    for (const Language language : {Language::Chinese, Language::English}) {
        CDeviceFixture f(1, true, language);
        CFirmwareDownload download(f.state, f.slot);
        CFirmware w(f, download);
        w.dialog.runCommand(id::Update);
        EXPECT_EQ(f.warnings,
                  QStringList{QStringLiteral("Talvik(RGB)BLe | The firmware does not match")});
        EXPECT_FALSE(download.running());
    }
}

TEST(FirmwareDialog, ShowsTheVersionOnOpeningAndOnGetVersion) {
    CDeviceFixture f(4, true);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    ASSERT_TRUE(w.initialised);
    EXPECT_FALSE(w.dialog.versionBox().text().isEmpty());
    EXPECT_TRUE(f.messages.isEmpty());
    EXPECT_EQ(f.state.progressWindow, w.dialog.handle());
    EXPECT_TRUE(w.dialog.ready());
    EXPECT_EQ(w.dialog.percent(), 0);

    int answers = 0;
    w.dialog.setVersionReader([&]() -> std::optional<QString> {
        return ++answers == 1 ? std::optional<QString>(QStringLiteral("V9.9")) : std::nullopt;
    });
    w.dialog.runCommand(id::GetVersion);
    EXPECT_EQ(w.dialog.versionBox().text(), QStringLiteral("V9.9"));
    w.dialog.runCommand(id::GetVersion);
    EXPECT_EQ(f.messages, QStringList{QStringLiteral("读取键盘版本失败")});
    EXPECT_EQ(w.dialog.versionBox().text(), QStringLiteral("V9.9"));
}

TEST(FirmwareDialog, WithoutAKeyboardItOpensQuietlyAndItsKeyboardCommandsSaySo) {
    CDeviceFixture f(1, false, Language::English); // no keyboard at all
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    ASSERT_TRUE(w.initialised);
    EXPECT_TRUE(f.messages.isEmpty()) << "nothing to ask a keyboard that is not there";
    f.files = {QStringLiteral("/p/Talvik(RGB)BLe_3.bin")};
    w.dialog.runCommand(id::Open);
    EXPECT_EQ(w.dialog.filePath(), QStringLiteral("/p/Talvik(RGB)BLe_3.bin"));
    const QString notConnected =
        QString::fromUtf8(talvik::jobs::notConnectedText(Language::English));
    w.dialog.runCommand(id::GetVersion);
    w.dialog.runCommand(id::Update);
    EXPECT_EQ(f.messages, (QStringList{notConnected, notConnected}));
    EXPECT_FALSE(download.running());
}

TEST(FirmwareDialog, ResultMessagesAndReadinessFollowTheWorkersResult) {
    struct Case {
        int result;
        Language language;
        QString text;
        bool readyAfter;
    };
    const Case cases[] = {
        {1, Language::Chinese,
         QStringLiteral("固件下载完成。\r\n请勿插拔USB直至三个状态指示灯同时闪烁则固件更新完成，"
                        "请拔下USB重新上电。"),
         true},
        {1, Language::English,
         QStringLiteral("The Firmware is downloaded successfully.\r\nPlease keep the USB plug in "
                        "until three indicator lights flash simultaneously.\r\nThen firmware "
                        "updated completely,pleased unplug the USB and plug in."),
         true},
        {2, Language::Chinese, QStringLiteral("固件下载失败!"), true},
        {2, Language::English, QStringLiteral("Firmware download failed."), true},
        {3, Language::Chinese, QStringLiteral("打开固件文件失败"), false},
        {3, Language::English, QStringLiteral("Can't open firmware file"), false},
    };
    for (const Case& c : cases) {
        CDeviceFixture f(1, true, c.language);
        CFirmwareDownload download(f.state, f.slot);
        CFirmware w(f, download);
        PostMessageW(w.dialog.handle(), WM_TALVIK_PROGRESS, 75, 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.dialog.percent(), 50);
        EXPECT_FALSE(w.dialog.ready());
        PostMessageW(w.dialog.handle(), WM_TALVIK_JOBDONE, static_cast<WPARAM>(c.result), 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(f.messages, QStringList{c.text}) << c.result << talvik::text::tagOf(c.language);
        EXPECT_EQ(w.dialog.ready(), c.readyAfter) << c.result;
        EXPECT_EQ(w.dialog.result(), 0) << "the dialog stays open";
    }
}

TEST(FirmwareDialog, AFullImageReachesTheKeyboardRecordByRecordAndTheBarEndsAt100) {
    const CImage image = makeImage("Talvik(RGB)_full.bin", 4096);
    ASSERT_EQ(image.records.size(), 4096u / 16 + 1);
    CDeviceFixture f(4, true);
    ASSERT_TRUE(f.connected);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    f.files = {qs(image.file)};
    w.dialog.runCommand(id::Open);
    const std::size_t before = logLines().size();
    std::vector<int> percents;
    w.dialog.runCommand(id::Update);
    EXPECT_EQ(w.dialog.percent(), 1);
    EXPECT_FALSE(w.dialog.ready());
    EXPECT_EQ(f.state.firmwarePath, image.file.string());
    ASSERT_TRUE(waitFor([&] { return !f.messages.isEmpty(); }));
    EXPECT_EQ(f.messages[0].left(7), QStringLiteral("固件下载完成。"));
    EXPECT_EQ(w.dialog.percent(), 100);
    EXPECT_TRUE(w.dialog.ready());
    const std::vector<std::string> sent = receivedSince(before, image.records.size());
    ASSERT_EQ(sent.size(), image.records.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        ASSERT_EQ(sent[i], reportOf(image.records[i])) << "record " << i;
    }
}

TEST(FirmwareDialog, ADamagedImageSendsNothingAndSaysSo) {
    CImage image = makeImage("Talvik(RGB)BLe_damaged.bin", 512);
    std::string text = talvik::test::readFile(image.file);
    const std::size_t third = text.find(":10002000");
    ASSERT_NE(third, std::string::npos);
    text[third + 12] = text[third + 12] == '0' ? '1' : '0'; // its checksum no longer holds
    talvik::test::writeFile(image.file, text);
    for (const Language language : {Language::Chinese, Language::English}) {
        CDeviceFixture f(1, true, language);
        CFirmwareDownload download(f.state, f.slot);
        CFirmware w(f, download);
        f.files = {qs(image.file)};
        w.dialog.runCommand(id::Open);
        const std::size_t before = logLines().size();
        w.dialog.runCommand(id::Update);
        ASSERT_TRUE(waitFor([&] { return !f.messages.isEmpty(); }));
        EXPECT_TRUE(f.messages[0].contains(QString::fromUtf8(
            language == Language::Chinese ? "没有向键盘发送任何数据" : "Nothing was sent")))
            << f.messages[0].toStdString();
        EXPECT_TRUE(receivedSince(before, 0).empty());
        EXPECT_TRUE(w.dialog.ready());
    }
}

TEST(FirmwareDialog, AFileThatCannotBeOpenedNeedsOpenAgainBeforeUpdate) {
    CDeviceFixture f(1, true, Language::English);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    f.files = {qs(scratch().path() / "Talvik(RGB)BLe_gone.bin")};
    w.dialog.runCommand(id::Open);
    w.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return !f.messages.isEmpty(); }));
    EXPECT_EQ(f.messages, QStringList{QStringLiteral("Can't open firmware file")});
    EXPECT_FALSE(w.dialog.ready());
    w.dialog.runCommand(id::Update);
    QTest::qWait(50);
    EXPECT_FALSE(download.running()) << "Update does nothing until Open";
}

TEST(FirmwareDialog, UpdateTwiceDuringOneDownloadStartsOneWorker) {
    const CImage image = makeImage("Talvik(RGB)BLe_twice.bin", 64 * 1024);
    CDeviceFixture f(1, true);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    f.files = {qs(image.file)};
    w.dialog.runCommand(id::Open);
    const std::size_t before = logLines().size();
    CKeyboardHold hold(image.records.size() / 2);
    w.dialog.runCommand(id::Update);
    ASSERT_TRUE(download.running());
    w.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return w.dialog.percent() > 1; }));
    w.dialog.runCommand(id::Update);
    EXPECT_FALSE(download.start(image.file.string())) << "one download at a time";
    hold.release();
    ASSERT_TRUE(waitFor([&] { return !f.messages.isEmpty(); }));
    EXPECT_EQ(f.messages.size(), 1);
    EXPECT_EQ(receivedSince(before, image.records.size()).size(), image.records.size());
}

TEST(FirmwareDialog, ADownloadOutlivesItsDialogAndAReopenedDialogShowsIt) {
    const CImage image = makeImage("Talvik(RGB)BLe_long.bin", 128 * 1024);
    CDeviceFixture f(1, true, Language::English);
    CFirmwareDownload download(f.state, f.slot);
    QStringList unattended;
    download.setResultSink([&](int result) {
        unattended << QString::fromUtf8(
            talvik::jobs::firmwareResultText(result, f.state.language).data());
    });
    auto first = std::make_unique<CFirmware>(f, download);
    f.files = {qs(image.file)};
    first->dialog.runCommand(id::Open);
    const std::size_t before = logLines().size();
    CKeyboardHold hold(image.records.size() / 2);
    first->dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return first->dialog.percent() > 1; }));
    first->dialog.runCommand(id::Cancel);
    EXPECT_EQ(first->dialog.result(), QDialog::Rejected);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].startsWith(QStringLiteral("The firmware download goes on")));
    first.reset();
    ASSERT_TRUE(download.running()) << "the keyboard holds the download half-way";

    f.messages.clear();
    CFirmware second(f, download);
    EXPECT_FALSE(second.dialog.ready());
    EXPECT_EQ(second.dialog.fileBox().text(), qs(image.file));
    EXPECT_TRUE(f.messages.isEmpty()) << "the busy keyboard is not asked for its version";
    second.dialog.runCommand(id::Update);
    second.dialog.runCommand(id::GetVersion);
    EXPECT_EQ(f.messages.size(), 1) << "no version query while the image goes out";
    const int shown = second.dialog.percent();
    hold.release();
    ASSERT_TRUE(waitFor([&] { return second.dialog.percent() > shown; }));
    second.dialog.runCommand(id::Close);
    ASSERT_TRUE(waitFor([&] { return !unattended.isEmpty(); }));
    EXPECT_EQ(unattended[0].left(40), QStringLiteral("The Firmware is downloaded successfully."));
    EXPECT_EQ(receivedSince(before, image.records.size()).size(), image.records.size());
}

TEST(FirmwareDialog, NoDownloadAndNoVersionQueryWhileAnotherTransferStillUsesTheKeyboard) {
    const CImage image = makeImage("Talvik(RGB)BLe_busy.bin", 1024);
    CDeviceFixture f(1, true, Language::English);
    talvik::jobs::CDeviceWorkerSlot slot;
    std::mutex gate;
    std::unique_lock hold(gate);
    ASSERT_TRUE(slot.start([&gate] { std::lock_guard wait(gate); })); // a cancelled job, say
    CFirmwareDownload download(f.state, slot);
    CFirmware w(f, download);
    EXPECT_TRUE(w.dialog.versionBox().text().isEmpty()) << "not asked while busy";
    EXPECT_TRUE(f.messages.isEmpty());

    w.dialog.runCommand(id::GetVersion);
    f.files = {qs(image.file)};
    w.dialog.runCommand(id::Open);
    const std::size_t before = logLines().size();
    w.dialog.runCommand(id::Update);
    ASSERT_EQ(f.messages.size(), 2);
    EXPECT_TRUE(f.messages[0].startsWith(QStringLiteral("The keyboard is still busy")));
    EXPECT_EQ(f.messages[1], f.messages[0]);
    EXPECT_FALSE(download.running());
    EXPECT_TRUE(w.dialog.ready()) << "Update can be pressed again later";

    hold.unlock();
    slot.waitUntilFree();
    w.dialog.runCommand(id::Update);
    ASSERT_TRUE(waitFor([&] { return f.messages.size() == 3; }));
    EXPECT_TRUE(f.messages[2].startsWith(QStringLiteral("The Firmware is downloaded")));
    EXPECT_EQ(receivedSince(before, image.records.size()).size(), image.records.size());
}

// To a screen reader the dialog is its buttons (the cross as "Close"), the
// download's bar as a progress bar, and the two boxes named by what they hold.
TEST(FirmwareDialog, AScreenReaderFindsTheButtonsTheBarAndTheNamedBoxes) {
    CDeviceFixture f(1);
    CFirmwareDownload download(f.state, f.slot);
    CFirmware w(f, download);
    ASSERT_TRUE(w.initialised);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w.dialog);
    ASSERT_NE(window, nullptr);
    std::map<QString, QAccessible::Role> children;
    for (int i = 0; i < window->childCount(); ++i) {
        children[window->child(i)->text(QAccessible::Name)] = window->child(i)->role();
    }
    const std::map<QString, QAccessible::Role> expected = {
        {QStringLiteral("关闭"), QAccessible::Button},
        {QStringLiteral("获取固件版本"), QAccessible::Button},
        {QStringLiteral("打开"), QAccessible::Button},
        {QStringLiteral("更新"), QAccessible::Button},
        {QStringLiteral("取消"), QAccessible::Button},
        {QStringLiteral("键盘固件升级"), QAccessible::ProgressBar},
        {QStringLiteral("固件版本"), QAccessible::EditableText},
        {QStringLiteral("固件文件"), QAccessible::EditableText},
    };
    EXPECT_EQ(children, expected);
}
