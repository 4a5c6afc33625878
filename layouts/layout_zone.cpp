#include "layouts/layout_zone.h"

#include "layouts/layout_zone_grid.h"

#include <cmath>

namespace calc::layout {

// Marching squares over the settled grid, and the outline refined between its crossings.
namespace zone {

namespace {

// How far the edge strays from the chord between a and b, from how much it turns between
// them: an arc turning by angle t over a chord c strays c / 2 tan(t / 4) from it. Nothing
// without both gradients, or where it turns so sharply that it may be no arc.
std::optional<double> arcStray(const EdgePoint &a, const EdgePoint &b, double chord)
{
    if (!a.normal || !b.normal) return {};
    const double na = std::hypot(a.normal->x, a.normal->y);
    const double nb = std::hypot(b.normal->x, b.normal->y);
    if (!(na > 0 && nb > 0)) return {};
    const double cosine = (a.normal->x * b.normal->x + a.normal->y * b.normal->y) / (na * nb);
    const double turn = std::acos(std::clamp(cosine, -1.0, 1.0));
    if (!(turn < 0.5)) return {};
    return chord / 2 * std::tan(turn / 4);
}

// Where along n, from the chord's middle, the arc between a and b passes: as far as it
// strays, toward where the edge's tangents at a and b meet.
std::optional<double> arcMiddle(const EdgePoint &a, const EdgePoint &b, Vec2 m, Vec2 n,
                                double chord)
{
    const auto stray = arcStray(a, b, chord);
    if (!stray) return {};
    const Vec2 ta{-a.normal->y, a.normal->x}, tb{-b.normal->y, b.normal->x};
    const double cross = ta.x * tb.y - ta.y * tb.x;
    if (!(std::abs(cross) > 1e-12)) return {};
    // a + k ta = b + l tb
    const double k = ((b.at.x - a.at.x) * tb.y - (b.at.y - a.at.y) * tb.x) / cross;
    const Vec2 meet{a.at.x + k * ta.x, a.at.y + k * ta.y};
    return (meet.x - m.x) * n.x + (meet.y - m.y) * n.y < 0 ? -*stray : *stray;
}

} // namespace

PlanZone Grid::run(std::vector<Vec2> &astray)
{
    findCrossings();
    PlanZone zone;
    // Each cut cell gives its polygon and one or two outline pieces between edge ids.
    std::vector<std::pair<long, long>> pieces;
    for (int j = 0; j < ny_; ++j) {
        int runStart = -1;
        for (int i = 0; i <= nx_; ++i) {
            const bool full =
                i < nx_ && at(i, j) && at(i + 1, j) && at(i + 1, j + 1) && at(i, j + 1);
            if (full && runStart < 0) runStart = i;
            if (!full && runStart >= 0) {
                zone.fill.push_back(
                    {corner(runStart, j), corner(i, j), corner(i, j + 1), corner(runStart, j + 1)});
                runStart = -1;
            }
            if (i < nx_ && !full) cutCell(i, j, zone, pieces);
        }
    }
    chain(pieces, zone, astray);
    return zone;
}

void Grid::cutCell(int i, int j, PlanZone &zone, std::vector<std::pair<long, long>> &pieces)
{
    const bool c[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
    const Vec2 p[4] = {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)};
    // Edge k runs from corner k to corner k + 1 around the cell.
    const long e[4] = {horizontal(i, j), vertical(i + 1, j), horizontal(i, j + 1), vertical(i, j)};
    std::vector<Vec2> polygon;
    std::vector<long> cut;
    for (int k = 0; k < 4; ++k) {
        if (c[k]) polygon.push_back(p[k]);
        if (c[k] != c[(k + 1) % 4]) {
            polygon.push_back(crossing(e[k]).at);
            cut.push_back(e[k]);
        }
    }
    if (polygon.size() >= 3) zone.fill.push_back(std::move(polygon));
    if (cut.size() == 2) {
        pieces.emplace_back(cut[0], cut[1]);
    } else if (cut.size() == 4) {
        // A saddle: the inside corners taken as joined through the middle, so each outside
        // corner is cut off on its own.
        if (c[0])
            pieces.insert(pieces.end(), {{cut[0], cut[1]}, {cut[2], cut[3]}});
        else
            pieces.insert(pieces.end(), {{cut[3], cut[0]}, {cut[1], cut[2]}});
    }
}

void Grid::chain(const std::vector<std::pair<long, long>> &pieces, PlanZone &zone,
                 std::vector<Vec2> &astray)
{
    std::vector<std::vector<EdgePoint>> lines;
    std::multimap<long, std::size_t> byEdge;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        byEdge.emplace(pieces[k].first, k);
        byEdge.emplace(pieces[k].second, k);
    }
    std::vector<bool> used(pieces.size(), false);
    const auto next = [&](long edge, std::size_t from) -> std::ptrdiff_t {
        auto [lo, hi] = byEdge.equal_range(edge);
        for (auto it = lo; it != hi; ++it)
            if (it->second != from && !used[it->second])
                return static_cast<std::ptrdiff_t>(it->second);
        return -1;
    };
    for (std::size_t start = 0; start < pieces.size(); ++start) {
        if (used[start]) continue;
        // Walk back to an open end, if any, so that an open line comes out whole.
        std::size_t first = start;
        long head = pieces[start].first;
        {
            std::vector<bool> seen(pieces.size(), false);
            seen[start] = true;
            for (;;) {
                auto [lo, hi] = byEdge.equal_range(head);
                std::ptrdiff_t other = -1;
                for (auto it = lo; it != hi; ++it)
                    if (it->second != first && !used[it->second])
                        other = static_cast<std::ptrdiff_t>(it->second);
                if (other < 0 || seen[static_cast<std::size_t>(other)]) break;
                first = static_cast<std::size_t>(other);
                seen[first] = true;
                head = pieces[first].first == head ? pieces[first].second : pieces[first].first;
            }
        }
        std::vector<long> edges{head};
        long tail = head;
        std::size_t current = first;
        for (;;) {
            used[current] = true;
            tail = pieces[current].first == tail ? pieces[current].second : pieces[current].first;
            edges.push_back(tail);
            const std::ptrdiff_t following = next(tail, current);
            if (following < 0) break;
            current = static_cast<std::size_t>(following);
        }
        std::vector<EdgePoint> line;
        for (long edge : edges) line.push_back(crossing(edge));
        lines.push_back(std::move(line));
    }
    zone.outline = refine(lines, astray);
}

std::vector<std::vector<Vec2>> Grid::refine(const std::vector<std::vector<EdgePoint>> &lines,
                                            std::vector<Vec2> &astray) const
{
    std::vector<std::pair<std::size_t, std::size_t>> chords; // line, its chord's far end
    for (std::size_t l = 0; l < lines.size(); ++l)
        for (std::size_t k = 1; k < lines[l].size(); ++k) chords.emplace_back(l, k);
    std::vector<std::vector<Vec2>> between(chords.size());
    inParallel(chords.size(), [&](std::size_t c) {
        const auto [l, k] = chords[c];
        refineBetween(lines[l][k - 1], lines[l][k], 0, between[c]);
    });
    std::vector<std::vector<Vec2>> out(lines.size());
    std::size_t c = 0;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        if (lines[l].empty()) continue;
        out[l].push_back(lines[l].front().at);
        for (std::size_t k = 1; k < lines[l].size(); ++k, ++c) {
            out[l].insert(out[l].end(), between[c].begin(), between[c].end());
            out[l].push_back(lines[l][k].at);
        }
    }
    // Each chord's middle asked once more: the refinement stops where its search finds no
    // edge near the chord, or at its depth, and a chord across a neck of the zone the grid
    // missed has ends on the edge but lies inside. The margin is a distance in space: where
    // the zone's surface lies nearly flat at this height, the edge on the plan is as many times
    // farther as the gradient on the plan is shorter than 1.
    std::vector<std::pair<std::size_t, std::size_t>> ends;
    for (std::size_t l = 0; l < out.size(); ++l)
        for (std::size_t k = 1; k < out[l].size(); ++k) ends.emplace_back(l, k);
    std::vector<char> off(ends.size(), 0);
    inParallel(ends.size(), [&](std::size_t c) {
        const auto [l, k] = ends[c];
        const Vec2 m = lerp(out[l][k - 1], out[l][k], 0.5);
        const Probe at = probe(m);
        const double steep = at.slope ? std::hypot(at.slope->x, at.slope->y) : 1;
        off[c] = std::abs(at.m) > tolerance_ * steep;
    });
    for (std::size_t c = 0; c < ends.size(); ++c)
        if (off[c])
            astray.push_back(lerp(out[ends[c].first][ends[c].second - 1],
                                  out[ends[c].first][ends[c].second], 0.5));
    return out;
}

