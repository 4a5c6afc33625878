#include "layouts/layout_zone_grid.h"

#include <cmath>

// The grid's corners settled inside the zone or not, and the zone's edge searched for along a
// line: across the grid's edges and, for the refinement, out from the outline's chords.
namespace calc::layout::zone {

namespace {

// Newton's step along u from a probe; nothing where the engine gives no gradient or the
// margin barely changes along u (the step would fly off).
std::optional<double> newtonStep(const Probe &at, Vec2 u)
{
    if (!at.slope) return {};
    const double rate = at.slope->x * u.x + at.slope->y * u.y;
    if (!(std::abs(rate) > 0.05)) return {};
    return -at.m / rate;
}

// The lines of an even grid of `cells` from `origin` `step` apart, each cell cut into as many
// as `splits` asks.
std::vector<double> lines(double origin, double step, int cells, const std::vector<int> &splits)
{
    std::vector<double> at;
    for (int k = 0; k < cells; ++k) {
        const std::size_t c = static_cast<std::size_t>(k);
        const int parts = c < splits.size() ? std::max(splits[c], 1) : 1;
        for (int p = 0; p < parts; ++p)
            at.push_back(origin + (k + static_cast<double>(p) / parts) * step);
    }
    at.push_back(origin + cells * step);
    return at;
}

} // namespace

Grid::Grid(const rolling_sphere::Layout &engine, const PlanBox &box, double height, double cell,
           double tolerance, int maxCells, const Splits &splits)
    : engine_(engine), height_(height), tolerance_(tolerance)
{
    const double w = std::max(box.maxX - box.minX, 1e-3);
    const double h = std::max(box.maxY - box.minY, 1e-3);
    evenX_ = std::clamp(static_cast<int>(std::ceil(w / cell)), 1, maxCells);
    evenY_ = std::clamp(static_cast<int>(std::ceil(h / cell)), 1, maxCells);
    x0_ = box.minX;
    y0_ = box.minY;
    dx_ = w / evenX_;
    dy_ = h / evenY_;
    cap_ = 3 * std::max(dx_, dy_);
    xs_ = lines(x0_, dx_, evenX_, splits.columns);
    ys_ = lines(y0_, dy_, evenY_, splits.rows);
    nx_ = static_cast<int>(xs_.size()) - 1;
    ny_ = static_cast<int>(ys_.size()) - 1;
    // Clearance changes no faster than the point moves, so one query settles every corner
    // nearer than its margin from the zone's edge, on the same side.
    inside_.resize(static_cast<std::size_t>((nx_ + 1) * (ny_ + 1)));
    probed_.resize(inside_.size());
    known_.assign(inside_.size(), 0);
    // Bands of rows on the threads: each settles only its own rows.
    const int bands = std::min(ny_ + 1, 4);
    inParallel(static_cast<std::size_t>(bands), [&](std::size_t band) {
        const int first = static_cast<int>(band) * (ny_ + 1) / bands;
        const int last = (static_cast<int>(band) + 1) * (ny_ + 1) / bands - 1;
        settleRows(first, last);
    });
}

void Grid::settleRows(int first, int last)
{
    // The last centre found, near the next corner asked about: it speeds up the search.
    std::optional<rolling_sphere::Point> recent;
    for (int j = first; j <= last; ++j)
        for (int i = 0; i <= nx_; ++i) {
            if (known_[index(i, j)]) continue;
            const Vec2 p = corner(i, j);
            if (const auto reached = reachedAround(p)) {
                settle(p, *reached, false, first, last);
                continue;
            }
            const Probe probe = this->probe(p, recent);
            if (probe.centre) recent = probe.centre;
            inside_[index(i, j)] = probe.m > 0;
            known_[index(i, j)] = 1;
            probed_[index(i, j)] = probe;
            settle(p, std::abs(probe.m), probe.m > 0, first, last);
            // A reached point's nearest centre reaches every point within hr of it.
            if (!(probe.m > 0) && probe.centre) {
                const rolling_sphere::Point c = *probe.centre;
                const double hr = engine_.radius();
                const double across = hr * hr - (c.z - height_) * (c.z - height_);
                if (across > 0) settle({c.x, c.y}, std::sqrt(across), false, first, last);
            }
        }
}

void Grid::settle(Vec2 centre, double reach, bool inside, int first, int last)
{
    reach *= 1 - 1e-9;
    // The grid's lines from the first past centre - reach to the last before centre + reach.
    const auto span = [&](const std::vector<double> &at, double c) {
        const auto lo = std::upper_bound(at.begin(), at.end(), c - reach);
        const auto hi = std::lower_bound(at.begin(), at.end(), c + reach);
        return std::pair<int, int>(static_cast<int>(lo - at.begin()),
                                   static_cast<int>(hi - at.begin()) - 1);
    };
    const auto [i0, i1] = span(xs_, centre.x);
    const auto [j0, j1] = span(ys_, centre.y);
    for (int j = std::max(first, j0); j <= std::min(last, j1); ++j)
        for (int i = std::max(0, i0); i <= std::min(nx_, i1); ++i) {
            const Vec2 q = corner(i, j);
            if (std::hypot(q.x - centre.x, q.y - centre.y) >= reach) continue;
            inside_[index(i, j)] = inside;
            known_[index(i, j)] = 1;
        }
}

bool Grid::finer(const std::vector<Vec2> &astray, Splits &splits, int most) const
{
    splits.columns.resize(static_cast<std::size_t>(evenX_), 1);
    splits.rows.resize(static_cast<std::size_t>(evenY_), 1);
    // The marks first, so that each column and row is doubled once however many points ask.
    std::vector<char> columns(splits.columns.size(), 0), rows(splits.rows.size(), 0);
    const auto mark = [](std::vector<char> &marks, double at) {
        // The point's cell and its neighbours: the feature missed runs on past the cell.
        if (!(std::abs(at) < 1e9)) return; // no cell of the grid (nor a number at all)
        const int k = static_cast<int>(std::floor(at));
        for (int n = k - 1; n <= k + 1; ++n)
            if (n >= 0 && n < static_cast<int>(marks.size()))
                marks[static_cast<std::size_t>(n)] = 1;
    };
    for (const Vec2 &p : astray) {
        mark(columns, (p.x - x0_) / dx_);
        mark(rows, (p.y - y0_) / dy_);
    }
    bool cut = false;
    const auto doubleMarked = [&](std::vector<int> &parts, const std::vector<char> &marks) {
        for (std::size_t k = 0; k < parts.size(); ++k)
            if (marks[k] && parts[k] < most) {
                parts[k] = std::min(most, 2 * parts[k]);
                cut = true;
            }
    };
    doubleMarked(splits.columns, columns);
    doubleMarked(splits.rows, rows);
    return cut;
}

double Grid::margin(Vec2 p) const
{
    if (height_ <= 0) return groundMargin(p);
    return engine_.clearance({p.x, p.y, height_}, kInsideAbove + cap_) - kInsideAbove;
}

Probe Grid::probe(Vec2 p, const std::optional<rolling_sphere::Point> &hint) const
{
    if (height_ <= 0) return {groundMargin(p), {}, {}};
    const rolling_sphere::Point at{p.x, p.y, height_};
    const auto nearest = engine_.nearest(at, kInsideAbove + cap_, hint);
    Probe probe{nearest.clearance - kInsideAbove, {}, nearest.centre};
    if (nearest.centre) {
        const rolling_sphere::Point c = *nearest.centre;
        const double d = std::sqrt((at.x - c.x) * (at.x - c.x) + (at.y - c.y) * (at.y - c.y) +
                                   (at.z - c.z) * (at.z - c.z));
        if (d > 0) probe.slope = Vec2{(at.x - c.x) / d, (at.y - c.y) / d};
    }
    return probe;
}

std::optional<double> Grid::reachedAround(Vec2 p) const
{
    if (height_ <= 0) return {};
    const double hr = engine_.radius();
    const rolling_sphere::Point centre{p.x, p.y, std::max(hr, height_)};
    const double free = engine_.conductorMargin(centre);
    if (!(free > 0) || !engine_.reachable(centre)) return {};
    const double below = centre.z - height_;
    return std::sqrt(hr * hr - below * below) + free;
}

double Grid::groundMargin(Vec2 p) const
{
    const rolling_sphere::Point centre{p.x, p.y, engine_.radius()};
    const double free = engine_.conductorMargin(centre);
    if (free < 0) return -free;
    return engine_.reachable(centre) ? -free : std::max(free, kInsideAbove);
}

void Grid::findCrossings()
{
    std::vector<long> edges;
    for (int j = 0; j <= ny_; ++j)
        for (int i = 0; i <= nx_; ++i) {
            if (i < nx_ && at(i, j) != at(i + 1, j)) edges.push_back(horizontal(i, j));
            if (j < ny_ && at(i, j) != at(i, j + 1)) edges.push_back(vertical(i, j));
        }
    std::vector<EdgePoint> found(edges.size());
    inParallel(edges.size(), [&](std::size_t k) { found[k] = findCrossing(edges[k]); });
    for (std::size_t k = 0; k < edges.size(); ++k) crossings_.emplace(edges[k], found[k]);
}

EdgePoint Grid::findCrossing(long edge) const
{
    const std::size_t k = static_cast<std::size_t>(edge / 2);
    const int i = static_cast<int>(k % static_cast<std::size_t>(nx_ + 1));
    const int j = static_cast<int>(k / static_cast<std::size_t>(nx_ + 1));
    const Vec2 a = corner(i, j);
    const Vec2 b = edge % 2 == 0 ? corner(i + 1, j) : corner(i, j + 1);
    const std::size_t ib = edge % 2 == 0 ? k + 1 : k + static_cast<std::size_t>(nx_ + 1);
    return boundaryBetween(a, b, probed_[k], probed_[ib]);
}

EdgePoint Grid::boundaryBetween(Vec2 a, Vec2 b, const std::optional<Probe> &atA,
                                const std::optional<Probe> &atB) const
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (!(length > 0)) return {a, {}, {}};
    const Vec2 u{(b.x - a.x) / length, (b.y - a.y) / length};
    const bool fromB = atB && (!atA || std::abs(atB->m) < std::abs(atA->m));
    const Probe first = fromB ? *atB : atA ? *atA : probe(a);
    // The side of a: a's own probe, or the far side of b's.
    const bool aIn = fromB ? !(first.m > 0) : first.m > 0;
    const Root root = edgeAlong(a, u, fromB ? length : 0, first, 0, length, aIn);
    return {{a.x + u.x * root.s, a.y + u.y * root.s}, root.normal, root.centre};
}

