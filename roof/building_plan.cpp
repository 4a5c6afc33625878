#include "roof/detail/cell_fit.h"
#include "roof/detail/site_plan.h"

#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/covered_by.hpp>
#include <boost/geometry/algorithms/intersects.hpp>
#include <boost/geometry/strategies/strategies.hpp>

#include <algorithm>
#include <numeric>

namespace calc::roof::detail {

namespace {

Shape footprintShape(const layout::Object &o) { return {polygonOf(o.footprint)}; }

Shape unionOf(const layout::Layout &layout, std::span<const std::size_t> parts)
{
    Shape all;
    for (const std::size_t i : parts) all = unite(all, footprintShape(layout.objects[i]));
    return all;
}

// A part standing wholly on lower parts of the building, metal or small enough to be a stack,
// duct, tank or small plant rather than a storey.
bool standsOnRoof(const layout::Layout &layout, std::span<const std::size_t> parts, std::size_t i)
{
    const layout::Object &o = layout.objects[i];
    std::vector<std::size_t> lower;
    for (const std::size_t j : parts)
        if (layout.objects[j].height < o.height - kSameHeight) lower.push_back(j);
    if (lower.empty() || !bg::covered_by(polygonOf(o.footprint), unionOf(layout, lower)))
        return false;
    if (o.metal) return true;
    const Rectangle box = smallestRectangle(convexHull(o.footprint));
    return box.longSide <= kRooftopObjectSize + kLengthTolerance;
}

} // namespace

BuildingPlan buildingPlan(const layout::Layout &layout, std::span<const std::size_t> parts)
{
    BuildingPlan plan;
    std::vector<std::size_t> onRoof;
    for (const std::size_t i : parts)
        (standsOnRoof(layout, parts, i) ? onRoof : plan.parts).push_back(i);
    plan.outline = unionOf(layout, plan.parts);

    // The parts by height, highest first; parts of one height that touch make one roof, less
    // what the taller parts cover.
    std::vector<std::size_t> order = plan.parts;
    std::ranges::stable_sort(order, [&](std::size_t a, std::size_t b) {
        return layout.objects[a].height > layout.objects[b].height;
    });
    std::vector<bool> taken(layout.objects.size(), false);
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (taken[order[k]]) continue;
        const double h = layout.objects[order[k]].height;
        // The roof's parts: those of this height joined by touching.
        std::vector<std::size_t> roofParts{order[k]};
        taken[order[k]] = true;
        for (std::size_t grown = 0; grown < roofParts.size(); ++grown)
            for (const std::size_t j : order)
                if (!taken[j] && std::abs(layout.objects[j].height - h) <= kSameHeight &&
                    bg::intersects(polygonOf(layout.objects[roofParts[grown]].footprint),
                                   polygonOf(layout.objects[j].footprint))) {
                    taken[j] = true;
                    roofParts.push_back(j);
                }
        std::vector<std::size_t> taller;
        for (const std::size_t j : plan.parts)
            if (layout.objects[j].height > h + kSameHeight) taller.push_back(j);
        Shape above = unionOf(layout, taller);
        Shape shape = withoutSlivers(subtract(unionOf(layout, roofParts), above));
        if (shape.empty()) continue;
        std::ranges::sort(roofParts);
        Roof roof;
        roof.height = h;
        roof.shape = areasOf(shape);
        roof.area = areaOf(roof.shape);
        roof.parts = std::move(roofParts);
        // A millimetre over the strip, so that a tape laid on its outer edge stays within.
        plan.reach.push_back(grownSquare(shape, kEdgeStrip + 2 * kLengthTolerance));
        plan.roofs.push_back(std::move(roof));
        plan.shapes.push_back(std::move(shape));
        plan.above.push_back(std::move(above));
    }

    // Each rooftop object on the highest roof below it that it stands on.
    for (const std::size_t i : onRoof) {
        const layout::Object &o = layout.objects[i];
        const Shape footprint = footprintShape(o);
        for (std::size_t r = 0; r < plan.roofs.size(); ++r)
            if (plan.roofs[r].height < o.height &&
                bg::area(intersect(plan.shapes[r], footprint)) > kSliver) {
                plan.rooftop.push_back({i, r, o.metal});
                break;
            }
    }
    return plan;
}

Shape outlineAbove(const layout::Layout &layout, const BuildingPlan &plan, double z)
{
    std::vector<std::size_t> taller;
    for (const std::size_t j : plan.parts)
        if (layout.objects[j].height > z) taller.push_back(j);
    return unionOf(layout, taller);
}

} // namespace calc::roof::detail
