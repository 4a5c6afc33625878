// Whether a sphere can reach a centre: a straight path out, or else the optimistic pocket fill
// (see engine/rolling_sphere.h).
#include "engine/detail/model.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>

namespace calc::rolling_sphere::detail {

double Model::freeMargin(Point c, double within) const
{
    double g = c.z - hr;
    nearConductors(c, c, hr + within, [&](std::size_t k) {
        g = std::min(g, std::sqrt(pointSegmentDist2(c, conductors[k].a, conductors[k].b)) - hr);
    });
    return g;
}

bool Model::pathFree(Point a, Point b) const
{
    const double limit = hr - kPathSlack;
    if (a.z < limit || b.z < limit) return false;
    bool free = true;
    nearConductors({std::min(a.x, b.x), std::min(a.y, b.y), 0},
                   {std::max(a.x, b.x), std::max(a.y, b.y), 0}, limit, [&](std::size_t k) {
                       free = free && !(segmentSegmentDist2(a, b, conductors[k].a,
                                                            conductors[k].b) < limit * limit);
                   });
    return free;
}

bool Model::escapes(Point c) const
{
    if (empty) return true;
    const Point up{c.x, c.y, std::max(c.z, high.z + hr + 1)};
    if (pathFree(c, up)) return true;
    const double cx = 0.5 * (low.x + high.x), cy = 0.5 * (low.y + high.y);
    const double reach =
        std::hypot(c.x - cx, c.y - cy) + 0.5 * std::hypot(high.x - low.x, high.y - low.y) + hr + 1;
    for (int i = 0; i < 8; ++i) {
        const double t = i * kTwoPi / 8;
        if (pathFree(c, {c.x + reach * std::cos(t), c.y + reach * std::sin(t), c.z})) return true;
    }
    return false;
}

const Model::Fill &Model::fillAt(std::size_t level) const
{
    const std::lock_guard lock(fillsMutex);
    while (fills.size() <= level) {
        Fill f;
        f.cell = hr / (4 << fills.size());
        f.origin = {low.x - hr - f.cell, low.y - hr - f.cell, 0};
        f.nx = static_cast<int>(std::ceil((high.x - low.x + 2 * hr + 2 * f.cell) / f.cell));
        f.ny = static_cast<int>(std::ceil((high.y - low.y + 2 * hr + 2 * f.cell) / f.cell));
        f.nz = static_cast<int>(std::ceil((high.z + hr + f.cell) / f.cell));
        const double cells = double(f.nx) * f.ny * f.nz;
        if (cells > 1e6) {
            f.tooFine = true;
            fills.push_back(std::move(f));
            continue;
        }
        f.reached.assign(static_cast<std::size_t>(cells), 0);
        const double halfDiagonal = f.cell * std::sqrt(3.0) / 2;
        auto index = [&f](int i, int j, int k) {
            return (static_cast<std::size_t>(k) * f.ny + j) * f.nx + i;
        };
        auto passable = [&](int i, int j, int k) {
            const Point centre{f.origin.x + (i + 0.5) * f.cell, f.origin.y + (j + 0.5) * f.cell,
                               (k + 0.5) * f.cell};
            return freeMargin(centre, halfDiagonal) >= -halfDiagonal;
        };
        std::deque<std::array<int, 3>> queue;
        auto visit = [&](int i, int j, int k) {
            if (i < 0 || j < 0 || k < 0 || i >= f.nx || j >= f.ny || k >= f.nz) return;
            std::uint8_t &mark = f.reached[index(i, j, k)];
            if (mark) return;
            mark = 2; // looked at
            if (!passable(i, j, k)) return;
            mark = 1;
            queue.push_back({i, j, k});
        };
        for (int k = 0; k < f.nz; ++k)
            for (int j = 0; j < f.ny; ++j)
                for (int i = 0; i < f.nx; ++i)
                    if (i == 0 || j == 0 || i == f.nx - 1 || j == f.ny - 1 || k == f.nz - 1)
                        visit(i, j, k);
        while (!queue.empty()) {
            const auto [i, j, k] = queue.front();
            queue.pop_front();
            visit(i - 1, j, k);
            visit(i + 1, j, k);
            visit(i, j - 1, k);
            visit(i, j + 1, k);
            visit(i, j, k - 1);
            visit(i, j, k + 1);
        }
        fills.push_back(std::move(f));
    }
    return fills[level];
}

bool Model::mayBeReached(Point c) const
{
    for (std::size_t level = 0; level < 5; ++level) {
        const Fill &f = fillAt(level);
        if (f.tooFine) return true;
        const int i = static_cast<int>(std::floor((c.x - f.origin.x) / f.cell));
        const int j = static_cast<int>(std::floor((c.y - f.origin.y) / f.cell));
        const int k = static_cast<int>(std::floor(c.z / f.cell));
        if (i < 0 || j < 0 || k < 0 || i >= f.nx || j >= f.ny || k >= f.nz) return true;
        if (f.reached[(static_cast<std::size_t>(k) * f.ny + j) * f.nx + i] != 1) return false;
    }
    return true;
}

} // namespace calc::rolling_sphere::detail
