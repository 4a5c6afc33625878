// The search for one query point: the faces, circles, lines and curved edges that may hold the
// nearest free, reachable centre, nearest first (see engine/rolling_sphere.h).
#include "engine/detail/search.h"

#include <array>
#include <utility>

namespace calc::rolling_sphere::detail {

void Search::collect()
{
    near_.clear();
    pieces_.clear();
    ids_.clear();
    regionConductors_.clear();
    for (const Reach &r : reach_) {
        if (!(r.dist < best_ + hr_)) continue;
        near_.push_back(static_cast<int>(r.k));
        regionConductors_.push_back(L_.conductors[r.k]);
    }
    // Where a better centre can lie at all; none, and the search is over.
    // A second time round best_ has only fallen, so the region can only have shrunk.
    const Region before = region_;
    region_ = freeCentresNear(p_, best_, hr_, regionConductors_, regionKnown_ ? &before : nullptr);
    regionKnown_ = true;
    if (region_.empty()) return;
    const auto take = [&](std::size_t i) {
        const Piece &x = L_.pieces[i];
        if (!(std::abs(surfaceValue(x, p_, hr_)) <= best_)) return;
        // A sphere must pass through the region.
        if (x.kind == Kind::Sphere && !region_.straddles(x.c, hr_, kRegionSlack)) return;
        pieces_.push_back(x);
        ids_.push_back(i);
    };
    if (region_.low.z <= hr_) take(0); // the plane
    // A conductor's surfaces lie hr from it: one farther than that from the region holds no
    // candidate there.
    const double touch = hr_ + kRegionSlack;
    for (const Reach &r : reach_) {
        if (!(r.dist < best_ + hr_)) continue;
        // p so deep inside that the surfaces lie beyond best_.
        if (r.dist + best_ < hr_) continue;
        const Conductor &s = L_.conductors[r.k];
        if (!region_.mayCome(s.a, s.b, touch)) continue;
        for (std::size_t i = L_.pieceStart[r.k]; i < L_.pieceStart[r.k + 1]; ++i) take(i);
    }
}

bool Search::ownersClose(const Piece &a, const Piece &b) const
{
    if (a.owner == b.owner) return false;
    return L_.ownersNear(a.owner, b.owner);
}

void Search::face(const Piece &x)
{
    const double hr = hr_;
    switch (x.kind) {
    case Kind::Plane:
        offer({p_.x, p_.y, hr});
        return;
    case Kind::Sphere: {
        const Point w = p_ - x.c;
        const double len = norm(w);
        if (len > 1e-12) {
            offer(x.c + (hr / len) * w);
            offer(x.c - (hr / len) * w);
        } else {
            for (Point u : {Point{1, 0, 0}, Point{-1, 0, 0}, Point{0, 1, 0}, Point{0, -1, 0},
                            Point{0, 0, 1}, Point{0, 0, -1}})
                offer(x.c + hr * u);
        }
        return;
    }
    case Kind::Cylinder: {
        const Point w = p_ - x.c;
        const Point foot = x.c + dot(w, x.d) * x.d;
        const Point perp = p_ - foot;
        const double len = norm(perp);
        if (len > 1e-12) {
            offer(foot + (hr / len) * perp);
            offer(foot - (hr / len) * perp);
        } else {
            for (int i = 0; i < 8; ++i) {
                const double t = i * kTwoPi / 8;
                offer(foot + hr * (std::cos(t) * x.n1 + std::sin(t) * x.n2));
            }
        }
        return;
    }
    }
}

// Stationary points of the distance to p on the circle of centre m, unit axis, radius r.
void Search::circle(Point m, Point axis, double r)
{
    const Point w = p_ - m;
    const double along = dot(w, axis);
    const Point v = w - along * axis;
    const double len = norm(v);
    // No point of the circle is nearer than its nearest one.
    if (!(std::hypot(along, len - r) < best_)) return;
    if (len > 1e-12) {
        offer(m + (r / len) * v);
        offer(m - (r / len) * v);
        return;
    }
    Point u = cross(axis, {1, 0, 0});
    if (norm(u) < 0.5) u = cross(axis, {0, 1, 0});
    u = (1 / norm(u)) * u;
    const Point u2 = cross(axis, u);
    for (int i = 0; i < 8; ++i) {
        const double t = i * kTwoPi / 8;
        offer(m + r * (std::cos(t) * u + std::sin(t) * u2));
    }
}

// The two surfaces meet in straight lines parallel to the cylinder y's axis.
void Search::lines(const Piece &y, const Piece &x, std::size_t iy, std::size_t ix)
{
    const double hr = hr_;
    std::array<double, 2> th{};
    int n = 0;
    if (x.kind == Kind::Plane) {
        n = solveTrig(hr * y.n1.z, hr * y.n2.z, hr - y.c.z, th);
    } else {
        const Point w = x.c - y.c;
        const Point perp = w - dot(w, y.d) * y.d;
        n = solveTrig(dot(y.n1, perp), dot(y.n2, perp), dot(perp, perp) / (2 * hr), th);
    }
    for (int i = 0; i < n; ++i) {
        const Point o = y.c + hr * (std::cos(th[static_cast<std::size_t>(i)]) * y.n1 +
                                    std::sin(th[static_cast<std::size_t>(i)]) * y.n2);
        const Point foot = o + dot(p_ - o, y.d) * y.d;
        // No point of a line lies nearer than its foot, nor holds a better centre outside the
        // region.
        if (!(norm(foot - p_) < best_)) continue;
        double from = 0, to = 0;
        if (!region_.clip(o, y.d, kRegionSlack, from, to)) continue;
        offer(foot);
        // Where a third surface crosses the line, when nearer than best_ (within `half` of the
        // foot along it) and in the region.
        const double along = dot(foot - o, y.d);
        const double half = std::sqrt(std::max(0.0, sq(best_) - dot(foot - p_, foot - p_)));
        from = std::max(from, along - half);
        to = std::min(to, along + half);
        if (!(from <= to)) continue;
        const auto near = [&](double s) { return s >= from && s <= to; };
        // Only a surface whose bounding part comes near that stretch can cross it there.
        const Point a = o + from * y.d, b = o + to * y.d;
        const Point lo{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
        const Point hi{std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
        for (std::size_t k = 0; k < pieces_.size(); ++k) {
            const Piece &z = pieces_[k];
            if (k == iy || k == ix) continue;
            if (z.kind != Kind::Plane && !Region{z.low, z.high}.meets(lo, hi, kRegionSlack))
                continue;
            double s0 = 0, s1 = 0;
            const int m = solveQuad(alongLine(z, o, y.d, hr), false, s0, s1);
            if (m == 0 || !(near(s0) || (m == 2 && near(s1)))) continue;
            if (!ownersClose(z, y) || !ownersClose(z, x)) continue;
            if (m >= 1) offer(o + s0 * y.d);
            if (m == 2) offer(o + s1 * y.d);
        }
    }
}

// The local minima of the distance to p along the curved edge where cylinder y meets x, and
// the vertices along it.
void Search::curve(const Edge &edge, const Piece &y, const Piece &x)
{
    for (const Vertex &v : edge.vertices) offerVertex(v);
    const CurveFrame f{y, x, hr_, hr_ / 8};
    for (const EdgeLoop &loop : edge.loops) {
        // Squared distances from p, worked out only on the runs that come near enough.
        const std::size_t n = loop.samples.size();
        std::vector<double> &dist = loopDist_;
        dist.assign(n, -1);
        auto distAt = [&](std::size_t i) {
            if (dist[i] < 0) {
                const Point w = loop.samples[i].at - p_;
                dist[i] = dot(w, w);
            }
            return dist[i];
        };
        // A stretch is worth refining only when it may hold the edge, is not buried in one
        // obstacle and may come nearer than best_: no nearer than its chord, less how far the
        // curve strays from it.
        auto worth = [&](std::size_t k) {
            const Point a = loop.samples[k].at, b = loop.samples[(k + 1) % n].at;
            return loop.alive[k] && std::sqrt(pointSegmentDist2(p_, a, b)) - loop.bulge[k] < best_;
        };
        for (const EdgeLoop::Run &run : loop.runs) {
            if (boxGap(run.low, run.high) - run.maxBulge >= best_ ||
                !region_.meets(run.low, run.high, run.maxBulge))
                continue;
            for (std::size_t i = run.begin; i < run.end; ++i) {
                const std::size_t prev = (i + n - 1) % n, next = (i + 1) % n;
                if (!loop.alive[prev] && !loop.alive[i]) continue;
                if (!(distAt(i) <= distAt(prev) && dist[i] <= distAt(next))) continue;
                const double reach = std::max(loop.gap[prev], loop.gap[i]) + best_;
                if (dist[i] >= reach * reach) continue;
                const bool before = worth(prev), after = worth(i);
                if (!before && !after) continue;
                offer(loop.samples[i].at);
                for (const auto &side : {std::pair{prev, i}, std::pair{i, next}}) {
                    if (!(side.first == prev ? before : after)) continue;
                    const Sample &u = loop.samples[side.first], &v = loop.samples[side.second];
                    const double t =
                        findMinimum([&](double at) { return norm(f.pointBetween(u, v, at) - p_); },
                                    1e-8 / (angleGap(u.th, v.th) + 1e-300));
                    offer(f.pointBetween(u, v, t));
                }
            }
        }
    }
}

double Search::run(double limit, std::optional<Point> hint)
{
    const double hr = hr_;
    // A centre straight above everything is free and reachable: no centre farther than it
    // counts, nor any conductor beyond hr of such a centre.
    const double top = L_.empty ? hr : std::max(hr, L_.high.z + hr);
    const Point above{p_.x, p_.y, std::max(top, p_.z)};
    const double farthest = norm(above - p_) * (1 + 1e-12) + 1e-12;
    reach_.clear();
    L_.nearConductors(p_, p_, std::max(0.0, std::min(farthest, limit + hr)) + hr,
                      [&](std::size_t k) {
                          const Conductor &s = L_.conductors[k];
                          reach_.push_back({k, std::sqrt(pointSegmentDist2(p_, s.a, s.b))});
                      });
    std::sort(reach_.begin(), reach_.end(),
              [](const Reach &a, const Reach &b) { return a.k < b.k; });
    double margin = p_.z - hr;
    for (const Reach &r : reach_) margin = std::min(margin, r.dist - hr);
    if (margin >= 0 && L_.reachable(p_)) return -hr;

    best_ = farthest;
    // With no centre nearer than the limit, the answer is the limit itself (limit + hr - hr
    // might round below it).
    if (best_ < limit + hr)
        centre_ = above;
    else
        best_ = limit + hr;
    // A centre known near the answer (the last one found for a point close by) prunes the
    // search from the start; any free, reachable centre is a true bound.
    if (hint && norm(*hint - p_) < best_ && hint->z >= hr - kFeasibleSlack) {
        const double clear = sq(hr - kFeasibleSlack);
        const bool free = std::all_of(reach_.begin(), reach_.end(), [&](const Reach &r) {
            const Conductor &k = L_.conductors[r.k];
            return pointSegmentDist2(*hint, k.a, k.b) >= clear;
        });
        if (free && L_.reachable(*hint)) {
            best_ = norm(*hint - p_);
            centre_ = hint;
        }
    }
    // Every free centre has z >= hr, so none lies nearer than this: once a candidate is this
    // near, it is the answer.
    const double floor = std::max(0.0, hr - p_.z);
    auto settled = [&] { return best_ <= floor + 1e-12 * hr; };

    const auto result = [&] { return centre_ ? best_ - hr : limit; };
    collect();
    if (region_.empty()) return result();
    for (const Piece &x : pieces_) {
        face(x);
        if (settled()) return result();
    }

    // Circles and their crossings first: cheap, and they shrink the search. A point of a circle
    // lies no nearer than the distance to its centre, less its radius.
    const std::vector<Circle> &circles = L_.circles();
    const PlanBox plan{region_.low.x, region_.low.y, region_.high.x, region_.high.y};
    // Those in the region, in a fixed order.
    std::vector<std::size_t> &near = nearby_;
    near.clear();
    L_.circleIndex.visit(plan, [&](std::size_t i) {
        if (region_.meets(circles[i].low, circles[i].high, kRegionSlack)) near.push_back(i);
    });
    std::sort(near.begin(), near.end());
    for (const std::size_t i : near) circle(circles[i].m, circles[i].axis, circles[i].r);
    L_.visitVertices(plan, [&](const Vertex &v) {
        if (region_.meets(v.at, v.at, kRegionSlack)) offerVertex(v);
    });
    if (settled()) return result();

    // Edges on cylinders, with the vertices along them, nearest first: once an edge cannot come
    // nearer than the best centre found, neither can any after it.
    collect();
    if (region_.empty()) return result();
    struct Candidate {
        double bound;
        std::size_t iy, ix;
        const Edge *known = nullptr; // the curve, when followed already
    };
    std::vector<Candidate> edges;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        for (std::size_t j = i + 1; j < pieces_.size(); ++j) {
            const Piece &a = pieces_[i], &b = pieces_[j];
            if (a.kind != Kind::Cylinder && b.kind != Kind::Cylinder) continue;
            const bool aY = a.kind == Kind::Cylinder;
            const Piece &y = aY ? a : b, &x = aY ? b : a;
            if (!ownersClose(a, b)) continue;
            // The edge lies on both surfaces' bounding parts, so within both their boxes: where
            // those and the region share nothing, it offers no candidate.
            if (!region_.meetsBoth(a.low, a.high, b.low, b.high, kRegionSlack)) continue;
            const std::size_t iy = aY ? i : j, ix = aY ? j : i;
            // A curve followed already bounds itself: by its living runs and its vertices.
            if (const Edge *known = L_.followed(ids_[iy], ids_[ix]);
                known && !invariantPair(y, x)) {
                if (known->empty || !region_.meets(known->low, known->high, known->maxBulge))
                    continue;
                const double bound =
                    std::max(floor, boxGap(known->low, known->high) - known->maxBulge);
                if (bound < best_) edges.push_back({bound, iy, ix, known});
                continue;
            }
            // Every point of the edge lies on both surfaces, so at least this far from p.
            double bound = 0;
            if (!shareCurve(y, x, p_, hr, bound)) continue;
            const Conductor *ownerX =
                x.owner < 0 ? nullptr : &L_.conductors[static_cast<std::size_t>(x.owner)];
            const Conductor &ownerY = L_.conductors[static_cast<std::size_t>(y.owner)];
            bound = std::max(
                {bound, floor, bandBound(y, x, ownerX, p_, hr), bandBound(x, y, &ownerY, p_, hr)});
            if (bound >= best_) continue;
            edges.push_back({bound, iy, ix});
        }
    }
    std::sort(edges.begin(), edges.end(),
              [](const Candidate &u, const Candidate &v) { return u.bound < v.bound; });
    for (const Candidate &e : edges) {
        if (e.bound >= best_) break;
        const Piece &y = pieces_[e.iy], &x = pieces_[e.ix];
        if (!ownersClose(y, x)) continue;
        if (invariantPair(y, x))
            lines(y, x, e.iy, e.ix);
        else
            curve(e.known ? *e.known : L_.edge(ids_[e.iy], ids_[e.ix]), y, x);
    }
    return result();
}

} // namespace calc::rolling_sphere::detail
