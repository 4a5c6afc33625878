#include "roof/detail/plan_math.h"
#include "roof/detail/site_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calc::roof::detail {

namespace {

// A ring of the outline starting at its lowest corner (the leftmost of equals), so that the
// numbering starts at the bottom left of the plan.
Ring fromLowestCorner(Ring ring)
{
    const auto lowest = std::ranges::min_element(
        ring, [](Corner a, Corner b) { return a.y < b.y || (a.y == b.y && a.x < b.x); });
    std::rotate(ring.begin(), lowest, ring.end());
    return ring;
}

// Lengths along the ring up to each corner, the whole length last.
std::vector<double> runningLengths(const Ring &ring)
{
    std::vector<double> at{0};
    for (std::size_t i = 0; i < ring.size(); ++i)
        at.push_back(at.back() + distance(ring[i], ring[(i + 1) % ring.size()]));
    return at;
}

struct Placed {
    double distance; // from the ring
    double s;        // along it
};

Placed place(Corner c, const Ring &ring, const std::vector<double> &at)
{
    Placed best{std::numeric_limits<double>::infinity(), 0};
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Segment e{ring[i], ring[(i + 1) % ring.size()]};
        const double t = nearestParameter(c, e);
        const double d = distance(c, along(e, t));
        if (d < best.distance) best = {d, at[i] + t * (at[i + 1] - at[i])};
    }
    return best;
}

Corner pointAt(const Ring &ring, const std::vector<double> &at, double s)
{
    const auto i =
        static_cast<std::size_t>(std::upper_bound(at.begin(), at.end() - 1, s) - at.begin() - 1);
    const double l = at[i + 1] - at[i];
    return along({ring[i], ring[(i + 1) % ring.size()]}, l > 0 ? (s - at[i]) / l : 0);
}

// The ring's path from s0 forward to s1 (round past its start when s1 is not beyond s0).
std::vector<Corner> pathAlong(const Ring &ring, const std::vector<double> &at, double s0, double s1)
{
    const double total = at.back();
    const double end = s1 > s0 ? s1 : s1 + total;
    std::vector<Corner> path{pointAt(ring, at, s0)};
    for (int turn = 0; turn < 2; ++turn)
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const double s = at[i] + turn * total;
            if (s > s0 && s < end) path.push_back(ring[i]);
        }
    path.push_back(pointAt(ring, at, std::fmod(end, total)));
    return path;
}

struct RingPlan {
    ConductorRing ring;
    std::vector<double> at;
    std::vector<std::pair<double, std::size_t>> members; // along the ring, conductor index
};

} // namespace

