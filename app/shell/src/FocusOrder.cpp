#include "talvik/shell/FocusOrder.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace talvik::shell {
namespace {

bool overlaps(int startA, int lengthA, int startB, int lengthB) {
    return startA < startB + lengthB && startB < startA + lengthA;
}

struct SCandidate {
    std::size_t index = 0;
    double along = 0.0;  // how far ahead, between centres
    double across = 0.0; // how far off the line the moves keep to
    double x = 0.0;
    double y = 0.0;
};

// The better of two candidates by `key`, smaller first; ties to the left, then up.
template <typename Key>
const SCandidate* best(const std::vector<const SCandidate*>& candidates, Key key) {
    const SCandidate* chosen = nullptr;
    for (const SCandidate* c : candidates) {
        if (chosen == nullptr) {
            chosen = c;
            continue;
        }
        const double a = key(*c);
        const double b = key(*chosen);
        if (a < b || (a == b && (c->x < chosen->x || (c->x == chosen->x && c->y < chosen->y)))) {
            chosen = c;
        }
    }
    return chosen;
}

} // namespace

double centreX(const QRect& r) {
    return r.left() + r.width() / 2.0;
}

double centreY(const QRect& r) {
    return r.top() + r.height() / 2.0;
}

bool inOneRow(const QRect& a, const QRect& b) {
    return std::abs(centreY(a) - centreY(b)) * 2.0 <= std::min(a.height(), b.height());
}

bool inOneColumn(const QRect& a, const QRect& b) {
    return std::abs(centreX(a) - centreX(b)) * 2.0 <= std::min(a.width(), b.width());
}

std::vector<std::size_t> readingOrder(std::span<const QRect> places) {
    std::vector<std::size_t> byHeight(places.size());
    std::iota(byHeight.begin(), byHeight.end(), std::size_t{0});
    std::stable_sort(byHeight.begin(), byHeight.end(), [&](std::size_t a, std::size_t b) {
        return centreY(places[a]) < centreY(places[b]);
    });
    std::vector<std::size_t> order;
    order.reserve(places.size());
    std::vector<bool> placed(places.size(), false);
    for (std::size_t i = 0; i < byHeight.size(); ++i) {
        const std::size_t first = byHeight[i];
        if (placed[first]) {
            continue;
        }
        std::vector<std::size_t> row;
        for (std::size_t j = i; j < byHeight.size(); ++j) {
            const std::size_t other = byHeight[j];
            if (!placed[other] && inOneRow(places[first], places[other])) {
                placed[other] = true;
                row.push_back(other);
            }
        }
        std::stable_sort(row.begin(), row.end(), [&](std::size_t a, std::size_t b) {
            return centreX(places[a]) < centreX(places[b]);
        });
        order.insert(order.end(), row.begin(), row.end());
    }
    return order;
}

std::optional<std::size_t> nearestToward(std::span<const QRect> places, std::size_t from,
                                         EFocusDirection direction, std::optional<double> line) {
    if (from >= places.size()) {
        return std::nullopt;
    }
    const QRect& f = places[from];
    const bool vertical = direction == EFocusDirection::Up || direction == EFocusDirection::Down;
    const double keptTo = line.value_or(vertical ? centreX(f) : centreY(f));
    std::vector<SCandidate> ahead;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const QRect& c = places[i];
        if (i == from || (vertical ? inOneRow(f, c) : inOneColumn(f, c))) {
            continue;
        }
        SCandidate candidate{i, 0.0, 0.0, centreX(c), centreY(c)};
        switch (direction) {
        case EFocusDirection::Left:
            candidate.along = centreX(f) - candidate.x;
            break;
        case EFocusDirection::Right:
            candidate.along = candidate.x - centreX(f);
            break;
        case EFocusDirection::Up:
            candidate.along = centreY(f) - candidate.y;
            break;
        case EFocusDirection::Down:
            candidate.along = candidate.y - centreY(f);
            break;
        }
        candidate.across = std::abs((vertical ? candidate.x : candidate.y) - keptTo);
        if (candidate.along > 0.0) {
            ahead.push_back(candidate);
        }
    }
    std::vector<const SCandidate*> sharing;
    std::vector<const SCandidate*> inCone;
    std::vector<const SCandidate*> all;
    for (const SCandidate& c : ahead) {
        const QRect& r = places[c.index];
        const bool shares = vertical ? overlaps(f.left(), f.width(), r.left(), r.width())
                                     : overlaps(f.top(), f.height(), r.top(), r.height());
        if (shares) {
            sharing.push_back(&c);
        }
        if (c.across <= c.along) {
            inCone.push_back(&c);
        }
        all.push_back(&c);
    }
    const auto distance = [](const SCandidate& c) {
        return c.along * c.along + c.across * c.across;
    };
    if (!sharing.empty()) {
        // The nearest row (or column) ahead, then the place in it nearest the line.
        const QRect& nearest =
            places[best(sharing, [](const SCandidate& c) { return c.along; })->index];
        std::vector<const SCandidate*> inLine;
        for (const SCandidate* c : sharing) {
            const QRect& r = places[c->index];
            if (vertical ? inOneRow(nearest, r) : inOneColumn(nearest, r)) {
                inLine.push_back(c);
            }
        }
        return best(inLine, [](const SCandidate& c) { return c.across; })->index;
    }
    if (!inCone.empty()) {
        return best(inCone, distance)->index;
    }
    if (!all.empty()) {
        return best(all, distance)->index;
    }
    return std::nullopt;
}

} // namespace talvik::shell
