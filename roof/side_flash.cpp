#include "roof/detail/plan_math.h"
#include "roof/detail/site_plan.h"

#include <algorithm>
#include <variant>

namespace calc::roof::detail {

std::vector<double> sideTapeHeights(double height)
{
    std::vector<double> levels;
    for (double z = kSideTapesFrom; z < height - kSameHeight; z += kSideTapeStep)
        levels.push_back(z);
    return levels;
}

SideFlash checkSideFlash(const layout::Layout &layout, const BuildingPlan &plan, double height,
                         const ClassRules &rules)
{
    SideFlash result;
    if (rules.protectionClass > 1) {
        if (height > kSideFlashAbove + kSameHeight) {
            result.bandFrom = std::max(kSideFlashAbove, kSideFlashShare * height);
            result.bandTo = height;
        }
        return result;
    }
    // Class 1: at each level, a conductor along the whole outline of what stands above it.
    for (const double z : sideTapeHeights(height)) {
        std::vector<Segment> edges;
        for (const Area &a : areasOf(outlineAbove(layout, plan, z))) {
            const Ring r = withoutStraightCorners(a.outer);
            for (std::size_t i = 0; i < r.size(); ++i)
                edges.push_back({r[i], r[(i + 1) % r.size()]});
        }
        std::vector<Segment> level;
        for (const layout::Conductor &c : layout.conductors)
            if (const auto *w = std::get_if<layout::Wire>(&c);
                w && std::abs(w->a.z - z) <= kJoinReach && std::abs(w->b.z - z) <= kJoinReach)
                level.push_back({{w->a.x, w->a.y}, {w->b.x, w->b.y}});
        SideTape tape{z, false, gapsAlong(edges, level)};
        tape.found = tape.gaps.empty();
        result.tapes.push_back(std::move(tape));
    }
    if (!result.tapes.empty())
        result.verdict =
            std::ranges::all_of(result.tapes, &SideTape::found) ? Verdict::Pass : Verdict::Fail;
    return result;
}

} // namespace calc::roof::detail
