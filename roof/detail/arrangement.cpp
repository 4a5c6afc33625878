#include "roof/detail/arrangement.h"

#include "roof/detail/plan_math.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>

namespace calc::roof::detail {

namespace {

// Points closer than this are one vertex, and an end this close to another conductor meets it:
// conductors are joined to the millimetre the rules are judged to.
constexpr double kSnap = 0.001;

double cross(Corner o, Corner a, Corner b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Vertices found again by place, within kSnap, through a grid of cells of that size.
class Vertices {
public:
    std::size_t find(Corner c)
    {
        const auto key = [](double v) { return static_cast<long long>(std::floor(v / kSnap)); };
        const long long kx = key(c.x), ky = key(c.y);
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy) {
                const auto it = cells_.find(pack(kx + dx, ky + dy));
                if (it == cells_.end()) continue;
                for (const std::size_t v : it->second)
                    if (distance(points[v], c) <= kSnap) return v;
            }
        points.push_back(c);
        cells_[pack(kx, ky)].push_back(points.size() - 1);
        return points.size() - 1;
    }
    std::vector<Corner> points;

private:
    static long long pack(long long x, long long y) { return x * 1000003LL ^ (y * 7919LL); }
    std::unordered_map<long long, std::vector<std::size_t>> cells_;
};

// Where each segment is cut by the others: the parameters along it of every crossing, every end
// of another segment lying on it, and its own ends.
std::vector<std::vector<double>> cuts(std::span<const Segment> segments)
{
    std::vector<std::vector<double>> at(segments.size(), std::vector<double>{0, 1});
    const auto box = [](Segment s) {
        return std::array<double, 4>{std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y),
                                     std::max(s.a.x, s.b.x), std::max(s.a.y, s.b.y)};
    };
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment s = segments[i];
        const auto bs = box(s);
        for (std::size_t j = i + 1; j < segments.size(); ++j) {
            const Segment e = segments[j];
            const auto be = box(e);
            if (bs[0] > be[2] + kSnap || be[0] > bs[2] + kSnap || bs[1] > be[3] + kSnap ||
                be[1] > bs[3] + kSnap)
                continue;
            // Ends of one lying on the other (touching and overlapping alike).
            for (const Corner c : {e.a, e.b})
                if (distanceToSegment(c, s) <= kSnap) at[i].push_back(nearestParameter(c, s));
            for (const Corner c : {s.a, s.b})
                if (distanceToSegment(c, e) <= kSnap) at[j].push_back(nearestParameter(c, e));
            // A proper crossing.
            const double d1 = cross(s.a, s.b, e.a), d2 = cross(s.a, s.b, e.b);
            const double d3 = cross(e.a, e.b, s.a), d4 = cross(e.a, e.b, s.b);
            if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) &&
                ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
                at[i].push_back(d3 / (d3 - d4));
                at[j].push_back(d1 / (d1 - d2));
            }
        }
    }
    return at;
}

struct Graph {
    std::vector<Corner> points;
    std::vector<std::set<std::size_t>> next; // neighbours of each vertex
};

Graph graphOf(std::span<const Segment> segments)
{
    Vertices vertices;
    std::vector<std::pair<std::size_t, std::size_t>> edges;
    const auto at = cuts(segments);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::vector<double> ts = at[i];
        std::ranges::sort(ts);
        std::size_t last = vertices.find(along(segments[i], ts.front()));
        for (std::size_t k = 1; k < ts.size(); ++k) {
            const std::size_t v = vertices.find(along(segments[i], ts[k]));
            if (v != last) edges.emplace_back(last, v);
            last = v;
        }
    }
    Graph g{std::move(vertices.points), {}};
    g.next.resize(g.points.size());
    for (const auto &[a, b] : edges) {
        g.next[a].insert(b);
        g.next[b].insert(a);
    }
    return g;
}

// Drops every edge that closes no face: ends hanging free, repeatedly.
void pruneHanging(Graph &g)
{
    std::vector<std::size_t> loose;
    for (std::size_t v = 0; v < g.next.size(); ++v)
        if (g.next[v].size() == 1) loose.push_back(v);
    while (!loose.empty()) {
        const std::size_t v = loose.back();
        loose.pop_back();
        if (g.next[v].size() != 1) continue;
        const std::size_t w = *g.next[v].begin();
        g.next[v].clear();
        g.next[w].erase(v);
        if (g.next[w].size() == 1) loose.push_back(w);
    }
}

struct Cycle {
    std::vector<std::size_t> vertices;
    double area = 0; // signed: positive for a bounded face's boundary
};

