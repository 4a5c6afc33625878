#pragma once

// Internal to the engine: a prepared layout, its surfaces and what it works out once on first
// need (the followed edges, the round vertices and circles, the pocket fills). The account of why
// the engine is exact is in engine/rolling_sphere.h.

#include "engine/detail/curves.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

namespace calc::rolling_sphere::detail {

// A prepared layout: the conductors, their bounding box and the pocket fills.
struct Model {
    std::vector<Conductor> conductors;
    double hr = 0;
    Point low, high; // bounding box of the conductors
    bool empty = true;
    // Per conductor, bit e set when its end e (0: a, 1: b) is also an end of an earlier one. A
    // free centre on the sphere around a shared end lies on the outer half of every conductor
    // ending there, so the earliest one's sphere stands for them all.
    std::vector<std::uint8_t> sharedEnds;

    void findSharedEnds();

    // Every surface that can bound a free centre, in a fixed order: the plane first, then each
    // conductor's end spheres and its cylinder.
    std::vector<Piece> pieces;

    void buildPieces();

    // Whether the obstacles of two conductors (-1: the ground's) come near enough for a sphere
    // to touch both: closer than 2 hr.
    std::unique_ptr<std::atomic<std::int8_t>[]> closeCache; // per pair; 0 unknown
    bool ownersNear(int a, int b) const
    {
        const double reach = 2 * hr;
        if (a < 0 || b < 0) {
            const Conductor &s = conductors[static_cast<std::size_t>(std::max(a, b))];
            return std::min(s.a.z, s.b.z) < reach;
        }
        const std::size_t count = conductors.size();
        const std::size_t i = static_cast<std::size_t>(std::min(a, b));
        const std::size_t j = static_cast<std::size_t>(std::max(a, b));
        std::atomic<std::int8_t> &known = closeCache[i * count + j];
        std::int8_t value = known.load(std::memory_order_relaxed);
        if (value == 0) {
            const Conductor &s = conductors[i], &t = conductors[j];
            value = segmentSegmentDist2(s.a, s.b, t.a, t.b) < reach * reach ? 1 : 2;
            known.store(value, std::memory_order_relaxed);
        }
        return value == 1;
    }

    // The curved edges, followed once each on first need: the free set's boundary does not
    // depend on the point asked about.
    // Several queries may run at once. Each cylinder has a slot per surface it can meet (its
    // partners, in order), read without a lock; an edge is followed outside the lock and the
    // first one stored is kept, in a deque that never moves it.
    std::vector<std::size_t> partnerStart; // per piece, into partners; cylinders only
    std::vector<std::uint32_t> partners;
    std::unique_ptr<std::atomic<const Edge *>[]> slots;
    mutable std::mutex edgesMutex;
    mutable std::deque<Edge> edges;

    void findPartners();
    std::atomic<const Edge *> *slot(std::size_t iy, std::size_t ix) const
    {
        const auto begin = partners.begin() + static_cast<std::ptrdiff_t>(partnerStart[iy]);
        const auto end = partners.begin() + static_cast<std::ptrdiff_t>(partnerStart[iy + 1]);
        const auto found = std::lower_bound(begin, end, static_cast<std::uint32_t>(ix));
        if (found == end || *found != ix) return nullptr;
        return &slots[static_cast<std::size_t>(found - partners.begin())];
    }
    const Edge &edge(std::size_t iy, std::size_t ix) const
    {
        std::atomic<const Edge *> *place = slot(iy, ix);
        if (!place) throw std::logic_error("rolling sphere: an edge of surfaces that never meet");
        if (const Edge *known = place->load(std::memory_order_acquire)) return *known;
        Edge made = followEdge(*this, iy, ix);
        const std::lock_guard lock(edgesMutex);
        if (const Edge *known = place->load(std::memory_order_acquire)) return *known;
        edges.push_back(std::move(made));
        place->store(&edges.back(), std::memory_order_release);
        return edges.back();
    }
    // The edge when it has been followed already, else null.
    const Edge *followed(std::size_t iy, std::size_t ix) const
    {
        const std::atomic<const Edge *> *place = slot(iy, ix);
        return place ? place->load(std::memory_order_acquire) : nullptr;
    }

    // Whether c is a free centre: above z = hr and at least hr from every conductor (give or
    // take the slack of a computed point).
    bool isFree(Point c) const
    {
        if (c.z < hr - kFeasibleSlack) return false;
        const double limit = sq(hr - kFeasibleSlack);
        for (const Conductor &k : conductors)
            if (pointSegmentDist2(c, k.a, k.b) < limit) return false;
        return true;
    }

    // The free vertices where the plane and spheres meet, three at a time: they do
    // not depend on the point asked about, so they are worked out once, on first need.
    mutable std::vector<Vertex> roundVertices;
    mutable std::once_flag roundVerticesMade;
    const std::vector<Vertex> &vertices() const;
    void findVertices() const;
    // The circles where two of them meet, likewise.
    mutable std::vector<Circle> roundCircles;
    mutable std::once_flag roundCirclesMade;
    const std::vector<Circle> &circles() const;
    void findCircles() const;

    // Optimistic pocket fills, coarse to fine, built on first need.
    struct Fill {
        double cell = 0;
        Point origin;
        int nx = 0, ny = 0, nz = 0;
        std::vector<std::uint8_t> reached;
        bool tooFine = false;
    };
    mutable std::mutex fillsMutex;
    mutable std::deque<Fill> fills; // a deque: a fill, once made, never moves

    // Reachability: a straight path out, else the fills (reachability.cpp).
    double freeMargin(Point c) const;
    bool pathFree(Point a, Point b) const;
    bool escapes(Point c) const;
    const Fill &fillAt(std::size_t level) const;

    // False only when c lies in a closed pocket for certain.
    bool mayBeReached(Point c) const;

    bool reachable(Point c) const { return escapes(c) || mayBeReached(c); }
};

} // namespace calc::rolling_sphere::detail
