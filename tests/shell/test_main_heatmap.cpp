// The main window's heatmap: the keyboard picture tinted by press count after
// a read of the counters, its "since" view over the kept reads, a keyboard
// that was reset, and the export that matches talvikctl's.
// With TALVIK_SCREENSHOT_DIR set it saves the heatmap "since" an earlier read in
// both languages, and both views at scale 2 (the end-to-end test saves the
// all-time view as the screen shows it).

#include "MainWindowFixture.h"
#include "ProgramFixture.h"
#include "QtTestApp.h"

#include "../ctl/CtlRunner.h"
#include "support/TestSupport.h"

#include "talvik/counters/CounterExport.h"
#include "talvik/counters/HeatScale.h"
#include "talvik/layout/MainPanels.h"
#include "talvik/layout/SkinLayout.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/text/NumberedKeys.h"

#include <QKeyEvent>
#include <QMenu>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

using namespace talvik;
using talvik::test::CTempDir;
namespace fs = std::filesystem;
namespace id = talvik::layout::main_id;

namespace {

int keyNamed(std::string_view name) {
    for (int key = 1; key <= 87; ++key) {
        if (text::numberedKeyName(key) == name) {
            return key;
        }
    }
    return -1;
}

const int kA = keyNamed("A");
const int kQ = keyNamed("Q");
const int kS = keyNamed("S");

counters::CountTable table(std::initializer_list<std::pair<int, int>> counts) {
    counters::CountTable t{};
    for (const auto& [key, count] : counts) {
        t[static_cast<std::size_t>(key)] = count;
    }
    return t;
}

// A data folder of the test's own, so that the kept reads start empty.
struct CDataHome {
    CTempDir dir;
    QByteArray before = qgetenv("XDG_DATA_HOME");
    CDataHome() { qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.path().string())); }
    ~CDataHome() { qputenv("XDG_DATA_HOME", before); }
    fs::path counters() const { return dir.path() / "talvik" / "counters"; }
};

void pressCtrlH(QWidget& window) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_H, Qt::ControlModifier);
    QCoreApplication::sendEvent(&window, &press);
}

const SkinElement& keyElement(const shell::COrsaDlg& window, int key) {
    for (const SkinElement& e : window.elements()) {
        if (e.keyIndex == key && !e.isLabel) {
            return e;
        }
    }
    throw std::logic_error("no such key");
}

// Element rectangles are in window pixels; the canvas is in design pixels
// times the pictures' resolution.
QRectF designRect(const shell::COrsaDlg& window, int key) {
    const layout::SkinRect r = keyElement(window, key).rect;
    const qreal scale = window.scale();
    return {r.left / scale, r.top / scale, r.width() / scale, r.height() / scale};
}

// The key's face in canvas pixels.
QRect faceOf(const shell::COrsaDlg& window, int key, qreal ratio) {
    const qreal inset = layout::kKeycapInset;
    const QRectF face =
        designRect(window, key).adjusted(inset + 3.5, inset + 2, -inset - 3.5, -inset - 6);
    return QRectF(face.topLeft() * ratio, face.bottomRight() * ratio)
        .toRect()
        .adjusted(2, 2, -2, -2);
}

QRect keyPixels(const shell::COrsaDlg& window, int key, qreal ratio) {
    const QRectF r = designRect(window, key);
    return QRectF(r.topLeft() * ratio, r.bottomRight() * ratio).toRect().adjusted(0, 0, -1, -1);
}

layout::Rgb rgbAt(const QImage& image, QPoint at) {
    const QColor c = image.pixelColor(at);
    return {c.red(), c.green(), c.blue()};
}

bool samePixels(const QImage& a, const QImage& b, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// The tint a key's face is drawn in, and the best contrast of anything on it
// against that tint: the legend's.
struct SFace {
    layout::Rgb tint;
    double legendContrast = 1;
};
SFace measureFace(const QImage& canvas, const QRect& face) {
    SFace measured{rgbAt(canvas, face.topLeft() + QPoint(2, 2))};
    for (int y = face.top(); y <= face.bottom(); ++y) {
        for (int x = face.left(); x <= face.right(); ++x) {
            measured.legendContrast =
                std::max(measured.legendContrast,
                         counters::contrastRatio(measured.tint, rgbAt(canvas, {x, y})));
        }
    }
    return measured;
}

void saveShot(const QImage& canvas, const char* name) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        canvas.save(dir + QLatin1Char('/') + QLatin1String(name));
    }
}

