#pragma once
// A squarified treemap: rectangles whose areas are in proportion to their
// weights, laid row by row along the shorter side of what is left, so that
// tiles stay close to squares and a small member still shows as a tile.

#include <cstddef>
#include <vector>

namespace quibex::report {

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;

    double Area() const { return width * height; }
};

// One rectangle per weight, in the order of `weights`, together filling
// `frame`. A weight of zero or less gets an empty rectangle at the frame's
// corner; when no weight is positive every rectangle is empty.
std::vector<Rect> SquarifiedLayout(const std::vector<double>& weights, const Rect& frame);

// How many of `weights`, taken largest first, get a tile of at least
// `minArea` in a frame of `frameArea` when all of them share it. The rest
// are drawn as one tile together, so that a project of a hundred thousand
// members gives a picture of what can be seen.
std::size_t TilesOfAtLeast(std::vector<double> weights, double frameArea, double minArea);

}  // namespace quibex::report
