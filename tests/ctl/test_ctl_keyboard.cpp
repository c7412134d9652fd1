// talvikctl against the simulated keyboard, run as its own process with a
// state file that keeps the keyboard's memory from one run to the next, as a
// real keyboard keeps it between two commands.

#include "CtlRunner.h"
#include "FullProfile.h"

#include "support/TestSupport.h"

#include "talvik/profile/Profile.h"
#include "talvik/text/NumberedKeys.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

using namespace talvik::profile;

using namespace talvik::model;

using namespace talvik::test;
namespace fs = std::filesystem;

namespace {

class CtlKeyboard : public ::testing::Test {
protected:
    CTempDir dir;
    fs::path state = dir.path() / "keyboard.state";
    fs::path log = dir.path() / "traffic.log";
    fs::path data = dir.path() / "data";
    fs::path backups = data / "talvik" / "backups";

    CtlEnvironment keyboard(int model, const std::string& fault = {}) const {
        CtlEnvironment environment{{"TALVIK_SIMULATOR", std::to_string(model)},
                                   {"TALVIK_SIMULATOR_STATE", state.string()},
                                   {"TALVIK_SIMULATOR_LOG", log.string()},
                                   {"XDG_DATA_HOME", data.string()}};
        if (!fault.empty()) {
            environment.emplace_back("TALVIK_SIMULATOR_FAULT", fault);
        }
        return environment;
    }

    // What the program sent the keyboard, one report a line.
    std::vector<std::string> sent() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(log));
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("W ")) {
                lines.push_back(line.substr(2));
            }
        }
        return lines;
    }

    fs::path profileFor(int model, const std::string& name) const {
        auto appState = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
        appState->buildNameTables();
        appState->modelNumber = model;
        appState->resetToDefaults();
        assignEveryKey(*appState);
        const fs::path path = dir.path() / name;
        EXPECT_TRUE(saveProfile(*appState, path.string()).ok());
        return path;
    }
};

std::unique_ptr<CAppState> loaded(int model, const fs::path& path) {
    auto appState = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
    appState->buildNameTables();
    appState->modelNumber = model;
    appState->resetToDefaults();
    EXPECT_TRUE(loadProfile(*appState, path.string()).ok()) << path;
    return appState;
}

// What reaches the keyboard: each key's definition and each key's colour.
void expectSameOnKeyboard(const CAppState& a, const CAppState& b) {
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            EXPECT_EQ(a.buildKeyDefinition(level, key), b.buildKeyDefinition(level, key))
                << "key " << key << " layer " << level;
        }
        const LightArea &la = a.keyConfig.LightAreas[key], &lb = b.keyConfig.LightAreas[key];
        EXPECT_TRUE(la.Red == lb.Red && la.Green == lb.Green && la.Blue == lb.Blue)
            << "key " << key;
    }
}

} // namespace

TEST_F(CtlKeyboard, WriteThenRead_TheTwoProfilesHoldTheSameConfiguration) {
    const fs::path written = profileFor(2, "written.pro");
    const SCtlRun write = runCtl({"write", "--no-backup", written.string()}, keyboard(2));
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_FALSE(fs::exists(backups));
    EXPECT_EQ(sent().size(), 176u + 7u) << "a key table with every slot, then the light area";

    const fs::path readBack = dir.path() / "read.pro";
    const SCtlRun read = runCtl({"read", readBack.string()}, keyboard(2));
    ASSERT_EQ(read.status, 0) << read.err;
    expectSameOnKeyboard(*loaded(2, written), *loaded(2, readBack));
}

TEST_F(CtlKeyboard, WriteOfALegacyEncodedProfile_WritesItAndSaysHowItWasRead) {
    const fs::path utf8 = profileFor(1, "utf8.pro");
    const fs::path legacy = dir.path() / "legacy.pro";
    writeFile(legacy, readFile(utf8) + "<!-- Caf\xE9 -->\r\n");
    const SCtlRun run = runCtl({"write", "--no-backup", legacy.string()}, keyboard(1));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("is not UTF-8; its text was read as Windows-1252"), std::string::npos)
        << run.err;
    EXPECT_EQ(sent().size(), 176u + 7u);
    expectSameOnKeyboard(*loaded(1, utf8), *loaded(1, legacy));
}

