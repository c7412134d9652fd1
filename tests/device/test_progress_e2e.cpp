// The progress dialog on a real X server with the simulated keyboard: what
// the screen shows in the middle of a key write in both languages (saved when
// TALVIK_SCREENSHOT_DIR is set), and Cancel by a real click.

#include "ProgressTestSupport.h"

#include "support/TestSupport.h"

#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <tuple>

using namespace talvik::test;
using namespace talvik::device;
using namespace talvik::jobs;
using talvik::text::Language;

namespace {

void xdotool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << "xdotool failed";
}

// Out of every window's way; xdotool waits in vain for a move to where the
// pointer already is.
void pointerAway() {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("0"),
             QStringLiteral("0")});
}

void pointerTo(QWidget& window, QPoint at) {
    const QPoint p = window.mapToGlobal(at);
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(p.x()),
             QString::number(p.y())});
}

// Holds the job's messages from the progress step `freezeAt` on while
// `whileFrozen` runs, then lets them through in order: the worker goes on,
// but the window stays where that step put it long enough to be looked at.
class CFrozenProgress : public CWatchedProgress {
public:
    using CWatchedProgress::CWatchedProgress;

    WPARAM freezeAt = 0;
    std::function<void()> whileFrozen;

protected:
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (m_holding) {
            m_held.emplace_back(message, wParam, lParam);
            return;
        }
        CWatchedProgress::onWindowMessage(message, wParam, lParam);
        if (message == WM_TALVIK_PROGRESS && wParam == freezeAt && whileFrozen) {
            m_holding = true;
            std::exchange(whileFrozen, nullptr)();
            m_holding = false;
            for (const auto& [m, w, l] : std::exchange(m_held, {})) {
                CWatchedProgress::onWindowMessage(m, w, l);
            }
        }
    }

private:
    bool m_holding = false;
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> m_held;
};

QImage grabScreen(QWidget& window) {
    QTest::qWait(200); // let the server show the last repaint
    return window.screen()
        ->grabWindow(0, window.x(), window.y(), window.width(), window.height())
        .toImage();
}

} // namespace

TEST(ProgressOnScreen, MiddleOfAKeyWriteInBothLanguagesWithThePointerOverCancel) {
    ASSERT_TRUE(useFixtureDisplay());
    CProgressFixture f;
    ASSERT_TRUE(f.loaded);
    for (const char* language : {"zh", "en"}) {
        f.board.state.language =
            language == std::string("zh") ? Language::Chinese : Language::English;
        CFrozenProgress dialog(f, EJob::WriteKeys);
        dialog.setSleep([](auto) {});
        dialog.freezeAt = 100;
        QImage shot;
        pointerAway(); // it comes onto Cancel from outside the window
        dialog.whileFrozen = [&] {
            pointerTo(dialog, dialog.centreOf(1));
            shot = grabScreen(dialog);
            EXPECT_EQ(dialog.percent(), 66);
            EXPECT_TRUE(dialog.elements()[1].hovered) << language;
        };
        EXPECT_EQ(dialog.exec(), IDOK);
        EXPECT_TRUE(dialog.succeeded());
        ASSERT_FALSE(shot.isNull());
        // The bar's fill reaches two thirds of the way, not further.
        const QColor filled = shot.pixelColor(40 + 150, 161);
        const QColor empty = shot.pixelColor(40 + 240, 161);
        EXPECT_GT(filled.red(), 200) << "orange fill";
        EXPECT_LT(empty.red(), 60) << "empty track";
        const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            shot.save(QStringLiteral("%1/progress-%2.png").arg(dir, QLatin1String(language)));
        }
    }
}

TEST(ProgressOnScreen, ARealClickOnCancelEndsTheDialogAtOnce) {
    ASSERT_TRUE(useFixtureDisplay());
    CProgressFixture f;
    CWatchedProgress dialog(f, EJob::NoTransfer); // its one-second wait is real
    QElapsedTimer clock;
    pointerAway();
    QTimer::singleShot(300, &dialog, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        pointerTo(dialog, dialog.centreOf(1));
        clock.start();
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
    });
    EXPECT_EQ(dialog.exec(), IDCANCEL);
    EXPECT_LT(clock.elapsed(), 500);
    f.slot.waitUntilFree();
}
