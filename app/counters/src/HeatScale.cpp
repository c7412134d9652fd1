#include "talvik/counters/HeatScale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace talvik::counters {
namespace {

// A perceptually even run from deep blue through magenta and orange to
// yellow, at eleven even steps.
constexpr std::array<layout::Rgb, 11> kStops = {{
    {13, 8, 135},
    {65, 4, 157},
    {106, 0, 168},
    {143, 13, 164},
    {177, 42, 144},
    {204, 71, 120},
    {225, 100, 98},
    {242, 132, 75},
    {252, 166, 54},
    {252, 206, 37},
    {240, 249, 33},
}};

double linearLight(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(layout::Rgb c) {
    return 0.2126 * linearLight(c.red) + 0.7152 * linearLight(c.green) +
           0.0722 * linearLight(c.blue);
}

int roundToTwoDigits(double value) {
    if (value < 100) {
        return static_cast<int>(std::lround(value));
    }
    const double unit = std::pow(10.0, std::floor(std::log10(value)) - 1);
    return static_cast<int>(std::lround(value / unit) * unit);
}

} // namespace

double SHeatScale::position(int count) const {
    if (empty() || count <= 0) {
        return -1;
    }
    if (high == low) {
        return 1;
    }
    const double t = logarithmic ? std::log(static_cast<double>(count) / low) /
                                       std::log(static_cast<double>(high) / low)
                                 : static_cast<double>(count - low) / (high - low);
    return std::clamp(t, 0.0, 1.0);
}

std::vector<int> SHeatScale::ticks(int count) const {
    std::vector<int> values;
    if (empty() || count < 1) {
        return values;
    }
    if (count == 1 || high == low) {
        return {high};
    }
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        double value = logarithmic ? low * std::pow(static_cast<double>(high) / low, t)
                                   : low + t * (high - low);
        const int tick = i == 0 ? low : i == count - 1 ? high : roundToTwoDigits(value);
        if (values.empty() || tick > values.back()) {
            values.push_back(tick);
        }
    }
    return values;
}

SHeatScale heatScaleFor(const CountTable& counts) {
    SHeatScale scale;
    for (int key = 1; key <= model::kKeyCount; ++key) {
        const int count = counts[static_cast<std::size_t>(key)];
        if (count <= 0) {
            continue;
        }
        scale.low = scale.low == 0 ? count : std::min(scale.low, count);
        scale.high = std::max(scale.high, count);
    }
    scale.logarithmic =
        !scale.empty() && static_cast<double>(scale.high) / scale.low >= kLogarithmicFrom;
    return scale;
}

layout::Rgb heatColour(double position) {
    const double t = std::clamp(position, 0.0, 1.0) * (kStops.size() - 1);
    const std::size_t i = std::min(static_cast<std::size_t>(t), kStops.size() - 2);
    const double f = t - static_cast<double>(i);
    const auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
    const layout::Rgb a = kStops[i];
    const layout::Rgb b = kStops[i + 1];
    return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

double contrastRatio(layout::Rgb a, layout::Rgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

layout::Rgb legibleInk(layout::Rgb tint) {
    constexpr layout::Rgb kBlack{0, 0, 0};
    constexpr layout::Rgb kWhite{255, 255, 255};
    return contrastRatio(tint, kBlack) >= contrastRatio(tint, kWhite) ? kBlack : kWhite;
}

} // namespace talvik::counters