TEST_F(CtlKeyboard, WriteOfAnotherModelsProfile_FailsAndLeavesTheKeyboardAlone) {
    ASSERT_EQ(runCtl({"write", profileFor(3, "first.pro").string()}, keyboard(3)).status, 0);
    const std::string before = readFile(state);
    fs::remove(log);

    const SCtlRun run = runCtl({"write", profileFor(4, "other.pro").string()}, keyboard(3));
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("Talvik(RGB)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Talvik(S)"), std::string::npos) << run.err;
    EXPECT_TRUE(sent().empty()) << "no report reached the keyboard";
    EXPECT_EQ(readFile(state), before);
}

TEST_F(CtlKeyboard, WriteOfUnreadableOrDamagedProfiles_IsRefusedWithTheReason) {
    const fs::path damaged = profileFor(1, "damaged.pro");
    std::string text = readFile(damaged);
    text.replace(text.find("<KEY ID=\"5\""), 9, "<KEY ID=\"500\"");
    writeFile(damaged, text);
    const fs::path notXml = dir.path() / "notes.pro";
    writeFile(notXml, "just some notes\n");

    struct SCase {
        fs::path file;
        const char* reason;
    };
    for (const SCase& c : {SCase{dir.path() / "missing.pro", "could not be read"},
                           SCase{notXml, "not a profile"}, SCase{damaged, "damaged"}}) {
        const SCtlRun run = runCtl({"write", c.file.string()}, keyboard(1));
        EXPECT_EQ(run.status, 4) << c.file;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Nothing was written"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(sent().empty());
}

// The head of a real profile, then a sparse hole to two gigabytes: only the size refuses it,
// and before anything is read, in either language.
TEST_F(CtlKeyboard, WriteOfAProfileBeyondTheSizeBound_IsRefusedUnread) {
    const fs::path huge = profileFor(1, "huge.pro");
    fs::resize_file(huge, std::uintmax_t{2} << 30);
    const SCtlRun english = runCtl({"write", huge.string()}, keyboard(1));
    EXPECT_EQ(english.status, 4);
    EXPECT_NE(english.err.find("The profile " + huge.string() + " is larger than 512 MB"),
              std::string::npos)
        << english.err;
    EXPECT_NE(english.err.find("Nothing was written"), std::string::npos) << english.err;

    CtlEnvironment chinese = keyboard(1);
    chinese.emplace_back("LANG", "zh_CN.UTF-8");
    const SCtlRun run = runCtl({"write", huge.string()}, chinese);
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("配置文件 " + huge.string() + " 超过 512 MB"), std::string::npos)
        << run.err;
    EXPECT_TRUE(sent().empty()) << "no report reached the keyboard";
}

TEST_F(CtlKeyboard, WriteOfAnOverlongCombination_SaysWhichKeyIsCut) {
    const fs::path path = profileFor(1, "long.pro");
    auto appState = loaded(1, path);
    CActionList combo(6);
    for (int i = 0; i < 60; ++i) {
        combo.append("A");
    }
    assignList(*appState, 10, 1, KeyMode::Combo, combo);
    ASSERT_TRUE(saveProfile(*appState, path.string()).ok());
    const SCtlRun run = runCtl({"write", path.string()}, keyboard(1));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Key 10 (Fn layer) holds more than one record"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("Key 9 "), std::string::npos) << "only the key that is cut";
}