// A main window whose counter reads return the tables given, in turn.
struct CReadsFixture : test::CMainWindowFixture {
    explicit CReadsFixture(QSize screen = QSize(1920, 1080)) : CMainWindowFixture(1, screen) {
        shell::CMainWindowDialogs dialogs;
        dialogs.runJob = [this](jobs::EJob job) {
            EXPECT_EQ(job, jobs::EJob::ReadCounters);
            if (reads.empty()) {
                return jobs::CJobReport{jobs::EJobEnd::Failed, "no more reads"};
            }
            state.pressCount = reads.front();
            reads.erase(reads.begin());
            return jobs::CJobReport{jobs::EJobEnd::Succeeded, {}};
        };
        dlg().setDialogs(dialogs);
    }
    void read() { dlg().runCommand(id::ReadCounters, -1); }
    std::vector<counters::CountTable> reads;
};

} // namespace

TEST(MainHeatmap, TintsFollowTheCountsLegendsStayLegibleAndCtrlHGivesThePictureBack) {
    CDataHome home;
    CTempDir dir;
    std::string counts = "counters";
    for (int key = 1; key <= 87; ++key) {
        counts += ' ' + std::to_string(key == kA ? 5000 : key == kQ ? 500 : key == kS ? 50 : 0);
    }
    const fs::path stateFile = dir.path() / "keyboard.state";
    test::writeFile(stateFile, "talvik-simulator-state 1\nmodel 1\n" + counts + "\ntyping off\n");
    test::CProgramWindow w(1, {.stateFile = stateFile.string()});
    ASSERT_TRUE(w.loaded);
    shell::COrsaDlg& window = w.window;

    pressCtrlH(window);
    EXPECT_FALSE(window.heatmapShown()) << "nothing to show before the counters are read";
    window.runCommand(id::ReadCounters, -1);
    ASSERT_EQ(w.notices, QStringList{QStringLiteral("Talvik(RGB)BLe|OK!!")});
    ASSERT_TRUE(window.canShowHeatmap());
    EXPECT_EQ(std::distance(fs::directory_iterator(home.counters()), fs::directory_iterator()), 1)
        << "the read is kept";

    const QImage ordinary = window.renderCanvas();
    pressCtrlH(window);
    ASSERT_TRUE(window.heatmapShown());
    const QImage heat = window.renderCanvas();
    const qreal ratio = heat.devicePixelRatio();

    std::vector<double> positions;
    std::vector<layout::Rgb> tints;
    for (const int key : {kS, kQ, kA}) {
        const SFace face = measureFace(heat, faceOf(window, key, ratio));
        const int shown = window.heatView().counts[static_cast<std::size_t>(key)];
        EXPECT_EQ(face.tint, counters::heatColour(window.heatScale().position(shown)))
            << text::numberedKeyName(key);
        EXPECT_GE(face.legendContrast, 4.5) << text::numberedKeyName(key);
        positions.push_back(window.heatScale().position(shown));
        tints.push_back(face.tint);
    }
    EXPECT_LT(positions[0], positions[1]);
    EXPECT_LT(positions[1], positions[2]);
    EXPECT_NE(tints[0], tints[1]);
    EXPECT_NE(tints[1], tints[2]);
    for (int key = 1; key <= 87; ++key) {
        if (key != kA && key != kQ && key != kS) {
            // Its face: the assignment marker below it is left out while the heatmap shows.
            EXPECT_TRUE(samePixels(heat, ordinary, faceOf(window, key, ratio)))
                << "key " << key << " has no press and keeps its look";
        }
    }

    // The export is talvikctl's JSON for the same keyboard.
    const fs::path exported = dir.path() / "counters.json";
    window.setExportPathSink([&] { return QString::fromStdString(exported.string()); });
    window.exportCounters();
    const test::SCtlRun ctl =
        test::runCtl({"counters", "--json"}, {{"TALVIK_SIMULATOR", "1"},
                                              {"TALVIK_SIMULATOR_STATE", stateFile.string()},
                                              {"XDG_DATA_HOME", (dir.path() / "ctl").string()}});
    ASSERT_EQ(ctl.status, 0) << ctl.err;
    EXPECT_EQ(nlohmann::json::parse(test::readFile(exported)), nlohmann::json::parse(ctl.out));

    pressCtrlH(window);
    EXPECT_FALSE(window.heatmapShown());
    EXPECT_EQ(window.renderCanvas(), ordinary) << "the ordinary picture, pixel for pixel";
}

