#include "dxf/site_roof_conductors.h"

#include "roof/roof_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dxf {

namespace {

using calc::layout::Corner;
using calc::layout::Object;

bool inside(const std::vector<Corner> &polygon, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Corner a = polygon[i], b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

double distanceToOutline(const std::vector<Corner> &polygon, double x, double y)
{
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Corner a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0, 1.0) : 0;
        least = std::min(least, std::hypot(x - (a.x + t * dx), y - (a.y + t * dy)));
    }
    return least;
}

bool near(const Object &o, double x, double y, double reach)
{
    return o.footprint.size() >= 3 &&
           (inside(o.footprint, x, y) || distanceToOutline(o.footprint, x, y) <= reach);
}

} // namespace

std::optional<double> roofUnder(std::span<const Object> objects, double x, double y, double reach)
{
    std::optional<double> highest;
    for (const Object &o : objects)
        if (o.height > 0 && near(o, x, y, reach) && (!highest || o.height > *highest))
            highest = o.height;
    return highest;
}

std::optional<calc::layout::Wire> roofConductor(std::span<const Object> objects, double ax,
                                                double ay, double bx, double by, double tapeHeight)
{
    const auto roof = roofUnder(objects, (ax + bx) / 2, (ay + by) / 2, calc::roof::kEdgeStrip);
    if (!roof) return std::nullopt;
    const double z = *roof + tapeHeight;
    return calc::layout::Wire{{ax, ay, z}, {bx, by, z}};
}

std::optional<calc::layout::Wire> downConductor(std::span<const Object> objects, double x, double y,
                                                double tapeHeight)
{
    const auto top = roofUnder(objects, x, y, calc::roof::kDownConductorReach);
    if (!top) return std::nullopt;
    // The next lower roof that the point stands on (a tower's conductors come down onto its
    // podium), else the ground.
    double foot = 0;
    for (const Object &o : objects)
        if (o.height < *top && o.height > foot && o.footprint.size() >= 3 &&
            inside(o.footprint, x, y))
            foot = o.height;
    return calc::layout::Wire{{x, y, *top + tapeHeight}, {x, y, foot}};
}

} // namespace dxf
