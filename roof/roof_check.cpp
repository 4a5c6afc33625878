#include "roof/roof_check.h"

#include "layouts/building_strikes.h"
#include "roof/detail/site_plan.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace calc::roof {

using namespace detail;

namespace {

// Metres: beyond any site.
constexpr double kFarthest = 1e6;

BuildingState partsState(const layout::Layout &layout, std::span<const std::size_t> parts)
{
    for (const std::size_t i : parts) {
        const layout::Object &o = layout.objects[i];
        if (!layout::isSimplePolygon(o.footprint) ||
            std::ranges::any_of(o.footprint, [](layout::Corner c) {
                return !(std::abs(c.x) <= kFarthest && std::abs(c.y) <= kFarthest);
            }))
            return BuildingState::BadFootprint;
    }
    for (const std::size_t i : parts) {
        const double h = layout.objects[i].height;
        if (!(h > 0 && h <= kFarthest)) return BuildingState::BadHeight;
    }
    return BuildingState::Checked;
}

void checkBuilding(const layout::Layout &layout, const BuildingPlan &plan, const ClassRules &rules,
                   BuildingRoofs &building)
{
    const bool tall = building.height > rules.tapeAbove + kSameHeight;
    building.meshPasses = !building.roofs.empty();
    building.tape = tall ? Verdict::Pass : Verdict::NotApplicable;
    for (std::size_t r = 0; r < building.roofs.size(); ++r) {
        Roof &roof = building.roofs[r];
        const std::vector<Segment> segments = planSegments(layout, roof);
        checkMesh(roof, plan.shapes[r], segments, rules);
        roof.needsTape = tall && roof.height > rules.tapeAbove + kSameHeight;
        checkTape(roof, plan.above[r], segments);
        building.meshPasses = building.meshPasses && roof.meshPasses;
        building.uncoveredArea += roof.uncoveredArea;
        if (!roof.tapeGaps.empty()) building.tape = Verdict::Fail;
        // The building's largest cell: the failing one of largest area when any fails.
        if (!roof.largestCell) continue;
        const Cell &cell = roof.cells[*roof.largestCell];
        const Cell *best =
            building.largestCell
                ? &building.roofs[building.largestCell->roof].cells[building.largestCell->cell]
                : nullptr;
        if (!best || (!cell.fits && best->fits) ||
            (cell.fits == best->fits && cell.area > best->area))
            building.largestCell = CellRef{r, *roof.largestCell};
    }
    checkDownConductors(plan, rules, building.down);
    building.sideFlash = checkSideFlash(layout, plan, building.height, rules);
}

} // namespace

bool BuildingRoofs::passes() const
{
    return state == BuildingState::Checked && meshPasses && tape != Verdict::Fail && down.passes;
}

SiteRoofs checkRoofs(const layout::Layout &layout)
{
    SiteRoofs site;
    site.rules = classRules(layout.hr);
    std::vector<BuildingPlan> plans;
    for (layout::BuildingParts &parts : layout::layoutBuildings(layout)) {
        BuildingRoofs &building = site.buildings.emplace_back();
        BuildingPlan &plan = plans.emplace_back();
        building.name = std::move(parts.name);
        building.parts = std::move(parts.parts);
        building.state = partsState(layout, building.parts);
        for (const std::size_t i : building.parts)
            building.height = std::max(building.height, layout.objects[i].height);
        if (building.state != BuildingState::Checked) continue;
        try {
            plan = buildingPlan(layout, building.parts);
            building.roofs = plan.roofs;
            building.rooftop = plan.rooftop;
            // The building's height is its roofs': what stands on them adds none.
            building.height = 0;
            for (const std::size_t i : plan.parts)
                building.height = std::max(building.height, layout.objects[i].height);
        } catch (const std::exception &) {
            building.state = BuildingState::Unchecked;
            plan = {};
        }
    }
    findRoles(layout, plans, site.buildings, site.roles);
    for (std::size_t b = 0; b < site.buildings.size(); ++b) {
        BuildingRoofs &building = site.buildings[b];
        if (building.state != BuildingState::Checked) continue;
        try {
            checkBuilding(layout, plans[b], site.rules, building);
        } catch (const std::exception &) {
            building.state = BuildingState::Unchecked;
        }
    }
    return site;
}

} // namespace calc::roof
