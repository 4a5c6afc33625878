#pragma once

// Internal to the engine: the search for one query point. The account of why the engine is
// exact is in engine/rolling_sphere.h.

#include "engine/detail/model.h"
#include "engine/detail/region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace calc::rolling_sphere::detail {

// The search for one query point: candidates are offered, and the nearest free, reachable one
// is kept.
class Search {
public:
    Search(const Model &layout, Point p) : L_(layout), p_(p), hr_(layout.hr) { swapLists(); }
    ~Search() { swapLists(); }
    Search(const Search &) = delete;
    Search &operator=(const Search &) = delete;

    // The clearance when it is below limit; otherwise limit or more. A hint, a centre that may
    // be free and reachable, starts the search with its distance when it is.
    double run(double limit = std::numeric_limits<double>::infinity(),
               std::optional<Point> hint = {});
    // The centre that gave the clearance run() returned, when one did (see Layout::nearest).
    std::optional<Point> centre() const { return centre_; }

private:
    const Model &L_;
    Point p_;
    double hr_;
    double best_ = 0;
    std::optional<Point> centre_; // the centre at best_, when a real one is that near
    // The conductors within reach of any centre the search can take, in order, with their
    // distances from p; the rest cannot cut into such a centre nor bound one.
    struct Reach {
        std::size_t k;
        double dist;
    };
    std::vector<Reach> reach_;
    std::vector<int> near_;        // conductors that can cut into a centre nearer than best_
    std::vector<Piece> pieces_;    // surfaces that pass within best_ of p
    std::vector<std::size_t> ids_; // their places in the layout's list of surfaces
    std::vector<double> loopDist_;
    // A box holding every free centre nearer than best_ was when the surfaces were last
    // collected: a surface, circle, vertex or stretch of curve that misses it holds no better
    // candidate.
    Region region_;
    bool regionKnown_ = false;
    std::vector<Conductor> regionConductors_;
    std::vector<std::size_t> nearby_; // circles or vertices in the region

    // The lists above are lent by the thread's last search and given back, so that a query
    // allocates nothing once a few have run on that thread.
    void swapLists()
    {
        struct Lists {
            std::vector<Reach> reach;
            std::vector<int> near;
            std::vector<Piece> pieces;
            std::vector<std::size_t> ids, nearby;
            std::vector<double> loopDist;
            std::vector<Conductor> regionConductors;
        };
        thread_local Lists spare;
        reach_.swap(spare.reach);
        near_.swap(spare.near);
        pieces_.swap(spare.pieces);
        ids_.swap(spare.ids);
        nearby_.swap(spare.nearby);
        loopDist_.swap(spare.loopDist);
        regionConductors_.swap(spare.regionConductors);
    }

    void offer(Point c)
    {
        const double d = norm(c - p_);
        if (!(d < best_)) return;
        if (c.z < hr_ - kFeasibleSlack) return;
        const double limit = sq(hr_ - kFeasibleSlack);
        for (int k : near_) {
            const Conductor &s = L_.conductors[static_cast<std::size_t>(k)];
            if (pointSegmentDist2(c, s.a, s.b) < limit) return;
        }
        if (!L_.reachable(c)) return;
        best_ = d;
        centre_ = c;
    }

    // A free vertex worked out once per layout: taken when nearer, and reachable.
    void offerVertex(const Vertex &v)
    {
        const double d = norm(v.at - p_);
        if (!(d < best_)) return;
        std::int8_t reachable = v.reachable.load(std::memory_order_relaxed);
        if (reachable < 0) {
            reachable = L_.reachable(v.at) ? 1 : 0;
            v.reachable.store(reachable, std::memory_order_relaxed);
        }
        if (reachable) {
            best_ = d;
            centre_ = v.at;
        }
    }

    double boxGap(Point low, Point high) const
    {
        const double gx = std::max({0.0, low.x - p_.x, p_.x - high.x});
        const double gy = std::max({0.0, low.y - p_.y, p_.y - high.y});
        const double gz = std::max({0.0, low.z - p_.z, p_.z - high.z});
        return std::sqrt(gx * gx + gy * gy + gz * gz);
    }

    void collect();
    bool ownersClose(const Piece &a, const Piece &b) const;
    void face(const Piece &x);
    void circle(Point m, Point axis, double r);
    void lines(const Piece &y, const Piece &x, std::size_t iy, std::size_t ix);
    void curve(const Edge &edge, const Piece &y, const Piece &x);
};

} // namespace calc::rolling_sphere::detail