TEST(MainHeatmap, SinceAnEarlierReadOnlyTheNewPressesShowAndAResetStartsAnew) {
    CDataHome home;
    CReadsFixture f;
    ASSERT_TRUE(f.initialised);
    shell::COrsaDlg& window = f.dlg();
    const counters::CountTable first = table({{kA, 5000}, {kQ, 500}, {kS, 50}});
    counters::CountTable second = first;
    second[static_cast<std::size_t>(kA)] += 100;
    f.reads = {first, second, table({{kA, 10}})};

    f.read();
    EXPECT_TRUE(window.earlierReads().empty());
    f.read();
    ASSERT_EQ(window.earlierReads().size(), 1u);
    const QImage ordinary = window.renderCanvas();
    window.showHeatmapSince(0);
    ASSERT_TRUE(window.heatmapShown());
    ASSERT_TRUE(window.heatView().since);
    EXPECT_EQ(window.heatView().counts, table({{kA, 100}}));
    const QImage since = window.renderCanvas();
    const qreal ratio = since.devicePixelRatio();
    EXPECT_FALSE(samePixels(since, ordinary, keyPixels(window, kA, ratio)));
    EXPECT_TRUE(samePixels(since, ordinary, faceOf(window, kQ, ratio)));
    EXPECT_TRUE(samePixels(since, ordinary, faceOf(window, kS, ratio)));
    EXPECT_GE(measureFace(since, faceOf(window, kA, ratio)).legendContrast, 4.5);
    saveShot(since, "main-heatmap-since-zh.png");

    // The right-click menu offers the read, checked, beside all-time.
    window.openContextMenu(QPoint(600, 40));
    ASSERT_NE(window.contextMenu(), nullptr);
    QStringList entries;
    QMenu* sinceMenu = nullptr;
    for (QAction* action : window.contextMenu()->actions()) {
        entries << action->text();
        if (action->text() == QStringLiteral("热度图")) {
            EXPECT_TRUE(action->isChecked());
        }
        if (action->menu() != nullptr) {
            sinceMenu = action->menu();
        }
    }
    EXPECT_TRUE(entries.contains(QStringLiteral("导出计数...")));
    ASSERT_NE(sinceMenu, nullptr);
    ASSERT_EQ(sinceMenu->actions().size(), 2);
    EXPECT_FALSE(sinceMenu->actions()[0]->isChecked());
    EXPECT_TRUE(sinceMenu->actions()[1]->isChecked());
    window.contextMenu()->close();

    // The keyboard was reset: A is lower than at either read.
    f.read();
    EXPECT_TRUE(window.heatmapShown());
    EXPECT_FALSE(window.heatView().since);
    EXPECT_TRUE(window.earlierReads().empty()) << "the reads before the reset are another series";
    EXPECT_EQ(window.heatView().counts, table({{kA, 10}}));
    window.renderCanvas(); // the information box takes its text as the window paints
    EXPECT_TRUE(window.infoBox().text().contains(QStringLiteral("重置")))
        << window.infoBox().text().toStdString();

    // A click on a key ends the heatmap and opens nothing.
    bool opened = false;
    shell::CMainWindowDialogs dialogs;
    dialogs.keySettings = [&] { return opened = true; };
    window.setDialogs(dialogs);
    test::clickElement(f, static_cast<int>(&keyElement(window, kQ) - window.elements().data()));
    EXPECT_FALSE(window.heatmapShown());
    EXPECT_FALSE(opened);
}

TEST(MainHeatmap, EnglishAndScaleTwoDrawTheSameView) {
    CDataHome home;
    for (const QSize screen : {QSize(1920, 1080), QSize(3840, 2160)}) {
        CReadsFixture f(screen);
        ASSERT_TRUE(f.initialised);
        shell::COrsaDlg& window = f.dlg();
        f.state.language = text::Language::English;
        const counters::CountTable first = table({{kA, 5000}, {kQ, 500}, {kS, 50}});
        counters::CountTable second = first;
        second[static_cast<std::size_t>(kA)] += 100;
        second[static_cast<std::size_t>(kQ)] += 20;
        f.reads = {first, second};
        f.read();
        pressCtrlH(window);
        const QImage heat = window.renderCanvas();
        const qreal ratio = heat.devicePixelRatio();
        const bool large = screen.height() > 1080;
        EXPECT_EQ(ratio, large ? 2.0 : 1.0) << "drawn at the screen's resolution, not stretched";
        const SFace face = measureFace(heat, faceOf(window, kA, ratio));
        EXPECT_EQ(face.tint, counters::heatColour(1.0));
        EXPECT_GE(face.legendContrast, 4.5);
        if (large) {
            saveShot(heat, "main-heatmap-en@2x.png");
            f.state.language = text::Language::Chinese;
            saveShot(window.renderCanvas(), "main-heatmap-zh@2x.png");
            f.state.language = text::Language::English;
        }
        f.read();
        window.showHeatmapSince(0);
        EXPECT_EQ(window.heatView().counts, table({{kA, 100}, {kQ, 20}}));
        saveShot(window.renderCanvas(),
                 large ? "main-heatmap-since-en@2x.png" : "main-heatmap-since-en.png");
        if (large) {
            f.state.language = text::Language::Chinese;
            saveShot(window.renderCanvas(), "main-heatmap-since-zh@2x.png");
        }
    }
}