TEST_F(CtlKeyboard, TransfersThatFail_EndWithStatusOneAndSaveNothing) {
    const SCtlRun write = runCtl({"write", "--no-backup", profileFor(1, "a.pro").string()},
                                 keyboard(1, "disconnect:40"));
    EXPECT_EQ(write.status, 1);
    EXPECT_NE(write.err.find("Writing the key settings to the keyboard failed"), std::string::npos)
        << write.err;

    const fs::path readBack = dir.path() / "never.pro";
    const SCtlRun read = runCtl({"read", readBack.string()}, keyboard(1, "silent"));
    EXPECT_EQ(read.status, 1);
    EXPECT_FALSE(fs::exists(readBack));

    const SCtlRun counters = runCtl({"counters"}, keyboard(1, "silent"));
    EXPECT_EQ(counters.status, 1);
    EXPECT_TRUE(counters.out.empty());
}

TEST_F(CtlKeyboard, CountersJson_ParsesAndNamesEightySevenKeys) {
    const SCtlRun run = runCtl({"counters", "--json"}, keyboard(4));
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc.at("model"), "Talvik(RGB)");
    const auto& counters = doc.at("counters");
    ASSERT_EQ(counters.size(), 87u);
    int most = 0;
    for (std::size_t i = 0; i < counters.size(); ++i) {
        const int key = counters[i].at("key");
        EXPECT_EQ(key, static_cast<int>(i) + 1);
        EXPECT_EQ(counters[i].at("name"), talvik::text::numberedKeyName(key));
        EXPECT_FALSE(counters[i].at("name").get<std::string>().empty());
        if (counters[i].at("presses").get<int>() > counters[most].at("presses").get<int>()) {
            most = static_cast<int>(i);
        }
    }
    // The two Shift keys keep one name, and the name is the caption, not the shorter legend.
    EXPECT_EQ(counters[54].at("name"), "Shift");
    EXPECT_EQ(counters[65].at("name"), "Shift");
    EXPECT_EQ(counters[77].at("name"), "Insert");
    ASSERT_TRUE(doc.at("mostPressed").is_object());
    EXPECT_EQ(doc.at("mostPressed").at("key"), most + 1);
}

namespace {

// A state file whose keyboard holds these counts and finds no new presses between reads.
std::string countersState(int a) {
    std::string counts = "counters";
    for (int key = 1; key <= 87; ++key) {
        const std::string_view name = talvik::text::numberedKeyName(key);
        counts += ' ' + std::to_string(name == "A" ? a : name == "Q" ? 500 : name == "S" ? 50 : 0);
    }
    return "talvik-simulator-state 1\nmodel 1\n" + counts + "\ntyping off\n";
}

std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) {
            fields.push_back(cell);
        }
        rows.push_back(fields);
    }
    return rows;
}

} // namespace

TEST_F(CtlKeyboard, CountersCsvAndSince_EveryReadIsKeptAndCountsFromAnEarlierOne) {
    writeFile(state, countersState(5000));
    const SCtlRun first = runCtl({"counters", "--csv"}, keyboard(1));
    ASSERT_EQ(first.status, 0) << first.err;
    const auto rows = csvRows(first.out);
    ASSERT_EQ(rows.size(), 88u) << "a header and 87 keys";
    EXPECT_EQ(rows[0], (std::vector<std::string>{"key", "name", "count", "share"}));
    double shares = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 4u) << i;
        EXPECT_EQ(rows[i][0], std::to_string(i));
        EXPECT_EQ(rows[i][1], talvik::text::numberedKeyName(static_cast<int>(i)));
        shares += std::stod(rows[i][3]);
    }
    EXPECT_NEAR(shares, 1.0, 1e-4);
    const fs::path kept = data / "talvik" / "counters";
    ASSERT_EQ(std::distance(fs::directory_iterator(kept), fs::directory_iterator()), 1);
    const fs::path firstRead = fs::directory_iterator(kept)->path();

    // A hundred more presses of A since.
    writeFile(state, countersState(5100));
    const SCtlRun since =
        runCtl({"counters", "--json", "--since", firstRead.string()}, keyboard(1));
    ASSERT_EQ(since.status, 0) << since.err;
    const nlohmann::json doc = nlohmann::json::parse(since.out);
    EXPECT_EQ(doc.at("total"), 100);
    EXPECT_EQ(doc.at("since").at("file"), firstRead.string());
    EXPECT_EQ(doc.at("mostPressed").at("name"), "A");
    const SCtlRun table = runCtl({"counters", "--since", "2001-01-01"}, keyboard(1));
    EXPECT_EQ(table.status, 4);
    EXPECT_NE(table.err.find("2001-01-01"), std::string::npos) << table.err;
    const SCtlRun bad = runCtl({"counters", "--since", "last tuesday"}, keyboard(1));
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.out.empty());

    // The keyboard was reset: what it shows starts anew.
    writeFile(state, countersState(10));
    const SCtlRun reset = runCtl({"counters", "--csv", "--since", firstRead.string()}, keyboard(1));
    ASSERT_EQ(reset.status, 0) << reset.err;
    EXPECT_NE(reset.err.find("reset"), std::string::npos) << reset.err;
    EXPECT_NE(reset.out.find("\n43,A,10,"), std::string::npos) << reset.out;
    EXPECT_EQ(std::distance(fs::directory_iterator(kept), fs::directory_iterator()), 4)
        << "every read is kept, that of a refused --since date too; a bad one reads nothing";
}

