// Start-up: model detection with its retries, the skin file, and the order
// in which the program comes up.

#include "MainWindowFixture.h"
#include "talvik/shell/InstallPaths.h"

#include <QFile>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using talvik::shell::COrsaApp;
using talvik::shell::CStartupHooks;
using talvik::shell::detectModel;

namespace {

struct CDetector {
    explicit CDetector(std::vector<int> given) : answers(std::move(given)) {}
    std::vector<int> answers; // the last one repeats
    int calls = 0;
    std::vector<int> sleeps;

    int detect() {
        const auto i = static_cast<std::size_t>(calls++);
        return i < answers.size() ? answers[i] : answers.back();
    }
};

} // namespace

TEST(Startup, KeyboardPresentMeansOneDetectionAndNoSleep) {
    CDetector d({4});
    EXPECT_EQ(detectModel([&] { return d.detect(); }, [&](int ms) { d.sleeps.push_back(ms); }), 4);
    EXPECT_EQ(d.calls, 1);
    EXPECT_TRUE(d.sleeps.empty());
}

TEST(Startup, KeyboardPluggedInDuringDetectionIsFoundOnTheNextRetry) {
    CDetector d({0, 0, 2});
    EXPECT_EQ(detectModel([&] { return d.detect(); }, [&](int ms) { d.sleeps.push_back(ms); }), 2);
    EXPECT_EQ(d.calls, 3);
    EXPECT_EQ(d.sleeps, (std::vector<int>{1000, 1000})) << "the successful retry sleeps too";
}

TEST(Startup, NoKeyboardGivesUpAfterTwelveCalls) {
    CDetector d({0});
    EXPECT_EQ(detectModel([&] { return d.detect(); }, [&](int ms) { d.sleeps.push_back(ms); }), 0);
    EXPECT_EQ(d.calls, 12);
    EXPECT_EQ(d.sleeps.size(), 11u);
}

TEST(Startup, MissingOrBrokenSkinIsReportedNotCrashed) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices());
    COrsaApp app(state);
    QString error;
    EXPECT_FALSE(app.loadSkin(1, error, QStringLiteral("/nonexistent/TalvikRES.rcc")));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/TalvikRES.rcc")));
    EXPECT_TRUE(app.m_bmpMainNormal.isNull());

    talvik::test::CTempDir dir;
    const auto garbage = dir.path() / "TalvikRES.rcc";
    talvik::test::writeFile(garbage, "not a resource file");
    error.clear();
    EXPECT_FALSE(app.loadSkin(1, error, QString::fromStdString(garbage.string())));
    EXPECT_FALSE(error.isEmpty());

    std::vector<QString> failures;
    CStartupHooks hooks;
    hooks.detect = [] { return 1; };
    hooks.sleep = [](int) {};
    hooks.fail = [&](const QString& text) { failures.push_back(text); };
    hooks.resourcePath = QStringLiteral("/nonexistent/TalvikRES.rcc");
    EXPECT_EQ(app.run(hooks), 1);
    EXPECT_EQ(failures.size(), 1u);
}

TEST(Startup, RunsDetectionSkinTablesAndWindowInOrder) {
    talvik::test::qtApp();
    CAppState state(CDeviceEnvironment::withoutDevices());
    COrsaApp app(state);
    CDetector d({0, 3});
    std::vector<std::string> seen;
    CStartupHooks hooks;
    hooks.detect = [&] { return d.detect(); };
    hooks.sleep = [&](int ms) { d.sleeps.push_back(ms); };
    hooks.resourcePath = talvik::test::builtSkinPath();
    hooks.prepareWindow = [&](talvik::shell::COrsaDlg& window) {
        // By now the model is known, the skin loaded and the tables built.
        seen.push_back(std::to_string(state.modelNumber) + " " + state.languageTag + " " +
                       (app.m_bmpMainNormal.isNull() ? "no skin" : "skin"));
        window.setKeyboardLink({[] { return false; }, [] { return false; }, [] { return false; }});
        window.setMessageSink([&](const QString& text) { seen.push_back(text.toStdString()); });
    };
    EXPECT_EQ(app.run(hooks), 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "3 zh-CN skin");
    EXPECT_EQ(seen[1].rfind("Keyboard is not connected!", 0), 0u) << seen[1];
    EXPECT_EQ(d.calls, 2);
    EXPECT_EQ(d.sleeps.size(), 1u);
    EXPECT_TRUE(app.m_bmpMainNormal.isNull()) << "the skin is released at the end";
}

// An installed program finds its skin, help and udev rule from its own
// folder, under any prefix; a build tree keeps them beside the program.
TEST(InstallPaths, DataIsFoundBesideTheProgramOrUnderItsPrefix) {
    using talvik::shell::dataDirectory;
    using talvik::shell::dataFilePath;
    using talvik::shell::installedUdevRule;
    talvik::test::CTempDir prefix;
    const auto bin = prefix.path() / "opt dir" / "bin";
    const auto share = prefix.path() / "opt dir" / "share" / "talvik";
    const QString program = QString::fromStdString(bin.string());
    std::filesystem::create_directories(bin);

    // Nothing anywhere: the program's folder, so messages name where it looked.
    EXPECT_EQ(dataDirectory(program), program);
    EXPECT_TRUE(installedUdevRule(program).isEmpty());

    talvik::test::writeFile(share / "TalvikRES.rcc", "skin");
    talvik::test::writeFile(
        prefix.path() / "opt dir" / "lib" / "udev" / "rules.d" / "70-talvik.rules", "rule");
    EXPECT_EQ(dataDirectory(program), QString::fromStdString(share.string()));
    EXPECT_EQ(dataFilePath(QStringLiteral("help/index.html"), program),
              QString::fromStdString((share / "help" / "index.html").string()));
    EXPECT_TRUE(installedUdevRule(program).endsWith(
        QStringLiteral("/opt dir/lib/udev/rules.d/70-talvik.rules")));

    // A skin beside the program (a build tree) wins over an installed one.
    talvik::test::writeFile(bin / "TalvikRES.rcc", "skin");
    EXPECT_EQ(dataDirectory(program), program);
}
