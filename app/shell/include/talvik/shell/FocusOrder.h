#pragma once

// Where the keyboard's focus goes among the places of a window: the order Tab
// visits them in, and the place an arrow key points at. Places are rectangles
// in one coordinate system; the answers are positions in the list given.

#include <QRect>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace talvik::shell {

enum class EFocusDirection { Left, Right, Up, Down };

// Two places stand in one row when their vertical centres lie within half the
// height of the lower of them, and in one column likewise across.
bool inOneRow(const QRect& a, const QRect& b);
bool inOneColumn(const QRect& a, const QRect& b);

// The positions of `places` in reading order: rows from the top down, left to
// right within a row. A row starts at the highest place not yet placed and
// takes every place in one row with it. Places that coincide keep their order.
std::vector<std::size_t> readingOrder(std::span<const QRect> places);

// The place an arrow key in `direction` moves to from places[from], or none
// when nothing lies that way. Only places ahead count (their centres beyond
// from's, and not in its row or column). Those that share some of from's
// width (for Up and Down) or height (for Left and Right) come first: of the
// nearest row or column of them, the one nearest to `line`. Otherwise the
// nearest centre within 45 degrees of the direction, then the nearest centre
// at all. `line` is the column (x, for Up and Down) or row (y, for Left and
// Right) the moves keep to, so that Up then Down comes back; none: from's
// centre. Ties go to the place to the left, then the higher one.
std::optional<std::size_t> nearestToward(std::span<const QRect> places, std::size_t from,
                                         EFocusDirection direction,
                                         std::optional<double> line = std::nullopt);

// The centre of a place, exact to half a pixel.
double centreX(const QRect& r);
double centreY(const QRect& r);

} // namespace talvik::shell
