#include "roof/lay_out.h"

#include "layouts/building_strikes.h"
#include "roof/detail/mesh_lines.h"
#include "roof/detail/plan_math.h"
#include "roof/detail/site_plan.h"
#include "roof/roof_check.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace calc::roof {

using namespace detail;

namespace {

// A point lies on an outline or a roof's edge when it is this close to it: the millimetre the
// rules are judged to, far above the rounding of the outlines' corners.
constexpr double kOn = 0.001;
// Down conductors from one roof closer than this stand in one place.
constexpr double kSamePlace = 0.001;

class Network {
public:
    explicit Network(double tapeHeight) : tapeHeight_(tapeHeight) {}

    void level(Segment s, double z)
    {
        wires.push_back({{s.a.x, s.a.y, z}, {s.b.x, s.b.y, z}, true});
    }
    void ring(const Ring &r, double z)
    {
        const Ring straight = withoutStraightCorners(r);
        for (std::size_t i = 0; i < straight.size(); ++i)
            level({straight[i], straight[(i + 1) % straight.size()]}, z);
    }
    // One down conductor from a roof at a place: the outline's and the roof's own ring may both
    // ask for it, and conductors from two roofs at one place are two.
    void down(Corner at, double foot, double roof)
    {
        for (const auto &[c, from] : placed_)
            if (from == roof && distance(c, at) <= kSamePlace) return;
        placed_.emplace_back(at, roof);
        wires.push_back({{at.x, at.y, roof + tapeHeight_}, {at.x, at.y, foot}, true});
    }
    double tapeHeight() const { return tapeHeight_; }

    std::vector<layout::Wire> wires;

private:
    double tapeHeight_;
    std::vector<std::pair<Corner, double>> placed_;
};

// Where down conductors go round a ring: at its own convex corners (a courtyard's corners, the
// outline's outer corners) and evenly between them, no spacing beyond the limit.
std::vector<Corner> downConductorPlaces(const Ring &ring, double limit)
{
    const Ring r = withoutStraightCorners(ring);
    const std::size_t n = r.size();
    double twice = 0;
    for (std::size_t i = 0; i < n; ++i)
        twice += r[i].x * r[(i + 1) % n].y - r[(i + 1) % n].x * r[i].y;
    const double turn = twice > 0 ? 1 : -1;
    std::vector<std::size_t> corners;
    for (std::size_t i = 0; i < n; ++i) {
        const Corner p = r[(i + n - 1) % n], c = r[i], q = r[(i + 1) % n];
        if (turn * ((c.x - p.x) * (q.y - c.y) - (c.y - p.y) * (q.x - c.x)) > 0)
            corners.push_back(i);
    }
    std::vector<Corner> places;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        // The stretch of ring from this corner to the next.
        std::vector<Corner> path{r[corners[k]]};
        for (std::size_t i = (corners[k] + 1) % n;; i = (i + 1) % n) {
            path.push_back(r[i]);
            if (i == corners[(k + 1) % corners.size()]) break;
        }
        double total = 0;
        for (std::size_t i = 0; i + 1 < path.size(); ++i) total += distance(path[i], path[i + 1]);
        const double pieces = std::max(1.0, std::ceil((total - kLengthTolerance) / limit));
        places.push_back(path.front());
        // Evenly between, each a share of the stretch's length along it.
        for (int j = 1; j < static_cast<int>(pieces); ++j) {
            double want = total * j / pieces;
            for (std::size_t i = 0; i + 1 < path.size(); ++i) {
                const double l = distance(path[i], path[i + 1]);
                if (want <= l) {
                    places.push_back(along({path[i], path[i + 1]}, l > 0 ? want / l : 0));
                    break;
                }
                want -= l;
            }
        }
    }
    return places;
}

// Whether some edge of the ring lies off the outline: a taller part standing back from it.
bool standsBack(const Ring &ring, const std::vector<Area> &outline)
{
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Segment e{ring[i], ring[(i + 1) % ring.size()]};
        if (distanceToBoundary(along(e, 0.5), outline) > kOn) return true;
    }
    return false;
}

// The highest roof whose area touches the point, lower than below; none when no roof does.
std::optional<std::size_t> roofAt(const BuildingPlan &plan, Corner at, double below)
{
    for (std::size_t r = 0; r < plan.roofs.size(); ++r)
        if (plan.roofs[r].height < below && distanceTo(at, plan.shapes[r]) <= kOn) return r;
    return std::nullopt;
}