void Grid::refineBetween(const EdgePoint &a, const EdgePoint &b, int depth,
                         std::vector<Vec2> &out) const
{
    const double length = std::hypot(b.at.x - a.at.x, b.at.y - a.at.y);
    if (depth >= 8 || length < 2 * tolerance_) return;
    // Where the edge is an arc, how far it turns tells how far it strays: no query then.
    if (const auto stray = arcStray(a, b, length); stray && *stray <= tolerance_ / 2) return;
    const Vec2 m = lerp(a.at, b.at, 0.5);
    const Vec2 n{-(b.at.y - a.at.y) / length, (b.at.x - a.at.x) / length};
    // The edge between two crossings stays near their cell, but may bulge far from a short
    // chord across a small island: look as far as the cell's neighbours.
    const double reach = std::max(length / 2, 1.5 * std::hypot(dx_, dy_));
    EdgePoint edge;
    // Across the chord's middle, from where the arc through a and b passes, or else from
    // the middle: usually one query finds the edge, or tells that it lies within the
    // tolerance.
    const auto hint = a.centre ? a.centre : b.centre;
    const std::optional<double> arc = arcMiddle(a, b, m, n, length);
    const double from = arc.value_or(0);
    const Probe first = probe({m.x + n.x * from, m.y + n.y * from}, hint);
    if (const auto root = newtonAlong(m, n, from, first, -reach, reach)) {
        if (std::abs(root->s) <= tolerance_) return;
        edge = {{m.x + n.x * root->s, m.y + n.y * root->s}, root->normal, root->centre};
    } else {
        const Probe middle = arc ? probe(m, hint) : first;
        // Out from the middle, first the way the margin falls (toward the edge).
        const bool in = middle.m > 0;
        const double sign =
            middle.slope && (middle.slope->x * n.x + middle.slope->y * n.y < 0) == in ? 1 : -1;
        auto found = edgeFrom(m, {sign * n.x, sign * n.y}, reach, middle.m);
        if (!found) found = edgeFrom(m, {-sign * n.x, -sign * n.y}, reach, middle.m);
        if (!found) return;
        edge = {*found, {}, {}};
        if (std::hypot(edge.at.x - m.x, edge.at.y - m.y) <= tolerance_) return;
    }
    refineBetween(a, edge, depth + 1, out);
    out.push_back(edge.at);
    refineBetween(edge, b, depth + 1, out);
}

} // namespace zone

