#pragma once

#include "layouts/layout.h"
#include "roof/roof_check.h"

#include <cmath>
#include <string>
#include <vector>

// Small layouts for the roof's tests: buildings as boxes and polygons, and the roof conductors
// drawn on them by hand.
namespace calc::roof::test {

using layout::Corner;
using layout::Layout;
using layout::Object;
using layout::Wire;

inline Object part(std::string name, std::vector<Corner> footprint, double height)
{
    return {std::move(name), std::move(footprint), height};
}

inline Object box(std::string name, double x0, double y0, double x1, double y1, double height)
{
    return part(std::move(name), {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, height);
}

inline Wire level(double x0, double y0, double x1, double y1, double z)
{
    return {{x0, y0, z}, {x1, y1, z}};
}

inline Wire upright(double x, double y, double foot, double top)
{
    return {{x, y, top}, {x, y, foot}};
}

// A tape round the ring at height z, one wire per edge.
inline void tape(Layout &layout, const std::vector<Corner> &ring, double z)
{
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Corner a = ring[i], b = ring[(i + 1) % ring.size()];
        layout.conductors.push_back(level(a.x, a.y, b.x, b.y, z));
    }
}

// The corners of a w × d rectangle turned by the angle (degrees) about the origin.
inline std::vector<Corner> turned(double w, double d, double degrees)
{
    const double a = degrees * 3.14159265358979323846 / 180, c = std::cos(a), s = std::sin(a);
    std::vector<Corner> out;
    for (const Corner p : {Corner{0, 0}, Corner{w, 0}, Corner{w, d}, Corner{0, d}})
        out.push_back({p.x * c - p.y * s, p.x * s + p.y * c});
    return out;
}

inline double detailLength(Segment s) { return std::hypot(s.b.x - s.a.x, s.b.y - s.a.y); }

inline BuildingRoofs only(const SiteRoofs &site) { return site.buildings.front(); }

} // namespace calc::roof::test
