#include "Sharpness.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <vector>

namespace talvik::test {

namespace {
int brightness(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y));
}
} // namespace

double strongestSteps(const QImage& image, const QRect& area) {
    std::vector<int> steps;
    for (int y = area.top(); y < area.bottom(); ++y) {
        for (int x = area.left(); x < area.right(); ++x) {
            const int here = brightness(image, x, y);
            steps.push_back(std::abs(brightness(image, x + 1, y) - here));
            steps.push_back(std::abs(brightness(image, x, y + 1) - here));
        }
    }
    const std::size_t strongest = std::max<std::size_t>(1, steps.size() / 100);
    std::partial_sort(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(strongest),
                      steps.end(), std::greater<>());
    return std::accumulate(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(strongest),
                           0.0) /
           static_cast<double>(strongest);
}

BlockSteps blockSteps(const QImage& image, const QRect& area) {
    double inside = 0;
    double between = 0;
    long count = 0;
    const int left = area.left() & ~1;
    const int top = area.top() & ~1;
    for (int y = top; y + 2 < area.bottom(); y += 2) {
        for (int x = left; x + 2 < area.right(); x += 2) {
            const int here = brightness(image, x, y);
            inside += std::abs(brightness(image, x + 1, y) - here) +
                      std::abs(brightness(image, x, y + 1) - here);
            const int edge = brightness(image, x + 1, y + 1);
            between += std::abs(brightness(image, x + 2, y + 1) - edge) +
                       std::abs(brightness(image, x + 1, y + 2) - edge);
            ++count;
        }
    }
    if (count == 0) {
        return {};
    }
    return {inside / static_cast<double>(count), between / static_cast<double>(count)};
}

} // namespace talvik::test