TEST_F(CtlKeyboard, Firmware_DamagedImageSendsNothing_GoodImageSendsItsRecordsInOrder) {
    const std::string good = ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                             ":04001000102030404C\r\n"
                             ":00000001FF\r\n";
    std::string bad = good;
    bad[50] = 'G'; // a digit that is none, in the second record
    writeFile(dir.path() / "Talvik(S)_bad.bin", bad);
    writeFile(dir.path() / "Talvik(S)_2.0.bin", good);
    writeFile(dir.path() / "Talvik(S)BLe_2.0.bin", good);

    const SCtlRun damaged =
        runCtl({"firmware", (dir.path() / "Talvik(S)_bad.bin").string()}, keyboard(3));
    EXPECT_EQ(damaged.status, 4);
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos) << damaged.err;
    const SCtlRun otherModel =
        runCtl({"firmware", (dir.path() / "Talvik(S)BLe_2.0.bin").string()}, keyboard(3));
    EXPECT_EQ(otherModel.status, 4);
    EXPECT_NE(otherModel.err.find("The firmware does not match,please select Talvik(S)"),
              std::string::npos)
        << otherModel.err;
    EXPECT_TRUE(sent().empty()) << "nothing of either file reached the keyboard";

    const SCtlRun download = runCtl(
        {"firmware", "--no-backup", (dir.path() / "Talvik(S)_2.0.bin").string()}, keyboard(3));
    EXPECT_EQ(download.status, 0) << download.err;
    const std::vector<std::string> records = sent();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[0].starts_with("003a10000000000102030405060708090a0b0c0d0e0f78"));
    EXPECT_TRUE(records[2].starts_with("003a00000001ff00"));
    EXPECT_NE(download.err.find("Downloading firmware: 100%"), std::string::npos) << download.err;
}

TEST_F(CtlKeyboard, VersionAndList_OnTheSimulatedKeyboard) {
    const SCtlRun version = runCtl({"version"}, keyboard(2));
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("Talvik(S)BLe V")) << version.out;

    const SCtlRun list = runCtl({"list", "--json"}, keyboard(2));
    ASSERT_EQ(list.status, 0);
    const nlohmann::json keyboards = nlohmann::json::parse(list.out);
    ASSERT_EQ(keyboards.size(), 1u);
    EXPECT_EQ(keyboards[0].at("model"), 2);
    EXPECT_EQ(keyboards[0].at("access"), "ok");
}

