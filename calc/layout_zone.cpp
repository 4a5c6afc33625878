#include "calc/layout_zone.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace calc::layout {

using drawing::Vec2;

namespace {

// The sphere touches the ground outside the zone with a clearance of exactly zero; inside, the
// ground lies a finite margin below the nearest free centre.
constexpr double kInsideAbove = 1e-9;

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

Vec2 lerp(Vec2 a, Vec2 b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

class Grid {
public:
    Grid(const rolling_sphere::Layout &engine, const PlanBox &box, double height, double cell,
         double tolerance, int maxCells)
        : engine_(engine), height_(height), tolerance_(tolerance)
    {
        const double w = std::max(box.maxX - box.minX, 1e-3);
        const double h = std::max(box.maxY - box.minY, 1e-3);
        nx_ = std::clamp(static_cast<int>(std::ceil(w / cell)), 1, maxCells);
        ny_ = std::clamp(static_cast<int>(std::ceil(h / cell)), 1, maxCells);
        x0_ = box.minX;
        y0_ = box.minY;
        dx_ = w / nx_;
        dy_ = h / ny_;
        // Clearance changes no faster than the point moves, so one query settles every corner
        // nearer than its margin from the zone's edge, on the same side.
        inside_.resize(static_cast<std::size_t>((nx_ + 1) * (ny_ + 1)));
        std::vector<char> known(inside_.size(), 0);
        for (int j = 0; j <= ny_; ++j)
            for (int i = 0; i <= nx_; ++i) {
                if (known[index(i, j)]) continue;
                const double m = margin(corner(i, j));
                const bool inside = m > 0;
                const double reach = std::abs(m) * (1 - 1e-9);
                const int di = static_cast<int>(std::floor(reach / dx_));
                const int dj = static_cast<int>(std::floor(reach / dy_));
                for (int jj = std::max(0, j - dj); jj <= std::min(ny_, j + dj); ++jj)
                    for (int ii = std::max(0, i - di); ii <= std::min(nx_, i + di); ++ii) {
                        if (std::hypot((ii - i) * dx_, (jj - j) * dy_) >= reach &&
                            (ii != i || jj != j))
                            continue;
                        inside_[index(ii, jj)] = inside;
                        known[index(ii, jj)] = 1;
                    }
            }
    }

    // How far p at the zone's height lies inside the zone (negative outside); the zone is where
    // the clearance exceeds kInsideAbove.
    // Found only up to a few cells: a larger margin settles no more corners than that.
    double margin(Vec2 p) const
    {
        if (height_ <= 0) return groundMargin(p);
        const double cap = 3 * std::max(dx_, dy_);
        return engine_.clearance({p.x, p.y, height_}, kInsideAbove + cap) - kInsideAbove;
    }

    // On the ground, a point is protected exactly when no sphere can rest there: when the centre
    // hr above it cuts into a conductor, or lies in a pocket no sphere rolls into. How far that
    // centre is from cutting in is a margin in the same sense: every centre nearer to it than
    // that is on the same side (and in the same pocket, joined by a straight path).
    double groundMargin(Vec2 p) const
    {
        const rolling_sphere::Point centre{p.x, p.y, engine_.radius()};
        const double free = engine_.conductorMargin(centre);
        if (free < 0) return -free;
        return engine_.reachable(centre) ? -free : std::max(free, kInsideAbove);
    }
    bool in(Vec2 p) const { return margin(p) > 0; }

    PlanZone run()
    {
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
                    zone.fill.push_back({corner(runStart, j), corner(i, j), corner(i, j + 1),
                                         corner(runStart, j + 1)});
                    runStart = -1;
                }
                if (i < nx_ && !full) cutCell(i, j, zone, pieces);
            }
        }
        chain(pieces, zone);
        return zone;
    }