// The roof nearest the point, for a point of the outline that no roof touches to the
// millimetre.
std::size_t nearestRoof(const BuildingPlan &plan, Corner at)
{
    std::size_t best = 0;
    for (std::size_t r = 1; r < plan.roofs.size(); ++r)
        if (distanceTo(at, plan.shapes[r]) < distanceTo(at, plan.shapes[best])) best = r;
    return best;
}

void layBuilding(const layout::Layout &layout, const BuildingPlan &plan, double height,
                 const ClassRules &rules, Network &network)
{
    // Tape along every edge of every roof, and the mesh over it.
    for (std::size_t r = 0; r < plan.roofs.size(); ++r) {
        const double z = plan.roofs[r].height + network.tapeHeight();
        for (const Area &a : plan.roofs[r].shape) {
            network.ring(a.outer, z);
            for (const Ring &h : a.holes) network.ring(h, z);
        }
        for (const Segment &s : meshLines(plan.roofs[r].shape, plan.shapes[r], rules))
            network.level(s, z);
    }
    // Down conductors round the outline and every courtyard, from the highest roof there to
    // the ground.
    const std::vector<Area> outline = areasOf(plan.outline);
    const auto toGround = [&](const Ring &ring) {
        for (const Corner &at : downConductorPlaces(ring, rules.spacingLimit)) {
            const std::size_t r = roofAt(plan, at, INFINITY).value_or(nearestRoof(plan, at));
            network.down(at, 0, plan.roofs[r].height);
        }
    };
    for (const Area &a : outline) {
        toGround(a.outer);
        for (const Ring &h : a.holes) toGround(h);
    }
    // A taller part's own perimeter, where it stands back from the outline: each conductor to
    // the roof below it there, or to the ground where it meets the outline.
    for (std::size_t r = 0; r < plan.roofs.size(); ++r)
        for (const Area &a : plan.roofs[r].shape) {
            if (!standsBack(a.outer, outline)) continue;
            const double h = plan.roofs[r].height;
            for (const Corner &at : downConductorPlaces(a.outer, rules.spacingLimit)) {
                const auto below =
                    distanceToBoundary(at, outline) <= kOn ? std::nullopt : roofAt(plan, at, h);
                network.down(at, below ? plan.roofs[*below].height : 0, h);
            }
        }
    // Class 1: horizontal tapes round what stands above each level, from 30 m every 6 m.
    if (rules.protectionClass == 1)
        for (const double z : sideTapeHeights(height))
            for (const Area &a : areasOf(outlineAbove(layout, plan, z))) network.ring(a.outer, z);
}

} // namespace

std::vector<std::string> unknownBuildings(const layout::Layout &layout,
                                          std::span<const std::string> names)
{
    const std::vector<layout::BuildingParts> buildings = layout::layoutBuildings(layout);
    std::vector<std::string> unknown;
    for (const std::string &name : names)
        if (std::ranges::none_of(buildings, [&](const auto &b) { return b.name == name; }))
            unknown.push_back(name);
    return unknown;
}

layout::Layout layOutRoofs(const layout::Layout &layout, const LayOutOptions &options)
{
    const SiteRoofs site = checkRoofs(layout);
    std::vector<bool> drop(layout.conductors.size(), false);
    Network network(options.tapeHeight);
    for (std::size_t b = 0; b < site.buildings.size(); ++b) {
        const BuildingRoofs &building = site.buildings[b];
        if (building.state != BuildingState::Checked) continue;
        if (!options.buildings.empty() &&
            std::ranges::find(options.buildings, building.name) == options.buildings.end())
            continue;
        Network own(options.tapeHeight);
        BuildingPlan plan;
        try {
            plan = buildingPlan(layout, building.parts);
            layBuilding(layout, plan, building.height, site.rules, own);
        } catch (const std::exception &) {
            continue;
        }
        // What was laid out for this building before: its laid-out roof and down conductors,
        // and any laid-out wire within the down conductors' reach of its outline.
        const Shape near = grownSquare(plan.outline, kDownConductorReach);
        for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
            const auto *w = std::get_if<layout::Wire>(&layout.conductors[i]);
            if (!w || !w->laidOut) continue;
            drop[i] = drop[i] || site.roles[i].building == b ||
                      segmentWithin({{w->a.x, w->a.y}, {w->b.x, w->b.y}}, near);
        }
        network.wires.insert(network.wires.end(), own.wires.begin(), own.wires.end());
    }
    layout::Layout result = layout;
    result.conductors.clear();
    for (std::size_t i = 0; i < layout.conductors.size(); ++i)
        if (!drop[i]) result.conductors.push_back(layout.conductors[i]);
    for (const layout::Wire &w : network.wires) result.conductors.push_back(w);
    return result;
}

} // namespace calc::roof
