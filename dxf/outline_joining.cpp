#include "dxf/outline_joining.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace dxf {

using calc::layout::Corner;

namespace {

double cross(const Corner &o, const Corner &a, const Corner &b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Points within the tolerance of one met before are that point: a grid of cells the
// tolerance wide, each point looked for in its own cell and the eight around it.
class Points {
public:
    explicit Points(double tolerance) : tolerance_(tolerance) {}

    std::uint32_t at(const Corner &p)
    {
        const long long cx = cell(p.x), cy = cell(p.y);
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy) {
                const auto it = grid_.find(key(cx + dx, cy + dy));
                if (it == grid_.end()) continue;
                for (std::uint32_t i : it->second)
                    if (std::hypot(all[i].x - p.x, all[i].y - p.y) <= tolerance_) return i;
            }
        all.push_back(p);
        grid_[key(cx, cy)].push_back(std::uint32_t(all.size() - 1));
        return std::uint32_t(all.size() - 1);
    }

    std::vector<Corner> all;

private:
    long long cell(double v) const { return (long long)std::floor(v / tolerance_); }
    static std::uint64_t key(long long x, long long y)
    {
        return (std::uint64_t(x) * 0x9E3779B97F4A7C15ull) ^ std::uint64_t(y);
    }
    double tolerance_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> grid_;
};

struct Segment {
    std::uint32_t a, b;
    std::uint32_t piece;
    double top;
    std::vector<std::pair<double, std::uint32_t>> splits; // where along it, which point
};

struct Edge {
    std::uint32_t u, v;
    std::vector<std::uint32_t> pieces;
    double top = 0;
    bool live = true;
};

// Where each segment is crossed or met by another: a sweep along x over the segments' boxes.
void findSplits(std::vector<Segment> &segs, Points &points, double tol)
{
    const auto &p = points.all;
    std::vector<std::uint32_t> order(segs.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto minX = [&](std::uint32_t i) { return std::min(p[segs[i].a].x, p[segs[i].b].x); };
    const auto maxX = [&](std::uint32_t i) { return std::max(p[segs[i].a].x, p[segs[i].b].x); };
    std::ranges::sort(order, {}, minX);
    std::vector<std::uint32_t> active;
    // One's end lying on the other's middle (a T-joint, or an overlap's end).
    const auto touch = [&](Segment &s, std::uint32_t point) {
        if (point == s.a || point == s.b) return;
        const Corner &a = p[s.a], &b = p[s.b], &q = p[point];
        const double ex = b.x - a.x, ey = b.y - a.y, len2 = ex * ex + ey * ey;
        const double t = ((q.x - a.x) * ex + (q.y - a.y) * ey) / len2;
        if (!(t > 0 && t < 1)) return;
        if (std::hypot(a.x + t * ex - q.x, a.y + t * ey - q.y) <= tol)
            s.splits.push_back({t, point});
    };
    for (std::uint32_t i : order) {
        const double x0 = minX(i);
        std::erase_if(active, [&](std::uint32_t j) { return maxX(j) + tol < x0; });
        Segment &s = segs[i];
        const double sy0 = std::min(p[s.a].y, p[s.b].y), sy1 = std::max(p[s.a].y, p[s.b].y);
        for (std::uint32_t j : active) {
            Segment &o = segs[j];
            if (std::max(p[o.a].y, p[o.b].y) + tol < sy0 ||
                std::min(p[o.a].y, p[o.b].y) - tol > sy1)
                continue;
            touch(s, o.a);
            touch(s, o.b);
            touch(o, s.a);
            touch(o, s.b);
            if (s.a == o.a || s.a == o.b || s.b == o.a || s.b == o.b) continue;
            // A crossing of their middles.
            const Corner &A = p[s.a], &B = p[s.b], &C = p[o.a], &D = p[o.b];
            const double rx = B.x - A.x, ry = B.y - A.y, qx = D.x - C.x, qy = D.y - C.y;
            const double denom = rx * qy - ry * qx;
            if (std::abs(denom) <= 1e-12 * std::hypot(rx, ry) * std::hypot(qx, qy)) continue;
            const double t = ((C.x - A.x) * qy - (C.y - A.y) * qx) / denom;
            const double u = ((C.x - A.x) * ry - (C.y - A.y) * rx) / denom;
            if (!(t > 0 && t < 1 && u > 0 && u < 1)) continue;
            const std::uint32_t x = points.at({A.x + t * rx, A.y + t * ry});
            if (x != s.a && x != s.b) s.splits.push_back({t, x});
            if (x != o.a && x != o.b) o.splits.push_back({u, x});
        }
        active.push_back(i);
    }
}

// The edges between the points, each once, from the segments cut at their splits.
std::vector<Edge> edgesOf(std::vector<Segment> &segs)
{
    std::vector<Edge> edges;
    std::unordered_map<std::uint64_t, std::uint32_t> index;
    for (Segment &s : segs) {
        std::ranges::sort(s.splits);
        std::vector<std::uint32_t> run{s.a};
        for (const auto &[t, v] : s.splits) run.push_back(v);
        run.push_back(s.b);
        for (std::size_t k = 0; k + 1 < run.size(); ++k) {
            const std::uint32_t u = std::min(run[k], run[k + 1]), v = std::max(run[k], run[k + 1]);
            if (u == v) continue;
            const auto [it, added] =
                index.try_emplace((std::uint64_t(u) << 32) | v, std::uint32_t(edges.size()));
            if (added) edges.push_back({u, v, {}, s.top});
            Edge &e = edges[it->second];
            e.pieces.push_back(s.piece);
            e.top = std::max(e.top, s.top);
        }
    }
    return edges;
}

// Ends left hanging bound no face: dropped, and what then hangs, until none does.
void pruneHanging(std::vector<Edge> &edges, std::size_t pointCount)
{
    std::vector<std::vector<std::uint32_t>> at(pointCount);
    std::vector<int> degree(pointCount, 0);
    for (std::uint32_t e = 0; e < edges.size(); ++e)
        if (edges[e].live) {
            at[edges[e].u].push_back(e), at[edges[e].v].push_back(e);
            ++degree[edges[e].u], ++degree[edges[e].v];
        }
    std::vector<std::uint32_t> queue;
    for (std::uint32_t v = 0; v < pointCount; ++v)
        if (degree[v] == 1) queue.push_back(v);
    while (!queue.empty()) {
        const std::uint32_t v = queue.back();
        queue.pop_back();
        for (std::uint32_t e : at[v]) {
            if (!edges[e].live) continue;
            edges[e].live = false;
            const std::uint32_t other = edges[e].u == v ? edges[e].v : edges[e].u;
            --degree[v];
            if (--degree[other] == 1) queue.push_back(other);
        }
    }
}

// The faces of the graph of live edges: half-edge 2e runs u → v, 2e + 1 back; each face is
// traced with its inside on the left, so bounded faces turn counter-clockwise.
struct Faces {
    std::vector<std::uint32_t> next; // the half-edge after each along its face
    std::vector<int> of;             // each half-edge's face, -1 for a dead edge's
    std::vector<double> area;        // each face's signed area
};

Faces traceFaces(const std::vector<Edge> &edges, const std::vector<Corner> &p)
{
    const std::size_t halves = edges.size() * 2;
    std::vector<std::vector<std::uint32_t>> out(p.size());
    const auto from = [&](std::uint32_t h) { return h % 2 ? edges[h / 2].v : edges[h / 2].u; };
    const auto to = [&](std::uint32_t h) { return h % 2 ? edges[h / 2].u : edges[h / 2].v; };
    for (std::uint32_t h = 0; h < halves; ++h)
        if (edges[h / 2].live) out[from(h)].push_back(h);
    std::vector<std::uint32_t> position(halves, 0);
    for (auto &list : out) {
        std::ranges::sort(list, {}, [&](std::uint32_t h) {
            const Corner &a = p[from(h)], &b = p[to(h)];
            return std::atan2(b.y - a.y, b.x - a.x);
        });
        for (std::uint32_t i = 0; i < list.size(); ++i) position[list[i]] = i;
    }
    Faces f{std::vector<std::uint32_t>(halves, 0), std::vector<int>(halves, -1), {}};
    for (std::uint32_t h = 0; h < halves; ++h) {
        if (!edges[h / 2].live) continue;
        // Arriving at v, leave by the edge next clockwise from the way back.
        const std::uint32_t back = h ^ 1u;
        const auto &list = out[to(h)];
        f.next[h] = list[(position[back] + list.size() - 1) % list.size()];
    }
    for (std::uint32_t h = 0; h < halves; ++h) {
        if (!edges[h / 2].live || f.of[h] >= 0) continue;
        const int face = int(f.area.size());
        double twice = 0;
        for (std::uint32_t k = h; f.of[k] < 0; k = f.next[k]) {
            f.of[k] = face;
            const Corner &a = p[from(k)], &b = p[to(k)];
            twice += a.x * b.y - b.x * a.y;
        }
        f.area.push_back(twice / 2);
    }
    return f;
}

std::uint32_t root(std::vector<std::uint32_t> &parent, std::uint32_t i)
{
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

// A ring without the corners where it runs straight on: those only its splitting made.
std::vector<Corner> straightened(std::vector<Corner> ring, double tol)
{
    for (bool changed = true; changed && ring.size() > 3;) {
        changed = false;
        for (std::size_t i = 0; i < ring.size() && ring.size() > 3; ++i) {
            const Corner &a = ring[(i + ring.size() - 1) % ring.size()], &b = ring[i],
                         &c = ring[(i + 1) % ring.size()];
            const double len = std::hypot(c.x - a.x, c.y - a.y);
            const bool ahead = (b.x - a.x) * (c.x - b.x) + (b.y - a.y) * (c.y - b.y) > 0;
            if (ahead && std::abs(cross(a, b, c)) <= tol * len * 1e-3) {
                ring.erase(ring.begin() + std::ptrdiff_t(i));
                changed = true;
            }
        }
    }
    return ring;
}

} // namespace

std::vector<JoinedOutline> joinSegments(const std::vector<JoinSegment> &segments, double tolerance)
{
    Points points(tolerance);
    std::vector<Segment> segs;
    for (const JoinSegment &s : segments) {
        const std::uint32_t a = points.at(s.a), b = points.at(s.b);
        if (a != b) segs.push_back({a, b, s.piece, s.top, {}});
    }
    findSplits(segs, points, tolerance);
    const std::vector<Corner> &p = points.all;
    std::vector<Edge> edges = edgesOf(segs);

    // A bridge between two closed runs has its one face on both sides: dropped, and the faces
    // traced again, until none is left.
    Faces faces;
    for (int round = 0; round < 64; ++round) {
        pruneHanging(edges, p.size());
        faces = traceFaces(edges, p);
        bool bridged = false;
        for (std::uint32_t e = 0; e < edges.size(); ++e)
            if (edges[e].live && faces.of[2 * e] == faces.of[2 * e + 1]) {
                edges[e].live = false;
                bridged = true;
            }
        if (!bridged) break;
    }

    // Bounded faces sharing an edge are one group.
    const double least = tolerance * tolerance;
    const auto bounded = [&](int face) {
        return face >= 0 && faces.area[std::size_t(face)] > least;
    };
    std::vector<std::uint32_t> parent(faces.area.size());
    std::iota(parent.begin(), parent.end(), 0u);
    for (std::uint32_t e = 0; e < edges.size(); ++e) {
        const int a = faces.of[2 * e], b = faces.of[2 * e + 1];
        if (edges[e].live && bounded(a) && bounded(b))
            parent[root(parent, std::uint32_t(a))] = root(parent, std::uint32_t(b));
    }
    const auto groupOf = [&](std::uint32_t h) {
        const int face = faces.of[h];
        return bounded(face) ? std::int64_t(root(parent, std::uint32_t(face))) : -1;
    };

    // Each group's boundary: its half-edges whose other side is outside it, followed round,
    // passing over the edges inside. Holes (clockwise runs) are filled.
    std::vector<JoinedOutline> out;
    std::unordered_map<std::uint32_t, std::size_t> outlineOfGroup;
    std::vector<bool> done(faces.of.size(), false);
    for (std::uint32_t h = 0; h < faces.of.size(); ++h) {
        const std::int64_t g = groupOf(h);
        if (g < 0 || done[h] || groupOf(h ^ 1u) == g) continue;
        std::vector<Corner> ring;
        double twice = 0;
        for (std::uint32_t k = h; !done[k];) {
            done[k] = true;
            const Edge &e = edges[k / 2];
            const Corner &a = p[k % 2 ? e.v : e.u], &b = p[k % 2 ? e.u : e.v];
            ring.push_back(a);
            twice += a.x * b.y - b.x * a.y;
            std::uint32_t n = faces.next[k];
            for (int guard = 0; groupOf(n ^ 1u) == g && guard < 1 << 20; ++guard)
                n = faces.next[n ^ 1u];
            k = n;
        }
        if (!(twice > 0)) continue;
        JoinedOutline o;
        o.ring = straightened(std::move(ring), tolerance);
        out.push_back(std::move(o));
        outlineOfGroup.try_emplace(std::uint32_t(g), out.size() - 1);
    }
    // Every piece and the highest top over the group's edges.
    for (std::uint32_t e = 0; e < edges.size(); ++e) {
        if (!edges[e].live) continue;
        for (std::uint32_t h : {2 * e, 2 * e + 1}) {
            const std::int64_t g = groupOf(h);
            if (g < 0) continue;
            const auto it = outlineOfGroup.find(std::uint32_t(g));
            if (it == outlineOfGroup.end()) continue;
            JoinedOutline &o = out[it->second];
            o.pieces.insert(o.pieces.end(), edges[e].pieces.begin(), edges[e].pieces.end());
            o.top = std::max(o.top, edges[e].top);
        }
    }
    for (JoinedOutline &o : out) {
        std::ranges::sort(o.pieces);
        o.pieces.erase(std::unique(o.pieces.begin(), o.pieces.end()), o.pieces.end());
    }
    return out;
}

} // namespace dxf
