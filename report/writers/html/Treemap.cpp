#include "report/writers/html/Treemap.h"

#include <algorithm>
#include <numeric>

namespace quibex::report {

namespace {

// The worst aspect ratio of a row of tiles of total area `sum`, largest
// `largest` and smallest `smallest`, laid along a side of length `side`.
double WorstRatio(double sum, double largest, double smallest, double side) {
    const double side2 = side * side;
    const double sum2 = sum * sum;
    return std::max(side2 * largest / sum2, sum2 / (side2 * smallest));
}

}  // namespace

std::vector<Rect> SquarifiedLayout(const std::vector<double>& weights, const Rect& frame) {
    std::vector<Rect> tiles(weights.size(), Rect{frame.x, frame.y, 0, 0});
    std::vector<std::size_t> order;
    double total = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] > 0) {
            order.push_back(i);
            total += weights[i];
        }
    }
    if (order.empty() || frame.Area() <= 0) return tiles;
    // Largest first: rows of similar sizes come out nearest to squares.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return weights[a] > weights[b]; });
    const double scale = frame.Area() / total;

    Rect rest = frame;
    std::size_t next = 0;
    while (next < order.size()) {
        const bool wide = rest.width >= rest.height;
        const double side = wide ? rest.height : rest.width;
        // Grow the row while that makes its worst tile no worse.
        std::size_t end = next + 1;
        double sum = weights[order[next]] * scale;
        const double largest = sum;
        double smallest = sum;
        while (end < order.size()) {
            const double area = weights[order[end]] * scale;
            if (WorstRatio(sum + area, largest, area, side) > WorstRatio(sum, largest, smallest, side)) break;
            sum += area;
            smallest = area;
            ++end;
        }
        // The last row takes what is left whole, so rounding never leaves a gap.
        const bool last = end == order.size();
        const double depth = last ? (wide ? rest.width : rest.height)
                                  : std::min(sum / side, wide ? rest.width : rest.height);
        double along = 0;
        for (std::size_t k = next; k < end; ++k) {
            const double area = weights[order[k]] * scale;
            const double length = k + 1 == end ? side - along : area / depth;
            Rect& tile = tiles[order[k]];
            tile = wide ? Rect{rest.x, rest.y + along, depth, length} : Rect{rest.x + along, rest.y, length, depth};
            along += length;
        }
        if (wide) {
            rest.x += depth;
            rest.width -= depth;
        } else {
            rest.y += depth;
            rest.height -= depth;
        }
        next = end;
    }
    return tiles;
}

std::size_t TilesOfAtLeast(std::vector<double> weights, double frameArea, double minArea) {
    std::sort(weights.begin(), weights.end(), std::greater<>());
    while (!weights.empty() && weights.back() <= 0) weights.pop_back();
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    if (total <= 0) return 0;
    const double scale = frameArea / total;
    std::size_t n = 0;
    while (n < weights.size() && weights[n] * scale >= minArea) ++n;
    // A single tile left over is drawn as itself rather than as "1 more".
    return n + 1 == weights.size() ? weights.size() : n;
}

}  // namespace quibex::report