private:
    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j * (nx_ + 1) + i); }
    bool at(int i, int j) const { return inside_[index(i, j)]; }
    Vec2 corner(int i, int j) const { return {x0_ + i * dx_, y0_ + j * dy_}; }

    // Edge ids: the horizontal edge from corner (i, j) is 2 * index, the vertical one 2 * index
    // + 1.
    long horizontal(int i, int j) const { return 2 * static_cast<long>(index(i, j)); }
    long vertical(int i, int j) const { return 2 * static_cast<long>(index(i, j)) + 1; }

    Vec2 crossing(long edge)
    {
        if (auto found = crossings_.find(edge); found != crossings_.end()) return found->second;
        const std::size_t k = static_cast<std::size_t>(edge / 2);
        const int i = static_cast<int>(k % static_cast<std::size_t>(nx_ + 1));
        const int j = static_cast<int>(k / static_cast<std::size_t>(nx_ + 1));
        const Vec2 a = corner(i, j);
        const Vec2 b = edge % 2 == 0 ? corner(i + 1, j) : corner(i, j + 1);
        const Vec2 p = boundaryBetween(a, b);
        crossings_.emplace(edge, p);
        return p;
    }

    // The zone's edge between a and b, which lie on opposite sides of it.
    // Bisection, where each query's margin also rules out the stretch within it of the point.
    Vec2 boundaryBetween(Vec2 a, Vec2 b) const
    {
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (!(length > 0)) return a;
        const double ma = margin(a);
        const bool aIn = ma > 0;
        double lo = std::min(1.0, std::abs(ma) / length), hi = 1;
        const double mb = margin(b);
        hi = std::max(lo, 1 - std::abs(mb) / length);
        while ((hi - lo) * length > tolerance_ / 4) {
            const double mid = (lo + hi) / 2;
            const double m = margin(lerp(a, b, mid));
            const double skip = std::abs(m) / length;
            if ((m > 0) == aIn)
                lo = std::min(hi, mid + skip);
            else
                hi = std::max(lo, mid - skip);
        }
        return lerp(a, b, (lo + hi) / 2);
    }

    void cutCell(int i, int j, PlanZone &zone, std::vector<std::pair<long, long>> &pieces)
    {
        const bool c[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
        const Vec2 p[4] = {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)};
        // Edge k runs from corner k to corner k + 1 around the cell.
        const long e[4] = {horizontal(i, j), vertical(i + 1, j), horizontal(i, j + 1),
                           vertical(i, j)};
        std::vector<Vec2> polygon;
        std::vector<long> cut;
        for (int k = 0; k < 4; ++k) {
            if (c[k]) polygon.push_back(p[k]);
            if (c[k] != c[(k + 1) % 4]) {
                polygon.push_back(crossing(e[k]));
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

    void chain(const std::vector<std::pair<long, long>> &pieces, PlanZone &zone)
    {
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
                tail =
                    pieces[current].first == tail ? pieces[current].second : pieces[current].first;
                edges.push_back(tail);
                const std::ptrdiff_t following = next(tail, current);
                if (following < 0) break;
                current = static_cast<std::size_t>(following);
            }
            std::vector<Vec2> line;
            for (long edge : edges) line.push_back(crossing(edge));
            zone.outline.push_back(refine(line));
        }
    }

    // Puts points between neighbours until the chord lies within tolerance of the edge.
    std::vector<Vec2> refine(const std::vector<Vec2> &line) const
    {
        std::vector<Vec2> out;
        if (line.empty()) return out;
        out.push_back(line.front());
        for (std::size_t k = 1; k < line.size(); ++k) {
            refineBetween(line[k - 1], line[k], 0, out);
            out.push_back(line[k]);
        }
        return out;
    }

    void refineBetween(Vec2 a, Vec2 b, int depth, std::vector<Vec2> &out) const
    {
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (depth >= 8 || length < 2 * tolerance_) return;
        const Vec2 m = lerp(a, b, 0.5);
        const Vec2 n{-(b.y - a.y) / length, (b.x - a.x) / length};
        const double reach = length / 2;
        const Vec2 p{m.x - n.x * reach, m.y - n.y * reach};
        const Vec2 q{m.x + n.x * reach, m.y + n.y * reach};
        if (in(p) == in(q)) return;
        const Vec2 edge = boundaryBetween(p, q);
        if (std::hypot(edge.x - m.x, edge.y - m.y) <= tolerance_) return;
        refineBetween(a, edge, depth + 1, out);
        out.push_back(edge);
        refineBetween(edge, b, depth + 1, out);
    }

    const rolling_sphere::Layout &engine_;
    double height_;
    double tolerance_;
    int nx_ = 1, ny_ = 1;
    double x0_ = 0, y0_ = 0, dx_ = 1, dy_ = 1;
    std::vector<char> inside_;
    std::map<long, Vec2> crossings_;
};

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
    Grid grid(engine, box, height, std::max(cell, 1e-3), std::max(tolerance, 1e-4),
              std::max(maxCells, 1));
    return grid.run();
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
