#pragma once

#include "layouts/layout.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The sites of a real size the object check is measured and compared on: rows of meshed
// buildings, large bare footprints, and small random layouts. Metres, hr 45 unless said.
namespace bench {

using calc::layout::Corner;
using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Wire;
using calc::rolling_sphere::Point;

// One building 60 x 40 x 23.7 m with its corner at (x0, 0): a tape at 24 m round its edge, a
// 10 m mesh of whole-length lines at 24 m (x = 10 ... 50, y = 10 ... 30 from its corner), 12
// down conductors evenly round its 200 m perimeter from 24 m to the ground, and three rooftop
// units 4 x 3 x 26.5 m at (10 + 18k, 15) from its corner.
inline void addMeshedBuilding(Layout &layout, double x0, int number)
{
    constexpr double w = 60, d = 40, top = 24;
    const std::array<Corner, 4> corners{{{0, 0}, {w, 0}, {w, d}, {0, d}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const Corner a = corners[i], b = corners[(i + 1) % 4];
        layout.conductors.push_back(Wire{{x0 + a.x, a.y, top}, {x0 + b.x, b.y, top}});
    }
    for (double x = 10; x <= 50; x += 10)
        layout.conductors.push_back(Wire{{x0 + x, 0, top}, {x0 + x, d, top}});
    for (double y = 10; y <= 30; y += 10)
        layout.conductors.push_back(Wire{{x0, y, top}, {x0 + w, y, top}});
    // Evenly round the perimeter from the first corner.
    for (int k = 0; k < 12; ++k) {
        double s = k * 200.0 / 12;
        std::size_t side = 0;
        for (const double length : {w, d, w, d}) {
            if (s < length) break;
            s -= length;
            ++side;
        }
        const Corner a = corners[side], b = corners[(side + 1) % 4];
        const double along = s / ((side % 2 == 0) ? w : d);
        const Point foot{x0 + a.x + (b.x - a.x) * along, a.y + (b.y - a.y) * along, 0};
        layout.conductors.push_back(Wire{{foot.x, foot.y, top}, foot});
    }
    const std::string name = "楼" + std::to_string(number);
    layout.objects.push_back({name, {{x0, 0}, {x0 + w, 0}, {x0 + w, d}, {x0, d}}, 23.7});
    for (int k = 0; k < 3; ++k) {
        const double x = x0 + 10 + 18 * k, y = 15;
        layout.objects.push_back({name + "机组" + std::to_string(k + 1),
                                  {{x, y}, {x + 4, y}, {x + 4, y + 3}, {x, y + 3}},
                                  26.5});
    }
}

// `count` meshed buildings in a row along x, 20 m apart.
inline Layout meshedSite(int count)
{
    Layout layout;
    layout.hr = 45;
    for (int i = 0; i < count; ++i) addMeshedBuilding(layout, 80.0 * i, i + 1);
    return layout;
}

// A square footprint `side` metres, 10 m high, and no conductors.
inline Layout bareSquare(double side)
{
    Layout layout;
    layout.hr = 45;
    layout.objects.push_back({"方形", {{0, 0}, {side, 0}, {side, side}, {0, side}}, 10});
    return layout;
}

// A small layout at random (its seed fixes it): rods, wires between rod tips or free points,
// slanted and raised conductors, and rectangles, L-shapes and triangles of any height, under
// each of the three radii. Values are rounded to centimetres so that a file holds them exactly.
inline Layout randomLayout(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    const auto uniform = [&rng](double lo, double hi) {
        const double unit = static_cast<double>(rng()) / 4294967296.0;
        return std::round((lo + (hi - lo) * unit) * 100) / 100;
    };
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Layout layout;
    layout.hr = calc::layout::kSphereRadii[pick(3)];
    const int rods = 1 + pick(5), wires = pick(5);
    std::vector<Point> tips;
    for (int i = 0; i < rods; ++i) {
        const calc::layout::Rod rod{uniform(0, 80), uniform(0, 60), uniform(8, 45)};
        layout.conductors.push_back(rod);
        tips.push_back({rod.x, rod.y, rod.h});
    }
    for (int i = 0; i < wires; ++i) {
        Point a = tips[static_cast<std::size_t>(pick(rods))];
        Point b{uniform(0, 80), uniform(0, 60), uniform(5, 40)};
        if (pick(2) == 0) a = {uniform(0, 80), uniform(0, 60), uniform(5, 40)};
        layout.conductors.push_back(Wire{a, b});
    }
    const int objects = 1 + pick(4);
    for (int i = 0; i < objects; ++i) {
        const double x = uniform(0, 70), y = uniform(0, 50), w = uniform(3, 25), d = uniform(3, 20),
                     h = uniform(2, 35);
        std::vector<Corner> footprint;
        switch (pick(3)) {
        case 0:
            footprint = {{x, y}, {x + w, y}, {x + w, y + d}, {x, y + d}};
            break;
        case 1: // an L
            footprint = {{x, y},
                         {x + w, y},
                         {x + w, y + d / 2},
                         {x + w / 2, y + d / 2},
                         {x + w / 2, y + d},
                         {x, y + d}};
            break;
        default:
            footprint = {{x, y}, {x + w, y + d / 3}, {x + w / 3, y + d}};
        }
        layout.objects.push_back({"物" + std::to_string(i + 1), footprint, h});
    }
    return layout;
}

} // namespace bench
