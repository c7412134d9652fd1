// Start-up: model detection with its retries, the skin file, and the order
// in which the program comes up.

#include "MainWindowFixture.h"

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
    EXPECT_EQ(seen, (std::vector<std::string>{"3 zh-CN skin", "Keyboard is not connected!"}));
    EXPECT_EQ(d.calls, 2);
    EXPECT_EQ(d.sleeps.size(), 1u);
    EXPECT_TRUE(app.m_bmpMainNormal.isNull()) << "the skin is released at the end";
}
