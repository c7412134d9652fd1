#pragma once

// The scale the heatmap paints press counts on: cold for few presses, hot for
// many, on one perceptually even run of colours, logarithmic where the
// counts span an order of magnitude or more. Keys with no press have no
// place on it and keep their ordinary look.

#include "talvik/counters/CounterHistory.h"
#include "talvik/layout/SkinPalette.h"

#include <cstdint>
#include <vector>

namespace talvik::counters {

// From this ratio of the highest count to the lowest, the scale is logarithmic.
inline constexpr double kLogarithmicFrom = 10.0;

struct SHeatScale {
    int low = 0;  // the fewest presses of a key that has any
    int high = 0; // the most
    bool logarithmic = false;

    // No key has a press: nothing is tinted.
    bool empty() const { return high <= 0; }
    // Where `count` lies, 0 (low) to 1 (high); negative for a count with no
    // place (none, or unknown).
    double position(int count) const;
    // `count` values evenly spaced along the scale, low and high included;
    // those between are rounded to two significant digits.
    std::vector<int> ticks(int count) const;
};

SHeatScale heatScaleFor(const CountTable& counts);

// The colour at `position` (0..1, clamped).
layout::Rgb heatColour(double position);

// The contrast ratio of two colours as the web's accessibility guidelines
// define it: 1 (the same) to 21 (black on white).
double contrastRatio(layout::Rgb a, layout::Rgb b);
// Black or white, whichever reads better on `tint`; never below 4.5:1.
layout::Rgb legibleInk(layout::Rgb tint);

} // namespace talvik::counters