TEST_F(CtlKeyboard, NoKeyboard_StatusThreeAndTheProgramsMessage) {
    const fs::path unplugged = dir.path() / "unplugged";
    writeFile(unplugged, "");
    CtlEnvironment environment = keyboard(1);
    environment.emplace_back("TALVIK_SIMULATOR_UNPLUG_FILE", unplugged.string());
    for (const char* command : {"list", "version", "counters"}) {
        const SCtlRun run = runCtl({command}, environment);
        EXPECT_EQ(run.status, 3) << command;
        EXPECT_TRUE(run.out.empty()) << command;
    }
    const SCtlRun version = runCtl({"version"}, environment);
    EXPECT_NE(version.err.find("Keyboard is not connected!"), std::string::npos) << version.err;
    environment.emplace_back("LANG", "zh_CN.UTF-8");
    EXPECT_NE(runCtl({"version"}, environment).err.find("键盘未连接"), std::string::npos);
}

namespace {

std::vector<fs::path> backupFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::exists(folder)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST_F(CtlKeyboard, WriteAndFirmwareBackUpFirst_BackupsListsThem_RestoreLatestWritesTheNewestBack) {
    const fs::path assigned = profileFor(2, "assigned.pro");
    ASSERT_EQ(runCtl({"write", assigned.string()}, keyboard(2)).status, 0);
    ASSERT_EQ(backupFiles(backups).size(), 1u) << "the factory keyboard, before the first write";

    const fs::path factory = dir.path() / "factory.pro";
    {
        auto appState = std::make_unique<CAppState>(CDeviceEnvironment::withoutDevices());
        appState->buildNameTables();
        appState->modelNumber = 2;
        appState->resetToDefaults();
        ASSERT_TRUE(saveProfile(*appState, factory.string()).ok());
    }
    const SCtlRun second = runCtl({"write", factory.string()}, keyboard(2));
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.err.find("Backup saved: " + backups.string()), std::string::npos)
        << second.err;
    const std::vector<fs::path> saved = backupFiles(backups);
    ASSERT_EQ(saved.size(), 2u);
    expectSameOnKeyboard(*loaded(2, assigned), *loaded(2, saved.back()));

