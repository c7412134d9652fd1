// The main window's pixels against renders saved from the program as it was
// when its pictures were stored as PNG: a change to how the skin is stored or
// loaded must not change one pixel. Models 1 and 2, in both languages.
// TALVIK_SAVE_RENDERS=<dir> saves the renders there instead of comparing
// (for a deliberate change of the skin's look).

#include "MainWindowFixture.h"

#include <QDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

using namespace talvik::profile;

using talvik::test::CMainWindowFixture;

namespace {

using talvik::text::Language;
using RenderCase = std::tuple<int, Language>;

class MainWindowRender : public ::testing::TestWithParam<RenderCase> {};

QString renderName(int model, Language language) {
    const std::string_view tag = talvik::text::tagOf(language);
    return QStringLiteral("model%1-%2.png")
        .arg(model)
        .arg(QString::fromUtf8(tag.data(), static_cast<qsizetype>(tag.size())));
}

TEST_P(MainWindowRender, MatchesTheSavedRenderPixelForPixel) {
    const auto [model, language] = GetParam();
    CMainWindowFixture f(model);
    ASSERT_TRUE(f.initialised);
    f.state.language = language;
    const QImage render = f.dlg().renderCanvas().convertToFormat(QImage::Format_RGB32);
    const QString name = renderName(model, language);

    const QString saveTo = qEnvironmentVariable("TALVIK_SAVE_RENDERS");
    if (!saveTo.isEmpty()) {
        QDir().mkpath(saveTo);
        ASSERT_TRUE(render.save(saveTo + QLatin1Char('/') + name));
        GTEST_SKIP() << "saved " << name.toStdString();
    }
    const QImage saved = QImage(QStringLiteral(TALVIK_SOURCE_DIR "/tests/data/main-render/") + name)
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(saved.isNull()) << "no saved render " << name.toStdString();
    ASSERT_EQ(render.size(), saved.size());
    int differing = 0;
    for (int y = 0; y < render.height(); ++y) {
        for (int x = 0; x < render.width(); ++x) {
            differing += render.pixel(x, y) != saved.pixel(x, y) ? 1 : 0;
        }
    }
    if (differing != 0) {
        render.save(QStringLiteral(TALVIK_BINARY_DIR "/render-") + name);
    }
    EXPECT_EQ(differing, 0) << "pixels differ from the saved render; this render is in "
                            << TALVIK_BINARY_DIR << "/render-" << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Models, MainWindowRender,
    ::testing::Values(RenderCase{1, Language::Chinese}, RenderCase{1, Language::English},
                      RenderCase{2, Language::Chinese}, RenderCase{2, Language::English}),
    [](const auto& info) {
        std::string name = "Model" + std::to_string(std::get<0>(info.param)) +
                           std::string(talvik::text::tagOf(std::get<1>(info.param)));
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

} // namespace