// Every cycle of directed edges keeping its face on the left: at each vertex the walk turns into
// the edge next clockwise from the one it came along.
std::vector<Cycle> cycles(const Graph &g, std::vector<std::pair<std::size_t, std::size_t>> &bridges)
{
    // Each vertex's neighbours by angle, counter-clockwise.
    std::vector<std::vector<std::size_t>> around(g.points.size());
    for (std::size_t v = 0; v < g.points.size(); ++v) {
        around[v].assign(g.next[v].begin(), g.next[v].end());
        const Corner o = g.points[v];
        std::ranges::sort(around[v], [&](std::size_t a, std::size_t b) {
            return std::atan2(g.points[a].y - o.y, g.points[a].x - o.x) <
                   std::atan2(g.points[b].y - o.y, g.points[b].x - o.x);
        });
    }
    std::map<std::pair<std::size_t, std::size_t>, bool> walked;
    std::vector<Cycle> result;
    for (std::size_t v = 0; v < g.points.size(); ++v)
        for (const std::size_t w : around[v]) {
            if (walked[{v, w}]) continue;
            Cycle cycle;
            std::set<std::pair<std::size_t, std::size_t>> edges;
            std::size_t a = v, b = w;
            while (!walked[{a, b}]) {
                walked[{a, b}] = true;
                edges.insert({a, b});
                cycle.vertices.push_back(a);
                const auto &list = around[b];
                const auto back = std::ranges::find(list, a) - list.begin();
                const std::size_t c =
                    list[(static_cast<std::size_t>(back) + list.size() - 1) % list.size()];
                a = b;
                b = c;
            }
            for (const auto &[p, q] : edges)
                if (p < q && edges.contains({q, p})) bridges.emplace_back(p, q);
            for (std::size_t i = 0; i < cycle.vertices.size(); ++i) {
                const Corner p = g.points[cycle.vertices[i]];
                const Corner q = g.points[cycle.vertices[(i + 1) % cycle.vertices.size()]];
                cycle.area += (p.x * q.y - q.x * p.y) / 2;
            }
            result.push_back(std::move(cycle));
        }
    return result;
}

bool inside(Corner c, const Ring &ring)
{
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const Corner a = ring[i], b = ring[j];
        if ((a.y > c.y) != (b.y > c.y) && c.x < (b.x - a.x) * (c.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

} // namespace

Faces boundedFaces(std::span<const Segment> segments)
{
    Graph g = graphOf(segments);
    // Bridges (an edge with the same face on both sides) close nothing: drop them, and what
    // hangs free after them, until none is left.
    std::vector<Cycle> found;
    for (;;) {
        pruneHanging(g);
        std::vector<std::pair<std::size_t, std::size_t>> bridges;
        found = cycles(g, bridges);
        if (bridges.empty()) break;
        for (const auto &[p, q] : bridges) {
            g.next[p].erase(q);
            g.next[q].erase(p);
        }
    }

    const auto ring = [&](const Cycle &c) {
        Ring r;
        for (const std::size_t v : c.vertices) r.push_back(g.points[v]);
        return r;
    };
    // Each separate piece of the drawing: its vertices joined.
    std::vector<std::size_t> piece(g.points.size());
    std::iota(piece.begin(), piece.end(), std::size_t{0});
    const auto root = [&](std::size_t v) {
        while (piece[v] != v) v = piece[v] = piece[piece[v]];
        return v;
    };
    for (std::size_t v = 0; v < g.points.size(); ++v)
        for (const std::size_t w : g.next[v]) piece[root(v)] = root(w);

    Faces result;
    std::vector<const Cycle *> outers, bounded;
    for (const Cycle &c : found) (c.area > 0 ? bounded : outers).push_back(&c);
    for (const Cycle *c : outers) {
        Ring r = ring(*c);
        std::ranges::reverse(r);
        result.covered.push_back(std::move(r));
    }
    for (const Cycle *c : bounded) result.faces.push_back({ring(*c)});
    // A piece standing inside a face is a hole of the smallest face of another piece that holds
    // it.
    for (std::size_t o = 0; o < outers.size(); ++o) {
        const std::size_t own = root(outers[o]->vertices.front());
        const Corner probe = g.points[outers[o]->vertices.front()];
        std::optional<std::size_t> holder;
        for (std::size_t f = 0; f < bounded.size(); ++f) {
            if (root(bounded[f]->vertices.front()) == own) continue;
            if (holder && bounded[*holder]->area <= bounded[f]->area) continue;
            if (inside(probe, result.faces[f].outer)) holder = f;
        }
        if (holder) result.faces[*holder].holes.push_back(ring(*outers[o]));
    }
    return result;
}

} // namespace calc::roof::detail
