// Following the curve where a cylinder meets another surface, once per layout: its samples, what
// of it may hold a free point, and the free vertices along it (see engine/rolling_sphere.h).
#include "engine/detail/curves.h"

#include "engine/detail/model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace calc::rolling_sphere::detail {

Edge followEdge(const Model &L, std::size_t iy, std::size_t ix)
{
    const double hr = L.hr;
    const Piece &y = L.pieces[iy], &x = L.pieces[ix];
    const CurveFrame f{y, x, hr, hr / 8};
    static const auto table = [] {
        std::array<std::array<double, 2>, kEdgeSamples> t{};
        for (int i = 0; i < kEdgeSamples; ++i)
            t[static_cast<std::size_t>(i)] = {std::cos(i * kTwoPi / kEdgeSamples),
                                              std::sin(i * kTwoPi / kEdgeSamples)};
        return t;
    }();
    auto worthFollowing = [&](const std::vector<Sample> &loop) {
        for (std::size_t i = 0; i < loop.size(); ++i)
            if (f.mayHold(loop[i], loop[(i + 1) % loop.size()])) return true;
        return false;
    };
    const double margin = f.margin;

    Edge edge;
    const bool linear = alongLine(x, f.origin(0), y.d, hr).a <= 1e-14;
    const double step = kTwoPi / kEdgeSamples;
    // Angles evenly round the axis, and densely wherever a branch runs through the whole length
    // of y between two of them (a cylinder cut at a glancing angle).
    std::vector<double> angles(kEdgeSamples);
    for (std::size_t i = 0; i < kEdgeSamples; ++i) angles[i] = static_cast<double>(i) * step;
    auto along = [&](double th, int branch, double &sOut) {
        double s0 = 0, s1 = 0;
        if (solveQuad(alongLine(x, f.origin(th), y.d, hr), false, s0, s1) == 0) return false;
        sOut = branch == 0 ? s0 : s1;
        return true;
    };
    // Where each line of y at the even angles meets x.
    struct Cut {
        bool real = false;
        std::array<double, 2> s{};
    };
    std::array<Cut, kEdgeSamples> cuts{};
    for (std::size_t i = 0; i < kEdgeSamples; ++i) {
        Cut &c = cuts[i];
        c.real = solveQuad(alongLine(x, f.originAt(table[i][0], table[i][1]), y.d, hr), false,
                           c.s[0], c.s[1]) != 0;
    }
    std::vector<double> extra;
    for (std::size_t i = 0; i < kEdgeSamples; ++i) {
        const double th0 = angles[i];
        const Cut &c0 = cuts[i], &c1 = cuts[(i + 1) % kEdgeSamples];
        if (!c0.real || !c1.real) continue;
        for (int branch = 0; branch < (linear ? 1 : 2); ++branch) {
            const double s0 = c0.s[static_cast<std::size_t>(branch)];
            const double s1 = c1.s[static_cast<std::size_t>(branch)];
            const bool straddles =
                (s0 < -margin && s1 > y.len + margin) || (s1 < -margin && s0 > y.len + margin);
            if (!straddles) continue;
            auto crossing = [&](double target) {
                const double t = findRoot(
                    [&](double at) {
                        double sm = target;
                        along(th0 + at * step, branch, sm);
                        return sm - target;
                    },
                    s0 - target, s1 - target, 1e-9);
                return th0 + t * step;
            };
            double from = crossing(-margin), to = crossing(y.len + margin);
            if (from > to) std::swap(from, to);
            for (int k = 0; k <= 16; ++k) extra.push_back(from + (to - from) * k / 16);
        }
    }
    angles.insert(angles.end(), extra.begin(), extra.end());
    std::sort(angles.begin(), angles.end());
    const int count = static_cast<int>(angles.size());

    std::vector<double> disc(angles.size());
    std::vector<std::array<Sample, 2>> samples(angles.size());
    int real = 0;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const Point o = i < kEdgeSamples && extra.empty() ? f.originAt(table[i][0], table[i][1])
                                                          : f.origin(angles[i]);
        disc[i] = f.discriminantAt(o);
        if (disc[i] < 0) continue;
        ++real;
        samples[i] = {f.make(angles[i], 0, o), linear ? Sample{} : f.make(angles[i], 1, o)};
    }
    if (real == 0) return edge;
    auto wrap = [count](int i) { return static_cast<std::size_t>((i % count + count) % count); };
    auto angleAt = [&](int i) {
        const int turns = i >= 0 ? i / count : -((-i + count - 1) / count);
        return angles[wrap(i)] + turns * kTwoPi;
    };

    std::vector<std::vector<Sample>> loops;
    if (real == count) {
        for (std::size_t branch = 0; branch < (linear ? 1u : 2u); ++branch) {
            std::vector<Sample> loop;
            loop.reserve(2 * angles.size());
            for (std::size_t i = 0; i < angles.size(); ++i) loop.push_back(samples[i][branch]);
            if (worthFollowing(loop)) loops.push_back(std::move(loop));
        }
    } else {
        auto turning = [&](double lo, double hi) { // the discriminant changes sign between
            const double t =
                findRoot([&](double at) { return f.discriminantAt(f.origin(lo + at * (hi - lo))); },
                         f.discriminantAt(f.origin(lo)), f.discriminantAt(f.origin(hi)),
                         1e-13 / (std::abs(hi - lo) + 1e-300));
            return lo + t * (hi - lo);
        };
        for (int start = 0; start < count; ++start) {
            if (!(disc[wrap(start)] >= 0 && disc[wrap(start - 1)] < 0)) continue;
            int end = start;
            while (disc[wrap(end + 1)] >= 0) ++end;
            const double thA = turning(angleAt(start - 1), angleAt(start));
            const double thB = turning(angleAt(end + 1), angleAt(end));
            std::vector<Sample> loop;
            loop.reserve(4 * static_cast<std::size_t>(end - start + 2));
            loop.push_back(f.eval(thA, -1));
            for (int i = start; i <= end; ++i) loop.push_back(samples[wrap(i)][0]);
            loop.push_back(f.eval(thB, -1));
            for (int i = end; i >= start; --i) loop.push_back(samples[wrap(i)][1]);
            if (worthFollowing(loop)) loops.push_back(std::move(loop));
        }
    }

    const double maxStep = hr / 6;
    const double slack = sq(hr - kFeasibleSlack);
    for (std::vector<Sample> &loop : loops) {
        // Refine where neighbouring samples lie far apart on a stretch that may hold the edge.
        for (std::size_t i = 0, cap = 8 * loop.size(); i < loop.size() && loop.size() < cap;) {
            const Sample &u = loop[i], &v = loop[(i + 1) % loop.size()];
            if (f.mayHold(u, v) && norm(v.at - u.at) > maxStep) {
                loop.insert(loop.begin() + static_cast<std::ptrdiff_t>(i + 1),
                            f.between(u, v, 0.5));
                continue;
            }
            ++i;
        }
        const std::size_t n = loop.size();
        EdgeLoop out;
        out.gap.resize(n);
        out.holds.resize(n);
        Point low = loop[0].at, high = loop[0].at;
        for (std::size_t i = 0; i < n; ++i) {
            const Sample &u = loop[i], &v = loop[(i + 1) % n];
            out.gap[i] = norm(v.at - u.at);
            out.holds[i] = f.mayHold(u, v);
            low = {std::min(low.x, u.at.x), std::min(low.y, u.at.y), std::min(low.z, u.at.z)};
            high = {std::max(high.x, u.at.x), std::max(high.y, u.at.y), std::max(high.z, u.at.z)};
        }
        // How deep each sample lies inside the other obstacles (the deepest two, by owner): a
        // stretch of the curve deeper inside one than its length holds no free point. Only
        // conductors within hr of the curve can bury any of it.
        struct Depth {
            double first = -1e300, second = -1e300;
            int owner = -2;
            double without(int other) const { return owner == other ? second : first; }
        };
        std::vector<int> around;
        std::vector<std::size_t> near;
        L.nearConductors(low, high, hr, near);
        for (const std::size_t k : near) {
            if (static_cast<int>(k) == y.owner || static_cast<int>(k) == x.owner) continue;
            const Conductor &c = L.conductors[k];
            const double gx =
                std::max({0.0, std::min(c.a.x, c.b.x) - high.x, low.x - std::max(c.a.x, c.b.x)});
            const double gy =
                std::max({0.0, std::min(c.a.y, c.b.y) - high.y, low.y - std::max(c.a.y, c.b.y)});
            const double gz =
                std::max({0.0, std::min(c.a.z, c.b.z) - high.z, low.z - std::max(c.a.z, c.b.z)});
            if (gx * gx + gy * gy + gz * gz < hr * hr) around.push_back(static_cast<int>(k));
        }
        std::vector<Depth> depth(n);
        for (std::size_t i = 0; i < n; ++i) {
            if (!out.holds[i] && !out.holds[(i + n - 1) % n]) continue; // never asked about
            Depth &d = depth[i];
            auto add = [&d](double value, int owner) {
                if (value > d.first) {
                    d.second = d.first;
                    d.first = value;
                    d.owner = owner;
                } else if (value > d.second) {
                    d.second = value;
                }
            };
            if (x.kind != Kind::Plane) add(hr - loop[i].at.z, -1);
            for (int k : around) {
                const Conductor &c = L.conductors[static_cast<std::size_t>(k)];
                add(hr - std::sqrt(pointSegmentDist2(loop[i].at, c.a, c.b)), k);
            }
        }
        auto buried = [&](std::size_t i, int except) {
            const std::size_t j = (i + 1) % n;
            const double length = 2 * std::max(out.gap[i], out.gap[j]);
            return depth[i].without(except) > length && depth[j].without(except) > length;
        };
        out.buried.resize(n);
        // The curve between two samples is measured against their chord at three points (with
        // a margin of half again). An obstacle is convex, so when it holds both ends of a chord
        // deeper than the curve strays from it, it holds that whole stretch of the curve.
        out.bulge.resize(n);
        out.dead.resize(n);
        auto depthIn = [&](int owner, Point c) {
            if (owner < 0) return hr - c.z;
            const Conductor &k = L.conductors[static_cast<std::size_t>(owner)];
            return hr - std::sqrt(pointSegmentDist2(c, k.a, k.b));
        };
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            if (!out.holds[i]) continue;
            out.buried[i] = buried(i, -2);
            if (out.buried[i]) continue;
            const Sample &u = loop[i], &v = loop[j];
            double stray = 0;
            for (double t : {0.25, 0.5, 0.75})
                stray = std::max(stray,
                                 std::sqrt(pointSegmentDist2(f.between(u, v, t).at, u.at, v.at)));
            out.bulge[i] = 1.5 * stray + 1e-9 * hr;
            for (int owner : {depth[i].owner, depth[j].owner}) {
                if (owner == -2) continue;
                if (std::min(depthIn(owner, u.at), depthIn(owner, v.at)) > out.bulge[i])
                    out.dead[i] = 1;
            }
        }
        // Runs of samples, each with a box that holds every stretch on either side of its
        // samples: a query skips a run whose box lies beyond its best centre by more than the
        // curve strays from those stretches' chords.
        out.alive.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            out.alive[i] = out.holds[i] && !out.buried[i] && !out.dead[i];
        constexpr std::size_t kRun = 8;
        for (std::size_t begin = 0; begin < n; begin += kRun) {
            EdgeLoop::Run run{begin, std::min(n, begin + kRun), loop[begin].at, loop[begin].at, 0};
            bool any = false;
            for (std::size_t i = run.begin; i < run.end; ++i)
                any = any || out.alive[i] || out.alive[(i + n - 1) % n];
            if (!any) continue;
            for (std::size_t k = begin + n - 1; k <= run.end + n; ++k) {
                const Point a = loop[k % n].at;
                run.low = {std::min(run.low.x, a.x), std::min(run.low.y, a.y),
                           std::min(run.low.z, a.z)};
                run.high = {std::max(run.high.x, a.x), std::max(run.high.y, a.y),
                            std::max(run.high.z, a.z)};
                if (k < run.end + n) run.maxBulge = std::max(run.maxBulge, out.bulge[k % n]);
            }
            out.runs.push_back(run);
        }

        // Vertices: where the curve crosses a third surface, kept when free. None lies on a
        // stretch held wholly inside one obstacle.
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < n; ++i)
            if (out.holds[i] && !out.dead[i]) open.push_back(i);
        std::vector<double> value(n);
        // The surfaces whose boxes come within a step of the curve's: the plane, and those of
        // the conductors within hr and a step of it.
        std::vector<std::size_t> third{0};
        L.nearConductors(low, high, hr + maxStep, near);
        for (const std::size_t c : near)
            for (std::size_t k = L.pieceStart[c]; k < L.pieceStart[c + 1]; ++k) third.push_back(k);
        for (const std::size_t k : third) {
            const Piece &z = L.pieces[k];
            if (k == iy || k == ix || z.owner == y.owner || z.owner == x.owner) continue;
            if (z.low.x > high.x + maxStep || z.low.y > high.y + maxStep ||
                z.low.z > high.z + maxStep || z.high.x < low.x - maxStep ||
                z.high.y < low.y - maxStep || z.high.z < low.z - maxStep)
                continue;
            if (!L.ownersNear(z.owner, y.owner) || !L.ownersNear(z.owner, x.owner) ||
                !firstEdgeOf(L.pieces, iy, ix, k))
                continue;
            for (std::size_t i : open) {
                value[i] = surfaceValue(z, loop[i].at, hr);
                value[(i + 1) % n] = surfaceValue(z, loop[(i + 1) % n].at, hr);
            }
            for (std::size_t i : open) {
                const std::size_t next = (i + 1) % n;
                if ((value[i] < 0) == (value[next] < 0)) continue;
                if (buried(i, z.owner)) continue;
                const Sample &u = loop[i], &v = loop[next];
                const double t =
                    findRoot([&](double at) { return surfaceValue(z, f.between(u, v, at).at, hr); },
                             value[i], value[next], 1e-11 / (angleGap(u.th, v.th) + 1e-300));
                const Point c = f.between(u, v, t).at;
                if (c.z < hr - kFeasibleSlack) continue;
                bool free = true;
                L.nearConductors(c, c, hr, [&](std::size_t k) {
                    const Conductor &s = L.conductors[k];
                    free = free && !(pointSegmentDist2(c, s.a, s.b) < slack);
                });
                if (free) edge.vertices.emplace_back(c);
            }
        }
        out.samples = std::move(loop);
        edge.loops.push_back(std::move(out));
    }
    auto include = [&edge](Point low, Point high) {
        if (edge.empty) {
            edge.low = low, edge.high = high, edge.empty = false;
            return;
        }
        edge.low = {std::min(edge.low.x, low.x), std::min(edge.low.y, low.y),
                    std::min(edge.low.z, low.z)};
        edge.high = {std::max(edge.high.x, high.x), std::max(edge.high.y, high.y),
                     std::max(edge.high.z, high.z)};
    };
    for (const EdgeLoop &loop : edge.loops)
        for (const EdgeLoop::Run &run : loop.runs) {
            include(run.low, run.high);
            edge.maxBulge = std::max(edge.maxBulge, run.maxBulge);
        }
    for (const Vertex &v : edge.vertices) include(v.at, v.at);
    // A loop with no living run offers nothing to any query: only its vertices, kept above.
    std::erase_if(edge.loops, [](const EdgeLoop &loop) { return loop.runs.empty(); });
    return edge;
}

} // namespace calc::rolling_sphere::detail