void checkDownConductors(const BuildingPlan &plan, const ClassRules &rules,
                         DownConductorCheck &check)
{
    std::vector<RingPlan> rings;
    const auto addRing = [&](RingKind kind, std::optional<std::size_t> roof, const Ring &r) {
        RingPlan p;
        p.ring.kind = kind;
        p.ring.roof = roof;
        p.ring.ring = fromLowestCorner(r);
        p.at = runningLengths(p.ring.ring);
        p.ring.length = p.at.back();
        rings.push_back(std::move(p));
    };
    // The outline's rings: outside, then each courtyard; then the own perimeter of each roof
    // that conductors come down from onto a lower roof.
    const std::vector<Area> outline = areasOf(plan.outline);
    for (const Area &a : outline) addRing(RingKind::Outside, std::nullopt, a.outer);
    for (const Area &a : outline)
        for (const Ring &h : a.holes) addRing(RingKind::Courtyard, std::nullopt, h);
    const std::size_t outlineRings = rings.size();
    for (std::size_t r = 0; r < plan.roofs.size(); ++r)
        if (std::ranges::any_of(check.conductors, [&](const DownConductor &d) {
                return d.fromRoof == r && d.ontoRoof;
            }))
            for (const Area &a : plan.roofs[r].shape) addRing(RingKind::Upper, r, a.outer);

    // Each conductor on the nearest outline ring when it reaches the ground, and on the nearest
    // ring of its own roof when that roof has one.
    for (std::size_t c = 0; c < check.conductors.size(); ++c) {
        const DownConductor &d = check.conductors[c];
        const auto join = [&](std::size_t from, std::size_t to, auto keep) {
            std::optional<std::size_t> best;
            Placed bestPlace{std::numeric_limits<double>::infinity(), 0};
            for (std::size_t k = from; k < to; ++k) {
                if (!keep(rings[k])) continue;
                const Placed p = place(d.at, rings[k].ring.ring, rings[k].at);
                if (p.distance < bestPlace.distance) best = k, bestPlace = p;
            }
            if (best) rings[*best].members.emplace_back(bestPlace.s, c);
        };
        if (d.reachesGround()) join(0, outlineRings, [](const RingPlan &) { return true; });
        join(outlineRings, rings.size(),
             [&](const RingPlan &p) { return p.ring.roof == d.fromRoof; });
    }

    // Numbers ring by ring along each ring; the conductors reordered by number.
    std::vector<int> number(check.conductors.size(), 0);
    int next = 1;
    for (RingPlan &p : rings) {
        std::ranges::sort(p.members);
        for (const auto &[s, c] : p.members)
            if (number[c] == 0) number[c] = next++;
    }
    for (std::size_t c = 0; c < number.size(); ++c)
        if (number[c] == 0) number[c] = next++;
    for (std::size_t c = 0; c < number.size(); ++c) check.conductors[c].number = number[c];
    std::ranges::sort(check.conductors, {}, &DownConductor::number);

    const double limit = rules.spacingLimit + kLengthTolerance;
    bool ringsPass = true;
    double outsideLength = 0;
    int onOutside = 0;
    for (std::size_t k = 0; k < rings.size(); ++k) {
        RingPlan &p = rings[k];
        ConductorRing &ring = p.ring;
        for (const auto &[s, c] : p.members) {
            const std::size_t index = static_cast<std::size_t>(number[c] - 1);
            ring.conductors.push_back(index);
            check.conductors[index].rings.push_back(k);
        }
        const std::size_t n = p.members.size();
        for (std::size_t i = 0; i < n; ++i) {
            const double s0 = p.members[i].first, s1 = p.members[(i + 1) % n].first;
            Span span{ring.conductors[i],
                      ring.conductors[(i + 1) % n],
                      n == 1 ? ring.length : (i + 1 < n ? s1 - s0 : s1 + ring.length - s0),
                      {},
                      false};
            span.path = pathAlong(ring.ring, p.at, s0, n == 1 ? s0 : s1);
            span.fails = span.length > limit;
            ring.spans.push_back(std::move(span));
        }
        ring.largestSpacing = n < 2 ? ring.length : 0;
        for (const Span &span : ring.spans)
            ring.largestSpacing = std::max(ring.largestSpacing, span.length);
        ring.passes = ring.largestSpacing <= limit;
        ringsPass = ringsPass && ring.passes;
        if (ring.kind == RingKind::Outside) {
            outsideLength += ring.length;
            onOutside += static_cast<int>(n);
        }
        check.rings.push_back(std::move(ring));
    }

    check.reachingGround = static_cast<int>(std::ranges::count_if(
        check.conductors, [](const DownConductor &d) { return d.reachesGround(); }));
    check.enough = check.reachingGround >= rules.leastDownConductors;
    if (check.reachingGround >= 2) {
        double largest = 0;
        for (const ConductorRing &r : check.rings) largest = std::max(largest, r.largestSpacing);
        check.largestSpacing = largest;
        if (onOutside > 0) check.averageSpacing = outsideLength / onOutside;
    }
    check.passes = check.enough && ringsPass;
    check.longSpanNote =
        check.enough && !ringsPass && check.averageSpacing && *check.averageSpacing <= limit;
}

} // namespace calc::roof::detail
