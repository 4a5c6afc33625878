#pragma once

#include "layouts/layout.h"
#include "engine/rolling_sphere.h"

#include <cmath>
#include <random>
#include <vector>

// The benchmarks' site: `count` conductors at a constant density, masts 15 to 35 m tall placed
// at random (fixed seed) over a square that grows with the count, and wires strung between the
// tops of neighbouring masts; with 20 buildings (8 x 12 m, 6 to 15 m tall) spread over it.
namespace bench {

namespace rs = calc::rolling_sphere;

inline double siteSide(int count) { return 25 * std::sqrt(count / 2.0); }

inline std::vector<rs::Conductor> site(int count)
{
    std::mt19937 rng(2026);
    const double side = siteSide(count);
    std::uniform_real_distribution<double> place(0, side), height(15, 35);
    std::vector<rs::Conductor> conductors;
    std::vector<rs::Point> tops;
    for (int i = 0; i < (count + 1) / 2; ++i) {
        const rs::Point top{place(rng), place(rng), height(rng)};
        conductors.push_back({{top.x, top.y, 0}, top});
        tops.push_back(top);
    }
    for (std::size_t i = 0; static_cast<int>(conductors.size()) < count; ++i) {
        const rs::Point a = tops[i % tops.size()];
        std::size_t nearest = i % tops.size() == 0 ? 1 : 0;
        for (std::size_t j = 0; j < tops.size(); ++j) {
            const auto far = [&](std::size_t k) {
                return std::hypot(tops[k].x - a.x, tops[k].y - a.y) + (k <= i % tops.size()) * 1e9;
            };
            if (j != i % tops.size() && far(j) < far(nearest)) nearest = j;
        }
        conductors.push_back({a, tops[nearest]});
    }
    return conductors;
}

inline std::vector<calc::layout::Object> buildings(int count)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> place(0, siteSide(count) - 12), height(6, 15);
    std::vector<calc::layout::Object> objects;
    for (int i = 0; i < 20; ++i) {
        const double x = place(rng), y = place(rng);
        objects.push_back({"b", {{x, y}, {x + 12, y}, {x + 12, y + 8}, {x, y + 8}}, height(rng)});
    }
    return objects;
}

// The same site as a layout of the layout program: masts as rods, wires as wires.
inline calc::layout::Layout siteLayout(int count)
{
    calc::layout::Layout layout;
    layout.hr = 45;
    for (const rs::Conductor &c : site(count)) {
        if (c.a.x == c.b.x && c.a.y == c.b.y && c.a.z == 0)
            layout.conductors.push_back(calc::layout::Rod{c.b.x, c.b.y, c.b.z});
        else
            layout.conductors.push_back(calc::layout::Wire{c.a, c.b});
    }
    layout.objects = buildings(count);
    return layout;
}

} // namespace bench
