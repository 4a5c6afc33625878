#pragma once

#include "layouts/layout.h"

#include <cmath>
#include <string>
#include <vector>

// The roof benchmark's site: 30 buildings of assorted outlines on a 6 × 5 grid 150 m apart,
// 12 to 70 m tall: rectangles of several sizes, L and U shapes, a block round a courtyard, a
// tower on a podium and a rectangle turned off the grid, in turn.
namespace bench {

inline calc::layout::Layout roofSite(int hr = 45)
{
    using calc::layout::Corner;
    calc::layout::Layout layout;
    layout.hr = hr;
    const auto add = [&](std::string name, std::vector<Corner> fp, double h, double x, double y) {
        for (Corner &c : fp) c = {c.x + x, c.y + y};
        layout.objects.push_back(
            {std::move(name), std::move(fp), h, "楼" + std::to_string(layout.objects.size())});
    };
    const auto box = [](double w, double d) {
        return std::vector<Corner>{{0, 0}, {w, 0}, {w, d}, {0, d}};
    };
    for (int i = 0; i < 30; ++i) {
        const double x = 150.0 * (i % 6), y = 150.0 * (i / 6);
        const double h = 12 + (i * 37) % 59, grow = 1 + (i % 4) * 0.25;
        const std::string name = "楼" + std::to_string(i);
        switch (i % 6) {
        case 0:
            add(name, box(40 * grow, 18), h, x, y);
            break;
        case 1:
            add(name, {{0, 0}, {60, 0}, {60, 20}, {22, 20}, {22, 50 * grow}, {0, 50 * grow}}, h, x,
                y);
            break;
        case 2:
            add(name, {{0, 0}, {70, 0}, {70, 45}, {52, 45}, {52, 16}, {18, 16}, {18, 45}, {0, 45}},
                h, x, y);
            break;
        case 3: {
            const std::size_t first = layout.objects.size();
            add(name, box(60, 12), h, x, y);
            add(name, box(60, 12), h, x, y + 38);
            add(name, box(12, 26), h, x, y + 12);
            add(name, box(12, 26), h, x + 48, y + 12);
            for (std::size_t k = first; k < layout.objects.size(); ++k)
                layout.objects[k].building = name;
            break;
        }
        case 4: {
            const std::size_t first = layout.objects.size();
            add(name, box(90, 50), 18, x, y);
            add(name, box(30, 25), h + 20, x + 20, y + 12);
            for (std::size_t k = first; k < layout.objects.size(); ++k)
                layout.objects[k].building = name;
            break;
        }
        default: {
            std::vector<Corner> turned;
            const double a = 0.1 * i, c = std::cos(a), s = std::sin(a);
            for (const Corner p : box(45, 22))
                turned.push_back({p.x * c - p.y * s, p.x * s + p.y * c});
            add(name, turned, h, x + 40, y + 10);
        }
        }
    }
    return layout;
}

} // namespace bench
