// The parts of talvikctl that need no keyboard: the language, message
// filling, JSON strings, the progress display, the holders of a node, and
// the command line's own answers.

#include "CtlRunner.h"
#include "CtlText.h"
#include "Holders.h"
#include "Output.h"
#include "Progress.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <memory>

using namespace talvik::ctl;
using namespace talvik::test;
namespace fs = std::filesystem;

TEST(CtlText, Language_FirstSetLocaleVariableDecides) {
    constexpr auto kChinese = talvik::text::Language::Chinese;
    constexpr auto kEnglish = talvik::text::Language::English;
    EXPECT_EQ(languageForLocale(nullptr, nullptr, nullptr), kEnglish);
    EXPECT_EQ(languageForLocale(nullptr, nullptr, "zh_CN.UTF-8"), kChinese);
    EXPECT_EQ(languageForLocale(nullptr, "zh_TW.UTF-8", "en_GB.UTF-8"), kChinese);
    EXPECT_EQ(languageForLocale("C", "zh_CN.UTF-8", "zh_CN.UTF-8"), kEnglish) << "LC_ALL wins";
    EXPECT_EQ(languageForLocale("", "", "zh_SG"), kChinese) << "empty counts as not set";
    EXPECT_EQ(languageForLocale(nullptr, nullptr, "de_DE.UTF-8"), kEnglish);
}

TEST(CtlText, Fill_ArgumentsAreNeverReadAsFormats) {
    EXPECT_EQ(fill("%1 and %2", {"a", "b"}), "a and b");
    EXPECT_EQ(fill("%1", {"%2 100%"}), "%2 100%");
    EXPECT_EQ(fill("%3 stays, 50% too", {"x"}), "%3 stays, 50% too");
    EXPECT_EQ(fill("ends in %", {}), "ends in %");
}

TEST(CtlOutput, JsonStringsParseBack) {
    for (const std::string& text :
         std::vector<std::string>{"plain", "quote \" backslash \\ ", "tab\tline\nreturn\r",
                                  std::string("bell\x07 nul") + '\0' + "end", "中文 ~ `"}) {
        const nlohmann::json parsed = nlohmann::json::parse(jsonString(text));
        EXPECT_EQ(parsed.get<std::string>(), text);
    }
}