Root Grid::edgeAlong(Vec2 o, Vec2 u, double s, Probe at, double lo, double hi, bool loIn) const
{
    for (int step = 0; step < 60; ++step) {
        const double skip = std::abs(at.m);
        if ((at.m > 0) == loIn)
            lo = std::max(lo, std::min(hi, s + skip));
        else
            hi = std::min(hi, std::max(lo, s - skip));
        if (hi - lo <= tolerance_ / 4) break;
        double next = (lo + hi) / 2;
        if (const auto move = newtonStep(at, u)) {
            if (s + *move > lo && s + *move < hi) {
                if (std::abs(*move) <= tolerance_ / 2) return {s + *move, at.slope, at.centre};
                next = s + *move;
            }
        }
        s = next;
        at = probe({o.x + u.x * s, o.y + u.y * s}, at.centre);
    }
    return {(lo + hi) / 2, {}, {}};
}

std::optional<Root> Grid::newtonAlong(Vec2 o, Vec2 u, double s, Probe at, double lo,
                                      double hi) const
{
    for (int step = 0; step < 6; ++step) {
        const auto move = newtonStep(at, u);
        if (!move) return {};
        s += *move;
        if (!(s >= lo && s <= hi)) return {};
        if (std::abs(*move) <= tolerance_ / 2) return Root{s, at.slope, at.centre};
        at = probe({o.x + u.x * s, o.y + u.y * s}, at.centre);
    }
    return {};
}

Vec2 Grid::bisect(Vec2 a, Vec2 b) const
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
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

std::optional<Vec2> Grid::edgeFrom(Vec2 o, Vec2 u, double reach, double from) const
{
    const bool in = from > 0;
    double s = 0, m = from;
    while (s < reach) {
        const double next = std::min(reach, s + std::max(std::abs(m), tolerance_));
        const Vec2 p{o.x + u.x * next, o.y + u.y * next};
        m = margin(p);
        if ((m > 0) != in) return bisect({o.x + u.x * s, o.y + u.y * s}, p);
        s = next;
    }
    return {};
}

} // namespace calc::layout::zone
