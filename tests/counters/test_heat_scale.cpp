// The heat scale: where counts land on it, its numbers, and that every tint
// keeps a legend readable.

#include "talvik/counters/HeatScale.h"

#include <gtest/gtest.h>

using namespace talvik::counters;
using talvik::layout::Rgb;

namespace {

CountTable counts(std::initializer_list<std::pair<int, int>> keyCounts) {
    CountTable t{};
    for (const auto& [key, count] : keyCounts) {
        t[static_cast<std::size_t>(key)] = count;
    }
    return t;
}

double luminance(Rgb c) {
    return contrastRatio(c, {0, 0, 0}); // grows with the luminance
}

} // namespace

TEST(HeatScale, CountsSpanningOrdersOfMagnitudeSpreadEvenlyOnALogScale) {
    const SHeatScale scale = heatScaleFor(counts({{31, 5000}, {17, 500}, {32, 50}, {2, -5}}));
    EXPECT_TRUE(scale.logarithmic);
    EXPECT_EQ(scale.low, 50);
    EXPECT_EQ(scale.high, 5000);
    EXPECT_DOUBLE_EQ(scale.position(50), 0.0);
    EXPECT_NEAR(scale.position(500), 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(scale.position(5000), 1.0);
    EXPECT_LT(scale.position(0), 0) << "no press: no place on the scale";
    EXPECT_LT(scale.position(-5), 0);
    EXPECT_EQ(scale.ticks(5), (std::vector<int>{50, 160, 500, 1600, 5000}));
}

TEST(HeatScale, CloseCountsStayLinearAndDegenerateScalesHoldTogether) {
    const SHeatScale linear = heatScaleFor(counts({{1, 200}, {2, 300}, {3, 400}}));
    EXPECT_FALSE(linear.logarithmic);
    EXPECT_DOUBLE_EQ(linear.position(300), 0.5);
    EXPECT_EQ(linear.ticks(5), (std::vector<int>{200, 250, 300, 350, 400}));

    const SHeatScale one = heatScaleFor(counts({{5, 7}}));
    EXPECT_DOUBLE_EQ(one.position(7), 1.0);
    EXPECT_EQ(one.ticks(5), std::vector<int>{7});

    const SHeatScale none = heatScaleFor(CountTable{});
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(none.ticks(5).empty());

    // Small counts on a wide scale never repeat a number.
    const SHeatScale small = heatScaleFor(counts({{1, 1}, {2, 12}}));
    const std::vector<int> ticks = small.ticks(5);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GT(ticks[i], ticks[i - 1]);
    }
}

TEST(HeatScale, ColoursRunFromDarkToLightAndEveryInkReads) {
    EXPECT_EQ(heatColour(-1), heatColour(0));
    EXPECT_EQ(heatColour(2), heatColour(1));
    double previous = 0;
    for (int i = 0; i <= 200; ++i) {
        const Rgb tint = heatColour(i / 200.0);
        const double light = luminance(tint);
        EXPECT_GT(light, previous) << "at " << i / 200.0 << ": the scale must not fold back";
        previous = light;
        EXPECT_GE(contrastRatio(tint, legibleInk(tint)), 4.5) << "at " << i / 200.0;
    }
    EXPECT_DOUBLE_EQ(contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio({90, 90, 90}, {90, 90, 90}), 1.0);
}
