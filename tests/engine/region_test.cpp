// The box that holds every free centre near a query point: it may be larger than the free
// centres, never smaller, and under a mesh it is small enough to matter.
#include "engine/detail/region.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace rs = calc::rolling_sphere;
using rs::detail::freeCentresNear;
using rs::detail::Region;

namespace {

constexpr double kHr = 45;

bool isFree(const std::vector<rs::Conductor> &conductors, rs::Point c)
{
    if (c.z < kHr) return false;
    for (const rs::Conductor &s : conductors)
        if (rs::detail::pointSegmentDist2(c, s.a, s.b) < kHr * kHr) return false;
    return true;
}

bool inside(const Region &box, rs::Point c)
{
    return c.x >= box.low.x && c.x <= box.high.x && c.y >= box.low.y && c.y <= box.high.y &&
           c.z >= box.low.z && c.z <= box.high.z;
}

// A 60 x 40 m roof's tape and 10 m mesh at 24 m.
std::vector<rs::Conductor> mesh()
{
    std::vector<rs::Conductor> wires;
    for (double x = 0; x <= 60; x += 10) wires.push_back({{x, 0, 24}, {x, 40, 24}});
    for (double y = 0; y <= 40; y += 10) wires.push_back({{0, y, 24}, {60, y, 24}});
    return wires;
}

} // namespace

TEST(FreeCentreRegion, HoldsEveryFreeCentreWithinReach)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    int tried = 0;
    for (int layout = 0; layout < 40; ++layout) {
        std::vector<rs::Conductor> conductors;
        const int n = 1 + layout % 9;
        for (int k = 0; k < n; ++k) {
            const rs::Point a{60 * unit(random), 60 * unit(random), 40 * unit(random)};
            const rs::Point b = unit(random) < 0.3 ? rs::Point{a.x, a.y, 0}
                                                   : rs::Point{60 * unit(random), 60 * unit(random),
                                                               40 * unit(random)};
            conductors.push_back({a, b});
        }
        const rs::Point p{60 * unit(random), 60 * unit(random), 30 * unit(random)};
        const rs::Layout engine(conductors, kHr);
        // Reaches from just beyond the nearest reachable centre to well past it.
        const double nearest = engine.clearance(p) + kHr;
        for (const double reach : {nearest + 1e-3, nearest + 0.5, nearest + 5, nearest + 20}) {
            const Region box = freeCentresNear(p, reach, kHr, conductors);
            const auto found = engine.nearest(p, 1e9).centre;
            if (found) {
                EXPECT_TRUE(inside(box, *found)) << "layout " << layout;
            }
            // Free points scattered through the ball, most near its rim where centres lie, and
            // round the nearest centre.
            for (int i = 0; i < 4000; ++i) {
                const bool round = found && i % 2 == 0;
                const double r =
                    round ? 3 * unit(random) : reach * std::cbrt(1 - 0.9 * unit(random));
                const double z = 2 * unit(random) - 1, t = 6.283185307179586 * unit(random);
                const double s = std::sqrt(1 - z * z);
                const rs::Point o = round ? *found : p;
                const rs::Point c{o.x + r * s * std::cos(t), o.y + r * s * std::sin(t),
                                  o.z + r * z};
                if (std::hypot(c.x - p.x, c.y - p.y, c.z - p.z) > reach) continue;
                const bool free = isFree(conductors, c);
                tried += free;
                const bool held = !free || inside(box, c);
                ASSERT_TRUE(held) << "layout " << layout << ", reach " << reach;
            }
        }
    }
    EXPECT_GT(tried, 20000); // the scatter did reach free centres
}

TEST(FreeCentreRegion, UnderAMeshIsANarrowColumn)
{
    const auto wires = mesh();
    const rs::Point p{35, 25, 23.7}; // the middle of an opening, 0.3 m under the wires
    const double reach = rs::Layout(wires, kHr).clearance(p) + kHr + 0.01;
    const Region box = freeCentresNear(p, reach, kHr, wires);
    ASSERT_FALSE(box.empty());
    EXPECT_LT(box.high.x - box.low.x, 1);
    EXPECT_LT(box.high.y - box.low.y, 1);
    EXPECT_LT(box.high.z - box.low.z, 0.1);
    // Wires of the far side of the roof cannot come within hr of it.
    EXPECT_FALSE(box.mayCome({0, 0, 24}, {0, 40, 24}, kHr));
    EXPECT_TRUE(box.mayCome({30, 0, 24}, {30, 40, 24}, kHr));
    // Nor can the spheres round the ends of the wires over the opening.
    EXPECT_FALSE(box.straddles({30, 0, 24}, kHr, 0));
    EXPECT_TRUE(box.straddles({35, 25, box.low.z - kHr}, kHr, 0));
    // A vertical line through the point crosses the box where the box lies.
    double from = 0, to = 0;
    ASSERT_TRUE(box.clip({35, 25, 0}, {0, 0, 1}, 0, from, to));
    EXPECT_DOUBLE_EQ(from, box.low.z);
    EXPECT_DOUBLE_EQ(to, box.high.z);
    EXPECT_FALSE(box.clip({0, 0, 0}, {0, 0, 1}, 0, from, to));
}

TEST(FreeCentreRegion, IsEmptyWhereNoFreeCentreIsThatNear)
{
    const auto wires = mesh();
    const rs::Point p{35, 25, 23.7};
    const double reach = rs::Layout(wires, kHr).clearance(p) + kHr;
    EXPECT_TRUE(freeCentresNear(p, reach - 0.01, kHr, wires).empty());
    // Nothing lies within hr of the ground below hr either.
    EXPECT_TRUE(freeCentresNear({0, 0, 0}, kHr - 1, kHr, {}).empty());
}