    const SCtlRun list = runCtl({"backups"}, keyboard(2));
    EXPECT_EQ(list.status, 0) << list.err;
    const std::size_t newest = list.out.find(saved[1].filename().string());
    const std::size_t older = list.out.find(saved[0].filename().string());
    ASSERT_NE(newest, std::string::npos) << list.out;
    ASSERT_NE(older, std::string::npos) << list.out;
    EXPECT_LT(newest, older) << "newest first";
    EXPECT_NE(list.out.find("Talvik(S)BLe"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("keys, lights"), std::string::npos) << list.out;

    const SCtlRun restore = runCtl({"restore", "latest"}, keyboard(2));
    ASSERT_EQ(restore.status, 0) << restore.err;
    const fs::path readBack = dir.path() / "read.pro";
    ASSERT_EQ(runCtl({"read", readBack.string()}, keyboard(2)).status, 0);
    expectSameOnKeyboard(*loaded(2, assigned), *loaded(2, readBack));
    EXPECT_EQ(backupFiles(backups).size(), 3u) << "restore backs up too";

    writeFile(dir.path() / "Talvik(S)BLe_2.0.bin", ":04001000102030404C\r\n:00000001FF\r\n");
    const SCtlRun firmware =
        runCtl({"firmware", (dir.path() / "Talvik(S)BLe_2.0.bin").string()}, keyboard(2));
    EXPECT_EQ(firmware.status, 0) << firmware.err;
    EXPECT_EQ(backupFiles(backups).size(), 4u) << firmware.err;
}

TEST_F(CtlKeyboard, RestoreWithoutABackupOfTheModel_IsRefusedAndSendsNothing) {
    const SCtlRun restore = runCtl({"restore"}, keyboard(1));
    EXPECT_EQ(restore.status, 4);
    EXPECT_NE(restore.err.find("No backup of"), std::string::npos) << restore.err;
    EXPECT_TRUE(sent().empty());
    const SCtlRun list = runCtl({"backups"}, keyboard(1));
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(list.out.empty());
    EXPECT_NE(list.err.find("No backups in"), std::string::npos) << list.err;
}

TEST_F(CtlKeyboard, BackupThatCannotBeMade_StopsTheWriteWithTheReason_NoBackupWritesAnyway) {
    // The data folder is a file: the backup folder cannot be made in it.
    writeFile(data, "");
    const fs::path profile = profileFor(1, "a.pro");
    const SCtlRun refused = runCtl({"write", profile.string()}, keyboard(1));
    EXPECT_EQ(refused.status, 4);
    EXPECT_NE(refused.err.find("The backup could not be saved in " + backups.string()),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--no-backup"), std::string::npos) << refused.err;
    const std::size_t readRequests = sent().size();
    const SCtlRun unread = runCtl({"write", profile.string()}, keyboard(1, "silent"));
    EXPECT_EQ(unread.status, 1);
    EXPECT_NE(unread.err.find("could not be read"), std::string::npos) << unread.err;
    EXPECT_EQ(sent().size(), readRequests + 1) << "only the first read request, no write";

    const SCtlRun forced = runCtl({"write", "--no-backup", profile.string()}, keyboard(1));
    EXPECT_EQ(forced.status, 0) << forced.err;
}

namespace {

// An Intel HEX image of `records` records of 16 bytes, and its end record.
std::string firmwareImage(int records) {
    std::string image;
    char line[64];
    for (int n = 0; n < records; ++n) {
        const unsigned address = static_cast<unsigned>(n) * 16;
        unsigned sum = 16 + (address >> 8) + (address & 0xFF);
        std::string data;
        for (unsigned i = 0; i < 16; ++i) {
            const unsigned byte = (address + i) & 0xFF;
            std::snprintf(line, sizeof line, "%02X", byte);
            data += line;
            sum += byte;
        }
        std::snprintf(line, sizeof line, ":10%04X00%s%02X\r\n", address & 0xFFFF, data.c_str(),
                      (0x100 - (sum & 0xFF)) & 0xFF);
        image += line;
    }
    return image + ":00000001FF\r\n";
}

} // namespace

// A keyboard that resets during a command and enumerates again (the simulator's
// replug fault keeps it away for a moment): without --wait the command fails;
// with it the command runs again once the keyboard is back, and what it wrote
// is all there.
TEST_F(CtlKeyboard, KeyboardReplugDuringACommand_WaitRunsItAgainOnceItIsBack) {
    const fs::path profile = profileFor(1, "assigned.pro");
    const std::string file = profile.string();
    const SCtlRun cut = runCtl({"write", "--no-backup", file}, keyboard(1, "replug:60"));
    EXPECT_EQ(cut.status, 1) << cut.err;

    const SCtlRun again =
        runCtl({"--wait", "30", "write", "--no-backup", file}, keyboard(1, "replug:60"));
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("running it again once it is back"), std::string::npos) << again.err;
    const fs::path back = dir.path() / "back.pro";
    ASSERT_EQ(runCtl({"read", back.string()}, keyboard(1)).status, 0);
    expectSameOnKeyboard(*loaded(1, profile), *loaded(1, back));

    // Gone before the version query even answered: asked again once it is back.
    const SCtlRun version = runCtl({"--wait", "30", "version"}, keyboard(1, "replug:0"));
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_FALSE(version.out.empty());

    // A firmware download is never sent twice unasked: it fails, and with --wait
    // the command stays until the keyboard is back and says what it runs.
    writeFile(dir.path() / "Talvik(RGB)BLe_2.0.bin", firmwareImage(200));
    const SCtlRun firmware = runCtl({"--wait", "30", "firmware", "--no-backup",
                                     (dir.path() / "Talvik(RGB)BLe_2.0.bin").string()},
                                    keyboard(1, "replug:1"));
    EXPECT_EQ(firmware.status, 1) << firmware.err;
    EXPECT_NE(firmware.err.find("The keyboard is back; its firmware version:"), std::string::npos)
        << firmware.err;
}
