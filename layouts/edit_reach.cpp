#include "layouts/edit_reach.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace calc::layout {

namespace {

// A conductor as the engine sees it, comparable.
using Segment = std::array<double, 6>;

std::vector<Segment> segments(const Layout &layout)
{
    std::vector<Segment> out;
    for (const rolling_sphere::Conductor &c : engineConductors(layout.conductors))
        out.push_back({c.a.x, c.a.y, c.a.z, c.b.x, c.b.y, c.b.z});
    std::sort(out.begin(), out.end());
    return out;
}

double top(const std::vector<Segment> &all)
{
    double z = 0;
    for (const Segment &s : all) z = std::max({z, s[2], s[5]});
    return z;
}

// The footprint's box, and whether a segment's box comes within `reach` of it on the plan.
struct Box {
    double x0, y0, x1, y1;
};
Box boxOf(const Object &o)
{
    Box b{o.footprint[0].x, o.footprint[0].y, o.footprint[0].x, o.footprint[0].y};
    for (const Corner &c : o.footprint)
        b = {std::min(b.x0, c.x), std::min(b.y0, c.y), std::max(b.x1, c.x), std::max(b.y1, c.y)};
    return b;
}
bool within(const Box &b, const Segment &s, double reach)
{
    const double gx = std::max({0.0, std::min(s[0], s[3]) - b.x1, b.x0 - std::max(s[0], s[3])});
    const double gy = std::max({0.0, std::min(s[1], s[4]) - b.y1, b.y0 - std::max(s[1], s[4])});
    return std::hypot(gx, gy) <= reach;
}

bool sameShape(const Object &a, const Object &b)
{
    return a.height == b.height && a.footprint.size() == b.footprint.size() &&
           std::equal(a.footprint.begin(), a.footprint.end(), b.footprint.begin(),
                      [](const Corner &u, const Corner &v) { return u.x == v.x && u.y == v.y; });
}

} // namespace

double checkReach(const Layout &layout) { return top(segments(layout)) + 2.0 * layout.hr; }

std::vector<std::optional<std::size_t>> carriedOver(const Layout &before, const Layout &after)
{
    std::vector<std::optional<std::size_t>> out(after.objects.size());
    const std::vector<Segment> was = segments(before), is = segments(after);
    if (before.hr != after.hr || top(was) != top(is)) return out;
    // The conductors added, moved or taken away: in one layout and not in the other.
    std::vector<Segment> changed;
    std::set_symmetric_difference(was.begin(), was.end(), is.begin(), is.end(),
                                  std::back_inserter(changed));
    const double reach = top(is) + 2.0 * after.hr;
    // Each object of `after` found among `before`'s by its place first, then by its shape.
    std::multimap<std::array<double, 3>, std::size_t> byShape;
    for (std::size_t i = 0; i < before.objects.size(); ++i) {
        const Object &o = before.objects[i];
        if (!o.footprint.empty())
            byShape.emplace(std::array{o.footprint[0].x, o.footprint[0].y, o.height}, i);
    }
    for (std::size_t i = 0; i < after.objects.size(); ++i) {
        const Object &o = after.objects[i];
        if (o.footprint.empty()) continue;
        std::optional<std::size_t> same;
        if (i < before.objects.size() && sameShape(before.objects[i], o)) same = i;
        const auto [lo, hi] = byShape.equal_range({o.footprint[0].x, o.footprint[0].y, o.height});
        for (auto it = lo; !same && it != hi; ++it)
            if (sameShape(before.objects[it->second], o)) same = it->second;
        if (!same) continue;
        const Box b = boxOf(o);
        if (std::none_of(changed.begin(), changed.end(),
                         [&](const Segment &s) { return within(b, s, reach); }))
            out[i] = same;
    }
    return out;
}

} // namespace calc::layout
