#include "layouts/layout_zone.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
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

// Runs work(i) for every i below count, on as many threads as the machine has (the caller's
// among them), each taking the next i in turn. The engine answers from any thread; the first
// exception is passed on once every thread is done.
template <class Work>
void inParallel(std::size_t count, const Work &work)
{
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<std::size_t> next{0};
    std::exception_ptr failed;
    std::mutex failing;
    const auto run = [&] {
        try {
            for (std::size_t i; (i = next++) < count;) work(i);
        } catch (...) {
            const std::lock_guard lock(failing);
            if (!failed) failed = std::current_exception();
            next = count;
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(run);
        run();
    }
    if (failed) std::rethrow_exception(failed);
}

// The margin at a plan point, and its gradient on the plan where the engine gives one.
struct Probe {
    double m = 0;
    std::optional<Vec2> slope;
    std::optional<rolling_sphere::Point> centre; // the nearest reachable centre
};

// A point of the zone's edge, with the margin's gradient there when the engine gave one.
struct EdgePoint {
    Vec2 at;
    std::optional<Vec2> normal;
    std::optional<rolling_sphere::Point> centre; // the nearest centre found there
};

// Where along a line the edge was found, and the gradient there.
struct Root {
    double s = 0;
    std::optional<Vec2> normal;
    std::optional<rolling_sphere::Point> centre;
};

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
        cap_ = 3 * std::max(dx_, dy_);
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

    // Settles every corner of rows first..last: one query settles every corner nearer than its
    // margin, on the same side.
    void settleRows(int first, int last)
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

    // Marks every grid corner of rows first..last nearer than `reach` to `centre` as inside
    // the zone or not.
    void settle(Vec2 centre, double reach, bool inside, int first, int last)
    {
        reach *= 1 - 1e-9;
        const int i0 = static_cast<int>(std::ceil((centre.x - reach - x0_) / dx_));
        const int i1 = static_cast<int>(std::floor((centre.x + reach - x0_) / dx_));
        const int j0 = static_cast<int>(std::ceil((centre.y - reach - y0_) / dy_));
        const int j1 = static_cast<int>(std::floor((centre.y + reach - y0_) / dy_));
        for (int j = std::max(first, j0); j <= std::min(last, j1); ++j)
            for (int i = std::max(0, i0); i <= std::min(nx_, i1); ++i) {
                const Vec2 q = corner(i, j);
                if (std::hypot(q.x - centre.x, q.y - centre.y) >= reach) continue;
                inside_[index(i, j)] = inside;
                known_[index(i, j)] = 1;
            }
    }

    // How far p at the zone's height lies inside the zone (negative outside); the zone is where
    // the clearance exceeds kInsideAbove.
    // Found only up to a few cells: a larger margin settles no more corners than that.
    double margin(Vec2 p) const
    {
        if (height_ <= 0) return groundMargin(p);
        return engine_.clearance({p.x, p.y, height_}, kInsideAbove + cap_) - kInsideAbove;
    }

    // The margin with its gradient on the plan: the clearance grows straight away from the
    // nearest centre. The ground's margin comes without one.
    Probe probe(Vec2 p, const std::optional<rolling_sphere::Point> &hint = {}) const
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

    // Above the ground: when the centre straight above p at the sphere's height (or p itself,
    // higher up) is free and reachable, that centre reaches p, and so does every centre it can
    // move to sideways without cutting in: so is every point within hr of those centres. How
    // far from p that holds; nothing when the test says nothing.
    std::optional<double> reachedAround(Vec2 p) const
    {
        if (height_ <= 0) return {};
        const double hr = engine_.radius();
        const rolling_sphere::Point centre{p.x, p.y, std::max(hr, height_)};
        const double free = engine_.conductorMargin(centre);
        if (!(free > 0) || !engine_.reachable(centre)) return {};
        const double below = centre.z - height_;
        return std::sqrt(hr * hr - below * below) + free;
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
    // Every grid edge whose ends lie on opposite sides holds a crossing; found on the threads.
    void findCrossings()
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

    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j * (nx_ + 1) + i); }
    bool at(int i, int j) const { return inside_[index(i, j)]; }
    Vec2 corner(int i, int j) const { return {x0_ + i * dx_, y0_ + j * dy_}; }

    // Edge ids: the horizontal edge from corner (i, j) is 2 * index, the vertical one 2 * index
    // + 1.
    long horizontal(int i, int j) const { return 2 * static_cast<long>(index(i, j)); }
    long vertical(int i, int j) const { return 2 * static_cast<long>(index(i, j)) + 1; }

    EdgePoint crossing(long edge) const { return crossings_.at(edge); }

    EdgePoint findCrossing(long edge) const
    {
        const std::size_t k = static_cast<std::size_t>(edge / 2);
        const int i = static_cast<int>(k % static_cast<std::size_t>(nx_ + 1));
        const int j = static_cast<int>(k / static_cast<std::size_t>(nx_ + 1));
        const Vec2 a = corner(i, j);
        const Vec2 b = edge % 2 == 0 ? corner(i + 1, j) : corner(i, j + 1);
        const std::size_t ib = edge % 2 == 0 ? k + 1 : k + static_cast<std::size_t>(nx_ + 1);
        return boundaryBetween(a, b, probed_[k], probed_[ib]);
    }

    // The zone's edge between a and b, which lie on opposite sides of it: Newton's method from
    // whichever end the grid asked about, kept within the stretch known to hold the edge.
    EdgePoint boundaryBetween(Vec2 a, Vec2 b, const std::optional<Probe> &atA,
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

    // Where the margin along o + s u (u of unit length) changes sign between lo, on the side
    // `loIn`, and hi, on the other, from s whose probe is known. Newton's steps where the engine
    // gives the gradient, bisection where a step would leave the stretch; each query's margin
    // also rules out the stretch within it of the point, on its side.
    Root edgeAlong(Vec2 o, Vec2 u, double s, Probe at, double lo, double hi, bool loIn) const
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

    // Newton's step along u from a probe; nothing where the engine gives no gradient or the
    // margin barely changes along u (the step would fly off).
    static std::optional<double> newtonStep(const Probe &at, Vec2 u)
    {
        if (!at.slope) return {};
        const double rate = at.slope->x * u.x + at.slope->y * u.y;
        if (!(std::abs(rate) > 0.05)) return {};
        return -at.m / rate;
    }

    // Newton's method alone along o + s u, from s whose probe is known, within [lo, hi]: the
    // root once a step is well below the tolerance (the next would be far smaller still);
    // nothing when it leaves the range, meets a flat stretch or does not settle.
    std::optional<Root> newtonAlong(Vec2 o, Vec2 u, double s, Probe at, double lo, double hi) const
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

    // Bisection, where each query's margin also rules out the stretch within it of the point.
    Vec2 bisect(Vec2 a, Vec2 b) const
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

    void chain(const std::vector<std::pair<long, long>> &pieces, PlanZone &zone)
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
                tail =
                    pieces[current].first == tail ? pieces[current].second : pieces[current].first;
                edges.push_back(tail);
                const std::ptrdiff_t following = next(tail, current);
                if (following < 0) break;
                current = static_cast<std::size_t>(following);
            }
            std::vector<EdgePoint> line;
            for (long edge : edges) line.push_back(crossing(edge));
            lines.push_back(std::move(line));
        }
        zone.outline = refine(lines);
    }

    // The first edge out from o along u (of unit length) within `reach`, o's margin being
    // `from`: steps no longer than each margin (nothing crosses the edge within it), and no
    // shorter than the tolerance; the last step is bisected.
    std::optional<Vec2> edgeFrom(Vec2 o, Vec2 u, double reach, double from) const
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

    // Puts points between neighbours until each chord lies within tolerance of the edge; the
    // chords on the threads.
    std::vector<std::vector<Vec2>> refine(const std::vector<std::vector<EdgePoint>> &lines) const
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
        return out;
    }

    // How far the edge strays from the chord between a and b, from how much it turns between
    // them: an arc turning by angle t over a chord c strays c / 2 tan(t / 4) from it. Nothing
    // without both gradients, or where it turns so sharply that it may be no arc.
    static std::optional<double> arcStray(const EdgePoint &a, const EdgePoint &b, double chord)
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
    static std::optional<double> arcMiddle(const EdgePoint &a, const EdgePoint &b, Vec2 m, Vec2 n,
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

    void refineBetween(const EdgePoint &a, const EdgePoint &b, int depth,
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

    const rolling_sphere::Layout &engine_;
    double height_;
    double tolerance_;
    int nx_ = 1, ny_ = 1;
    double x0_ = 0, y0_ = 0, dx_ = 1, dy_ = 1;
    double cap_ = 1;
    std::vector<char> inside_;
    std::vector<char> known_;                  // corners settled while the grid is made
    std::vector<std::optional<Probe>> probed_; // the grid's corners the engine was asked about
    std::map<long, EdgePoint> crossings_;
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
