#include "roof/detail/plan_math.h"
#include "roof/detail/site_plan.h"

#include <cmath>
#include <variant>

namespace calc::roof::detail {

namespace {

using layout::Wire;

// Ends closer than a millimetre in height are level; closer on the plan, one above the other.
constexpr double kLevel = 0.001;

Segment plan(const Wire &w) { return {{w.a.x, w.a.y}, {w.b.x, w.b.y}}; }

double distance3(const rolling_sphere::Point &p, const Wire &w)
{
    const double dx = w.b.x - w.a.x, dy = w.b.y - w.a.y, dz = w.b.z - w.a.z;
    const double l2 = dx * dx + dy * dy + dz * dz;
    double t = 0;
    if (l2 > 0)
        t = std::clamp(((p.x - w.a.x) * dx + (p.y - w.a.y) * dy + (p.z - w.a.z) * dz) / l2, 0.0,
                       1.0);
    return std::hypot(w.a.x + t * dx - p.x, w.a.y + t * dy - p.y, w.a.z + t * dz - p.z);
}

// Whether every point of s lies within the strip's width of the roof's edge, inside or
// outside: the stretches of s near each edge together cover all of it.
bool alongEdge(Segment s, const std::vector<Area> &shape)
{
    std::vector<std::pair<double, double>> near;
    const auto ring = [&](const Ring &r) {
        for (std::size_t i = 0; i < r.size(); ++i)
            if (auto reach = withinReach(s, {r[i], r[(i + 1) % r.size()]}, kEdgeStrip + kLevel))
                near.push_back(*reach);
    };
    for (const Area &a : shape) {
        ring(a.outer);
        for (const Ring &h : a.holes) ring(h);
    }
    std::ranges::sort(near);
    double covered = 0;
    for (const auto &[from, to] : near) {
        if (from > covered + 1e-9) return false;
        covered = std::max(covered, to);
    }
    return covered >= 1 - 1e-9;
}

struct Place {
    std::size_t building, roof;
};

// The roof a level wire lies over, highest first: from the roof's height to a metre above it
// and nowhere further than the strip outside its outline.
std::optional<Place> roofUnder(const Wire &w, const std::vector<BuildingPlan> &plans)
{
    std::optional<Place> best;
    double bestHeight = -1;
    const double z = std::min(w.a.z, w.b.z);
    for (std::size_t b = 0; b < plans.size(); ++b)
        for (std::size_t r = 0; r < plans[b].roofs.size(); ++r) {
            const double h = plans[b].roofs[r].height;
            if (h <= bestHeight || z < h - kLevel || z > h + kRoofConductorRise + kLevel) continue;
            if (!segmentWithin(plan(w), plans[b].reach[r])) continue;
            best = Place{b, r};
            bestHeight = h;
        }
    return best;
}

} // namespace

std::vector<Segment> planSegments(const layout::Layout &layout, const Roof &roof)
{
    std::vector<Segment> segments;
    for (const std::size_t i : roof.conductors)
        segments.push_back(plan(std::get<Wire>(layout.conductors[i])));
    return segments;
}

void findRoles(const layout::Layout &layout, const std::vector<BuildingPlan> &plans,
               std::vector<BuildingRoofs> &buildings, std::vector<ConductorRole> &roles)
{
    const auto &conductors = layout.conductors;
    roles.assign(conductors.size(), {});
    // Roof conductors first: level wires over a roof.
    for (std::size_t i = 0; i < conductors.size(); ++i) {
        const Wire *w = std::get_if<Wire>(&conductors[i]);
        if (!w) {
            roles[i].role = Role::Rod;
            continue;
        }
        if (std::abs(w->a.z - w->b.z) > kLevel) continue;
        const auto place = roofUnder(*w, plans);
        if (!place) continue;
        Roof &roof = buildings[place->building].roofs[place->roof];
        roof.conductors.push_back(i);
        roles[i] = {alongEdge(plan(*w), roof.shape) ? Role::Tape : Role::Mesh, place->building,
                    place->roof};
    }
    // Then down conductors: upright wires whose top meets a roof conductor and whose foot stands
    // on the ground or on a lower roof of the same building.
    for (std::size_t i = 0; i < conductors.size(); ++i) {
        const Wire *w = std::get_if<Wire>(&conductors[i]);
        if (!w || roles[i].role != Role::Wire) continue;
        if (length(plan(*w)) > kLevel || std::abs(w->a.z - w->b.z) <= kLevel) continue;
        const auto &top = w->a.z > w->b.z ? w->a : w->b;
        const auto &foot = w->a.z > w->b.z ? w->b : w->a;
        const Corner at{top.x, top.y};
        std::optional<Place> from;
        for (std::size_t j = 0; j < conductors.size() && !from; ++j) {
            if (!roles[j].building || roles[j].role == Role::DownConductor) continue;
            if (distance3(top, std::get<Wire>(conductors[j])) > kJoinReach) continue;
            const Place p{*roles[j].building, *roles[j].roof};
            if (distanceToBoundary(at, buildings[p.building].roofs[p.roof].shape) <=
                kDownConductorReach + kLevel)
                from = p;
        }
        if (!from) continue;
        const BuildingPlan &bp = plans[from->building];
        std::optional<std::size_t> onto;
        bool stands = foot.z <= kJoinReach;
        for (std::size_t r = 0; r < bp.roofs.size() && !stands; ++r) {
            const double h = bp.roofs[r].height;
            if (h >= bp.roofs[from->roof].height || std::abs(foot.z - h) > kJoinReach) continue;
            if (distanceTo(at, bp.shapes[r]) > kDownConductorReach + kLevel) continue;
            onto = r;
            stands = true;
        }
        if (!stands) continue;
        roles[i] = {Role::DownConductor, from->building, from->roof};
        DownConductor d;
        d.conductor = i;
        d.at = at;
        d.top = top.z;
        d.foot = foot.z;
        d.fromRoof = from->roof;
        d.ontoRoof = onto;
        buildings[from->building].down.conductors.push_back(d);
    }
}

} // namespace calc::roof::detail
