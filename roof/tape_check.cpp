#include "roof/detail/plan_math.h"
#include "roof/detail/site_plan.h"

#include <algorithm>

namespace calc::roof::detail {

namespace {

// An edge lies against a taller part when its middle lies on that part's footprint.
constexpr double kAgainst = 1e-4;
// A stretch of edge shorter than this left bare is no gap.
constexpr double kLeastGap = 2 * kLengthTolerance;

} // namespace

std::vector<Segment> gapsAlong(std::span<const Segment> edges, std::span<const Segment> conductors)
{
    std::vector<Segment> gaps;
    for (const Segment &e : edges) {
        const double l = length(e);
        std::vector<std::pair<double, double>> runs;
        for (const Segment &s : conductors)
            if (auto run = runAlong(s, e, -kLengthTolerance, kEdgeStrip + kLengthTolerance))
                runs.push_back(*run);
        std::ranges::sort(runs);
        double covered = 0;
        const auto gap = [&](double from, double to) {
            if (to - from > kLeastGap) gaps.push_back({along(e, from / l), along(e, to / l)});
        };
        for (const auto &[from, to] : runs) {
            gap(covered, from);
            covered = std::max(covered, to);
        }
        gap(covered, l);
    }
    return gaps;
}

void checkTape(Roof &roof, const Shape &above, std::span<const Segment> conductors)
{
    // The roof's edges, those against a taller part left out.
    const auto ring = [&](const Ring &r) {
        const Ring straight = withoutStraightCorners(r);
        for (std::size_t i = 0; i < straight.size(); ++i) {
            const Segment e{straight[i], straight[(i + 1) % straight.size()]};
            if (distanceTo(along(e, 0.5), above) > kAgainst) roof.outerEdges.push_back(e);
        }
    };
    for (const Area &a : roof.shape) {
        ring(a.outer);
        for (const Ring &h : a.holes) ring(h);
    }
    if (roof.needsTape) roof.tapeGaps = gapsAlong(roof.outerEdges, conductors);
}

} // namespace calc::roof::detail
