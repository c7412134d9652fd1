#include "CtlApp.h"

#include "Commands.h"
#include "CtlText.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

#ifndef TALVIK_VERSION
#define TALVIK_VERSION "unknown"
#endif

namespace talvik::ctl {
namespace {

struct SHelp {
    SText program;
    SText list, version, read, write, counters, firmware, backups, restore;
    SText noBackup, restoreFile;
    SText json, csv, since, profileRead, profileWrite, firmwareFile, wait, help, showVersion;
    SText options, commands, arguments, usage, footer;
};

const SHelp kHelp = {
    {"通过命令行读写 Talvik 键盘：按键设置、背光、按键计数和固件。",
     "The Talvik keyboard from the command line: key settings, backlight, press counters and "
     "firmware."},
    {"列出找到的键盘、型号、设备节点以及能否打开",
     "List the keyboards found: model, hidraw node and whether each can be opened"},
    {"显示键盘的固件版本", "Show the keyboard's firmware version"},
    {"从键盘读取按键设置和背光，保存为配置文件",
     "Read keys and backlight from the keyboard and save them as a profile"},
    {"把配置文件中的按键设置和背光写入键盘",
     "Write the keys and backlight of a profile to the keyboard"},
    {"显示 87 个按键的按键计数，以及按得最多和最少的按键",
     "Show the 87 press counters and the most and least pressed key"},
    {"检查固件文件并下载到键盘", "Check a firmware image and download it into the keyboard"},
    {"列出写入前保存的备份，最新的在前", "List the backups saved before writes, newest first"},
    {"把备份写回键盘（写入前同样先备份）",
     "Write a backup back to the keyboard (backing up first, as write does)"},
    {"写入前不备份键盘的设置", "Do not back up the keyboard's settings before writing"},
    {"备份文件，或 latest（默认）：所连型号最新的备份",
     "A backup file, or latest (the default): the newest backup of the connected model"},
    {"以 JSON 格式输出", "Print JSON"},
    {"以 CSV 格式输出（按键编号、名称、次数、占比）",
     "Print CSV: key number, key name, count, share"},
    {"只显示某次保存的读取以来的敲击：保存的计数文件，或日期 YYYY-MM-DD[ "
     "HH:MM]（该时刻或之前最新的一次读取）",
     "Only the presses since an earlier read: a kept read's file, or a date YYYY-MM-DD[ HH:MM] "
     "(the newest read at or before it)"},
    {"要保存的配置文件（.pro）", "The profile to save (.pro)"},
    {"要写入的配置文件（.pro）", "The profile to write (.pro)"},
    {"固件文件（.bin），文件名须以型号名加“_”开头",
     "The firmware image (.bin); its name must begin with the model's name and \"_\""},
    {"等待键盘接入（或命令中断开后重新接入），最多 SECONDS 秒",
     "Wait up to SECONDS for a keyboard to appear, or to come back during a command"},
    {"显示帮助并退出", "Print this help and exit"},
    {"显示版本并退出", "Print the version and exit"},
    {"选项", "Options"},
    {"命令", "Commands"},
    {"参数", "Arguments"},
    {"用法", "Usage"},
    {"退出状态：0 成功；1 键盘没有完整应答；2 命令行有误；3 没有可用的键盘；"
     "4 文件无法读取、写入或使用（没有向键盘发送任何数据）。",
     "Exit status: 0 success; 1 the keyboard did not answer in full; 2 wrong command line; "
     "3 no keyboard that can be used; 4 a file that cannot be read, written or used (nothing "
     "was sent)."},
};

struct SArguments {
    bool json = false;
    bool csv = false;
    SCountersOptions counters;
    bool noBackup = false;
    std::string file;
    std::function<int(const CCtlContext&)> run;
    // Whether running the command again does what it would have done once: every
    // command but the firmware download, which is never sent twice unasked.
    bool runAgain = true;
};

// How often a command runs again after its keyboard went away under it.
constexpr int kRunsAgain = 3;

void localise(CLI::App& app, text::Language language) {
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->label("Usage", std::string(tr(language, kHelp.usage)));
    formatter->label("Positionals", std::string(tr(language, kHelp.arguments)));
    formatter->label("OPTIONS", std::string(tr(language, kHelp.options)));
    formatter->label("SUBCOMMAND", std::string(tr(language, kHelp.commands)));
    formatter->label("REQUIRED", "");
    formatter->column_width(24);
    app.formatter(formatter);
}

CLI::App* addCommand(CLI::App& app, text::Language language, const char* name,
                     const SText& description) {
    CLI::App* command = app.add_subcommand(name, std::string(tr(language, description)));
    command->group(std::string(tr(language, kHelp.commands)));
    command->get_help_ptr()->group(std::string(tr(language, kHelp.options)));
    return command;
}

void addNoBackup(CLI::App& command, text::Language language, SArguments& args) {
    command.add_flag("--no-backup", args.noBackup, std::string(tr(language, kHelp.noBackup)))
        ->group(std::string(tr(language, kHelp.options)));
}

void addCommands(CLI::App& app, text::Language language, SArguments& args) {
    const std::string options(tr(language, kHelp.options));
    CLI::App* list = addCommand(app, language, "list", kHelp.list);
    list->add_flag("--json", args.json, std::string(tr(language, kHelp.json)))->group(options);
    list->callback([&] { args.run = [&](const CCtlContext& c) { return runList(c, args.json); }; });

    CLI::App* version = addCommand(app, language, "version", kHelp.version);
    version->callback([&] { args.run = runVersion; });

    CLI::App* read = addCommand(app, language, "read", kHelp.read);
    read->add_option("PROFILE", args.file, std::string(tr(language, kHelp.profileRead)))
        ->type_name("")
        ->required();
    read->callback([&] { args.run = [&](const CCtlContext& c) { return runRead(c, args.file); }; });

    CLI::App* write = addCommand(app, language, "write", kHelp.write);
    write->add_option("PROFILE", args.file, std::string(tr(language, kHelp.profileWrite)))
        ->type_name("")
        ->required();
    addNoBackup(*write, language, args);
    write->callback([&] {
        args.run = [&](const CCtlContext& c) { return runWrite(c, args.file, !args.noBackup); };
    });

    CLI::App* counters = addCommand(app, language, "counters", kHelp.counters);
    counters->add_flag("--json", args.json, std::string(tr(language, kHelp.json)))->group(options);
    CLI::Option* csv =
        counters->add_flag("--csv", args.csv, std::string(tr(language, kHelp.csv)))->group(options);
    csv->excludes("--json");
    counters->add_option("--since", args.counters.since, std::string(tr(language, kHelp.since)))
        ->type_name("FILE|DATE")
        ->group(options);
    counters->callback([&] {
        args.counters.format = args.json  ? ECountersFormat::Json
                               : args.csv ? ECountersFormat::Csv
                                          : ECountersFormat::Table;
        args.run = [&](const CCtlContext& c) { return runCounters(c, args.counters); };
    });

    CLI::App* firmware = addCommand(app, language, "firmware", kHelp.firmware);
    firmware->add_option("FILE", args.file, std::string(tr(language, kHelp.firmwareFile)))
        ->type_name("")
        ->required();
    addNoBackup(*firmware, language, args);
    firmware->callback([&] {
        args.run = [&](const CCtlContext& c) { return runFirmware(c, args.file, !args.noBackup); };
        args.runAgain = false;
    });

    CLI::App* backups = addCommand(app, language, "backups", kHelp.backups);
    backups->callback([&] { args.run = runBackups; });

    CLI::App* restore = addCommand(app, language, "restore", kHelp.restore);
    restore->add_option("FILE", args.file, std::string(tr(language, kHelp.restoreFile)))
        ->type_name("");
    addNoBackup(*restore, language, args);
    restore->callback([&] {
        args.run = [&](const CCtlContext& c) { return runRestore(c, args.file, !args.noBackup); };
    });
}

// CLI11 words its complaints in English; the kind of complaint is said in the
// user's language, the detail (which names options and files) as CLI11 gives it.
int usageError(const CCtlContext& context, const CLI::App& app, const CLI::ParseError& error) {
    const std::vector<std::string> left = app.remaining();
    if (app.get_subcommands().empty() && !left.empty() && !left.front().starts_with("-")) {
        context.say(fill(tr(context.language, msg::kUnknownCommand), {left.front()}));
    } else {
        context.say(fill(tr(context.language, msg::kUsageError), {error.what()}));
    }
    context.say(tr(context.language, msg::kUsageHint));
    return kExitUsage;
}

} // namespace

int runTalvikctl(int argc, char** argv, CCtlContext context) {
    const text::Language language = context.language;
    CLI::App app(std::string(tr(language, kHelp.program)), "talvikctl");
    localise(app, language);
    app.set_help_flag("-h,--help", std::string(tr(language, kHelp.help)));
    app.get_help_ptr()->group(std::string(tr(language, kHelp.options)));
    app.set_version_flag("--version", "talvikctl " TALVIK_VERSION,
                         std::string(tr(language, kHelp.showVersion)))
        ->group(std::string(tr(language, kHelp.options)));
    app.add_option("--wait", context.waitSeconds, std::string(tr(language, kHelp.wait)))
        ->option_text("SECONDS")
        ->check(CLI::Range(0, 3600))
        ->group(std::string(tr(language, kHelp.options)));
    app.footer(std::string(tr(language, kHelp.footer)));
    app.require_subcommand(1);
    app.fallthrough();

    SArguments args;
    addCommands(app, language, args);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), context.out);
        return kExitOk;
    } catch (const CLI::CallForVersion& version) {
        std::fprintf(context.out, "%s\n", version.what());
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        return usageError(context, app, error);
    }
    if (!args.run) {
        return kExitUsage;
    }
    // With --wait, a keyboard that re-enumerates during a command (a hub that
    // resets, a keyboard that restarts after a download) costs the command a
    // second run, once it is back, rather than the whole command.
    int status = args.run(context);
    for (int again = 0; again < kRunsAgain && status == kExitFailed && args.runAgain &&
                        context.waitSeconds > 0 && context.keyboardWentAway();
         ++again) {
        context.say(tr(context.language, msg::kRunAgain));
        status = args.run(context);
    }
    return status;
}

} // namespace talvik::ctl
