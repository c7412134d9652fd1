#include "QtTestApp.h"

#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace talvik::test {
namespace {

std::unique_ptr<QApplication>& application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// Ends the application before the program's static objects go, so no widget
// or font outlives the Qt state it needs.
class CQtEnvironment : public ::testing::Environment {
public:
    void TearDown() override { application().reset(); }
};

[[maybe_unused]] const auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(std::make_unique<CQtEnvironment>().release());

} // namespace

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "talvik-test";
    static char* argv[] = {name, nullptr};
    if (!application()) {
        application() = std::make_unique<QApplication>(argc, argv);
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    }
    return *application();
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds atMost) {
    const QDeadlineTimer deadline(atMost);
    while (!done()) {
        if (deadline.hasExpired()) {
            return done();
        }
        QTest::qWait(5);
    }
    return true;
}

} // namespace talvik::test