TEST(CtlOutput, WideTextAndColumns) {
    const wchar_t version[] = {L'V', 0x4E2D, 0x1F600, 0xD800, 0};
    EXPECT_EQ(utf8FromWide(version), "V\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_EQ(padded("Esc", 6), "Esc   ");
    EXPECT_EQ(padded("按键", 6), "按键  ") << "Chinese characters are two cells wide";
    EXPECT_EQ(padded("too long", 3), "too long");
}

namespace {

// The progress display's output, fed with the library's messages.
std::string progressOutput(bool terminal, std::function<int(WPARAM)> toPercent,
                           const std::vector<WPARAM>& posts) {
    CTempDir dir;
    const fs::path file = dir.path() / "progress";
    std::FILE* out = std::fopen(file.c_str(), "w");
    {
        CProgress progress(out, terminal, "Writing", std::move(toPercent));
        for (WPARAM value : posts) {
            PostMessageW(progress.window(), WM_TALVIK_PROGRESS, value, 0);
        }
        PostMessageW(progress.window(), WM_TALVIK_JOBDONE, 0, 0);
    }
    std::fclose(out);
    return readFile(file);
}

} // namespace

TEST(CtlProgress, PlainLinesEveryTenth_BarRedrawnInPlaceOnATerminal) {
    std::vector<WPARAM> slots;
    for (WPARAM slot = 0; slot < 174; ++slot) {
        slots.push_back(slot);
    }
    const std::string lines = progressOutput(false, CProgress::slotPercent, slots);
    EXPECT_EQ(lines, "Writing: 0%\nWriting: 10%\nWriting: 20%\nWriting: 30%\nWriting: 40%\n"
                     "Writing: 50%\nWriting: 60%\nWriting: 70%\nWriting: 80%\nWriting: 90%\n"
                     "Writing: 100%\n");
    EXPECT_EQ(lines.find('\r'), std::string::npos);

    const std::string bar = progressOutput(true, CProgress::firmwarePercent, {37, 75, 112, 150});
    const auto frame = [](int filled, const char* percent) {
        return "\rWriting [" + std::string(filled, '#') + std::string(30 - filled, '.') + "] " +
               percent;
    };
    EXPECT_EQ(bar,
              frame(7, " 24%") + frame(15, " 50%") + frame(22, " 74%") + frame(30, "100%") + "\n")
        << "one line redrawn, ended once the transfer is over";
    EXPECT_TRUE(progressOutput(false, CProgress::slotPercent, {}).empty());
    EXPECT_EQ(CProgress::firmwarePercent(300), 100);
}

TEST(CtlHolders, ProcessesWithTheNodeOpenAreNamed) {
    CTempDir proc;
    const fs::path node = proc.path() / "hidraw3";
    writeFile(node, "");
    const auto process = [&](const char* pid, const char* name, const fs::path& target) {
        fs::create_directories(proc.path() / pid / "fd");
        writeFile(proc.path() / pid / "comm", std::string(name) + "\n");
        fs::create_symlink(target, proc.path() / pid / "fd" / "7");
    };
    process("120", "Talvik", node);
    process("121", "bash", proc.path() / "elsewhere");
    process("self", "talvikctl", node);          // not a process number
    fs::create_directories(proc.path() / "122"); // gone, or hidden from us: no fd folder
    EXPECT_EQ(processesHolding(node.string(), proc.path().string()),
              std::vector<std::string>{"Talvik (pid 120)"});
    EXPECT_TRUE(processesHolding(node.string(), (proc.path() / "none").string()).empty());
}

TEST(CtlCommandLine, HelpVersionAndUsageErrors) {
    const SCtlRun help = runCtl({"--help"}, {});
    EXPECT_EQ(help.status, 0);
    for (const char* command :
         {"list", "version", "read", "write", "counters", "firmware", "backups", "restore"}) {
        EXPECT_NE(help.out.find(std::string("  ") + command), std::string::npos) << command;
        const SCtlRun commandHelp = runCtl({command, "--help"}, {});
        EXPECT_EQ(commandHelp.status, 0) << command;
        EXPECT_NE(commandHelp.out.find(std::string("talvikctl ") + command), std::string::npos);
    }
    EXPECT_TRUE(help.err.empty());
    EXPECT_EQ(runCtl({"--version"}, {}).out, "talvikctl " TALVIK_TEST_VERSION "\n");

    struct SCase {
        std::vector<std::string> args;
        const char* says;
    };
    for (const SCase& c :
         {SCase{{}, "A subcommand is required"}, SCase{{"flash"}, "Unknown command: flash"},
          SCase{{"read"}, "PROFILE is required"}, SCase{{"counters", "--tsv"}, "--tsv"},
          SCase{{"counters", "--csv", "--json"}, "--json"},
          SCase{{"--wait", "soon", "list"}, "--wait"},
          SCase{{"write", "a.pro", "b.pro"}, "b.pro"}}) {
        const SCtlRun run = runCtl(c.args, {});
        EXPECT_EQ(run.status, 2) << c.says;
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    const SCtlRun chinese = runCtl({"flash"}, {{"LC_MESSAGES", "zh_CN.UTF-8"}});
    EXPECT_NE(chinese.err.find("没有这个命令：flash"), std::string::npos) << chinese.err;
    EXPECT_NE(runCtl({"--help"}, {{"LANG", "zh_CN.UTF-8"}}).out.find("用法"), std::string::npos);
}

namespace {

// What the installed completion offers for a command line typed so far.
std::string completions(const std::string& typed, const fs::path& cwd) {
    CTempDir dir;
    const fs::path script = dir.path() / "complete.sh";
    writeFile(script, "cd '" + cwd.string() +
                          "' || exit 1\n"
                          "source '" TALVIK_SOURCE_DIR "/app/ctl/talvikctl.bash'\n"
                          "read -ra COMP_WORDS <<< \"$1\"\n"
                          "[[ $1 == *' ' ]] && COMP_WORDS+=('')\n"
                          "COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))\n"
                          "_talvikctl\n"
                          "printf '%s\\n' \"${COMPREPLY[@]}\" | sort | tr '\\n' ' '\n");
    const fs::path out = dir.path() / "out";
    const std::string command =
        "bash '" + script.string() + "' '" + typed + "' > '" + out.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << typed;
    return readFile(out);
}

} // namespace

TEST(CtlCompletion, CommandsOptionsAndFilesOfTheCommandsKind) {
    CTempDir files;
    for (const char* name : {"a.pro", "b.bin", "notes.txt"}) {
        writeFile(files.path() / name, "");
    }
    fs::create_directory(files.path() / "profiles");
    EXPECT_EQ(completions("talvikctl ", files.path()),
              "backups counters firmware list read restore version write ");
    EXPECT_EQ(completions("talvikctl --wait 5 c", files.path()), "counters ");
    EXPECT_EQ(completions("talvikctl counters --", files.path()), "--csv --help --json --since ");
    EXPECT_EQ(completions("talvikctl list --", files.path()), "--help --json ");
    EXPECT_EQ(completions("talvikctl write ", files.path()), "a.pro profiles ");
    EXPECT_EQ(completions("talvikctl restore ", files.path()), "a.pro latest profiles ");
    EXPECT_EQ(completions("talvikctl write --", files.path()), "--help --no-backup ");
    EXPECT_EQ(completions("talvikctl firmware ", files.path()), "b.bin profiles ");
    EXPECT_EQ(completions("talvikctl version ", files.path()), " ");

    // The manual names every command the completion offers.
    const std::string manual = readFile(TALVIK_SOURCE_DIR "/app/ctl/talvikctl.1.in");
    for (const std::string command :
         {"list", "version", "read", "write", "counters", "firmware", "backups", "restore"}) {
        const bool described = manual.find("\n.B " + command) != std::string::npos ||
                               manual.find("\n.BR " + command) != std::string::npos ||
                               manual.find("\n.BI " + command) != std::string::npos;
        EXPECT_TRUE(described) << command;
    }
}