using drawing::Vec2;
using zone::kInsideAbove;
using zone::lerp;

namespace {

void widen(PlanBox &box, bool &first, double x0, double y0, double x1, double y1)
{
    if (first) {
        box = {x0, y0, x1, y1};
        first = false;
        return;
    }
    box.minX = std::min(box.minX, x0);
    box.minY = std::min(box.minY, y0);
    box.maxX = std::max(box.maxX, x1);
    box.maxY = std::max(box.maxY, y1);
}

} // namespace

PlanBox planBox(const Layout &layout)
{
    PlanBox box;
    bool first = true;
    const double r = layout.hr;
    for (const Conductor &c : layout.conductors) {
        if (const Rod *rod = std::get_if<Rod>(&c)) {
            widen(box, first, rod->x - r, rod->y - r, rod->x + r, rod->y + r);
        } else {
            const Wire &w = std::get<Wire>(c);
            widen(box, first, std::min(w.a.x, w.b.x) - r, std::min(w.a.y, w.b.y) - r,
                  std::max(w.a.x, w.b.x) + r, std::max(w.a.y, w.b.y) + r);
        }
    }
    for (const Object &o : layout.objects)
        for (const Corner &k : o.footprint) widen(box, first, k.x, k.y, k.x, k.y);
    if (first) box = {-10, -10, 10, 10};
    return box;
}

bool insideZone(const rolling_sphere::Layout &engine, double x, double y, double height)
{
    return engine.clearance({x, y, height}) > kInsideAbove;
}

PlanZone planZone(const rolling_sphere::Layout &engine, const PlanBox &box, double height,
                  double cell, double tolerance, int maxCells)
{
    cell = std::max(cell, 1e-3);
    tolerance = std::max(tolerance, 1e-4);
    maxCells = std::max(maxCells, 1);
    // The even grid first; where its outline strays from the edge, the columns and rows there
    // cut finer and the whole grid marched again, until the outline follows the edge or the
    // cells there are a sixteenth of the even grid's.
    // A few passes settle the narrow places of a real layout; the cap keeps a flat zone, whose
    // edge is hard to tell on the plan, from taking ever more.
    constexpr int kMostPasses = 8;
    zone::Splits splits;
    for (int pass = 1;; ++pass) {
        zone::Grid grid(engine, box, height, cell, tolerance, maxCells, splits);
        std::vector<Vec2> astray;
        PlanZone zone = grid.run(astray);
        if (astray.empty() || pass == kMostPasses || !grid.finer(astray, splits, 16)) return zone;
    }
}

std::vector<Vec2> zoneProfile(const rolling_sphere::Layout &engine, Vec2 a, Vec2 b, double top,
                              int samples)
{
    std::vector<Vec2> profile;
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    samples = std::max(samples, 1);
    for (int k = 0; k <= samples; ++k) {
        const double t = static_cast<double>(k) / samples;
        const Vec2 p = lerp(a, b, t);
        double z = 0;
        if (insideZone(engine, p.x, p.y, 0)) {
            // The zone over a plan point is a column from the ground up to its top.
            double lo = 0, hi = top;
            if (insideZone(engine, p.x, p.y, hi)) {
                lo = hi;
            } else {
                for (int i = 0; i < 40 && hi - lo > 1e-3; ++i) {
                    const double mid = (lo + hi) / 2;
                    (insideZone(engine, p.x, p.y, mid) ? lo : hi) = mid;
                }
            }
            z = lo;
        }
        profile.push_back({t * length, z});
    }
    return profile;
}

} // namespace calc::layout
