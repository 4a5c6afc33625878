#pragma once

#include "layouts/layout.h"
#include "roof/detail/boost_plan.h"
#include "roof/roof_check.h"

#include <span>
#include <vector>

// What the roof's rules need of a building's plan: its roofs as shapes, what stands above each,
// its outline, and the objects standing on its roofs.
namespace calc::roof::detail {

// Heights closer than this are one height.
inline constexpr double kSameHeight = 0.0005;

struct BuildingPlan {
    std::vector<std::size_t> parts; // the parts that are no rooftop objects
    std::vector<RooftopObject> rooftop;
    // Per roof, highest first: its shape, the footprints of the taller parts that cut it, and
    // the area within which a conductor belongs to it (its shape grown by the edge strip).
    std::vector<Roof> roofs;
    std::vector<Shape> shapes, above, reach;
    Shape outline; // the union of the parts' footprints
};

// The building's plan; throws std::exception when the polygon operations fail.
BuildingPlan buildingPlan(const layout::Layout &layout, std::span<const std::size_t> parts);

// The union of the footprints of the building's parts taller than z.
Shape outlineAbove(const layout::Layout &layout, const BuildingPlan &plan, double z);

// Roles and down conductors of every conductor of the layout over the buildings' roofs: fills
// each roof's conductors, each building's down conductors (unnumbered), and the roles.
void findRoles(const layout::Layout &layout, const std::vector<BuildingPlan> &plans,
               std::vector<BuildingRoofs> &buildings, std::vector<ConductorRole> &roles);

// The plan segments of the roof's conductors.
std::vector<Segment> planSegments(const layout::Layout &layout, const Roof &roof);

// The checks, each on one building.
void checkMesh(Roof &roof, const Shape &shape, std::span<const Segment> conductors,
               const ClassRules &rules);
void checkTape(Roof &roof, const Shape &above, std::span<const Segment> conductors);
// The pieces of the edges that no conductor runs along, on the edge or up to the strip's width
// outside it (the roof or the building on the edge's left).
std::vector<Segment> gapsAlong(std::span<const Segment> edges, std::span<const Segment> conductors);
void checkDownConductors(const BuildingPlan &plan, const ClassRules &rules,
                         DownConductorCheck &check);
// Class 1: the heights of the horizontal tapes round the walls, from 30 m every 6 m below the
// roof.
std::vector<double> sideTapeHeights(double height);
SideFlash checkSideFlash(const layout::Layout &layout, const BuildingPlan &plan, double height,
                         const ClassRules &rules);

} // namespace calc::roof::detail
