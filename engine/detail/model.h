#pragma once

// Internal to the engine: a prepared layout, its surfaces and what it works out once on first
// need (the followed edges, the round vertices and circles, the pocket fills). The account of why
// the engine is exact is in engine/rolling_sphere.h.

#include "engine/detail/curves.h"
#include "engine/detail/plan_index.h"

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

// How much a prepared layout may keep: pairs of conductors near each other, pairs of surfaces
// that can meet, and the bytes of the curves it follows. Beyond them it gives up with
// LimitExceeded rather than take the machine's memory; a real site of 20,000 conductors keeps
// a small part of each.
inline constexpr std::size_t kMostNearPairs = 10'000'000;
inline constexpr std::size_t kMostCurveBytes = std::size_t(1) << 30;

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

    // The conductors by where they lie on the plan, and the first of each one's surfaces in
    // `pieces` (its sphere round a, round b and its cylinder, those it has, in that order).
    PlanIndex index;
    std::vector<std::size_t> pieceStart;

    void buildIndex();
    // Calls f(k) for every conductor k that may come within `by` of the box [low, high] (on
    // the plan; the caller measures the true distance).
    template <class F>
    void nearConductors(Point low, Point high, double by, const F &f) const
    {
        index.visit(PlanBox{low.x - by, low.y - by, high.x + by, high.y + by}, f);
    }
    // The same, in the order of the conductors, into `out`.
    void nearConductors(Point low, Point high, double by, std::vector<std::size_t> &out) const
    {
        out.clear();
        nearConductors(low, high, by, [&out](std::size_t k) { out.push_back(k); });
        std::sort(out.begin(), out.end());
    }

    // Whether the obstacles of two conductors (-1: the ground's) come near enough for a sphere
    // to touch both: closer than 2 hr. Worked out once per pair of conductors, kept per
    // conductor as the sorted list of those near it.
    std::vector<std::size_t> neighbourStart;
    std::vector<std::uint32_t> neighbours;
    void findNeighbours();
    bool ownersNear(int a, int b) const
    {
        if (a < 0 || b < 0) {
            const Conductor &s = conductors[static_cast<std::size_t>(std::max(a, b))];
            return std::min(s.a.z, s.b.z) < 2 * hr;
        }
        const auto begin = neighbours.begin() +
                           static_cast<std::ptrdiff_t>(neighbourStart[static_cast<std::size_t>(a)]);
        const auto end = neighbours.begin() + static_cast<std::ptrdiff_t>(
                                                  neighbourStart[static_cast<std::size_t>(a) + 1]);
        return std::binary_search(begin, end, static_cast<std::uint32_t>(b));
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
    mutable std::atomic<std::size_t> curveBytes{0};

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
        std::size_t bytes = sizeof(Edge) + made.vertices.size() * sizeof(Vertex);
        for (const EdgeLoop &loop : made.loops)
            bytes += loop.samples.size() * (sizeof(Sample) + 2 * sizeof(double) + 4) +
                     loop.runs.size() * sizeof(EdgeLoop::Run);
        if ((curveBytes += bytes) > kMostCurveBytes)
            throw LimitExceeded("接闪器过于密集：所需计算的曲线超过 1 GB，超出计算的限度");
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
        bool free = true;
        nearConductors(c, c, hr, [&](std::size_t k) {
            free = free && !(pointSegmentDist2(c, conductors[k].a, conductors[k].b) < limit);
        });
        return free;
    }

    // The free vertices where the plane and spheres meet, three at a time. They do not depend
    // on the point asked about, so they are worked out once, on first need, by cells of the
    // plan: a vertex is kept in the cell of the first sphere of its three (the plane's three are
    // kept with their first sphere), and lies within hr of that sphere's centre. A question
    // about one place thus works out only the cells near it.
    struct VertexCell {
        std::vector<std::size_t> spheres; // the round surfaces whose centre lies here, in order
        std::once_flag made;
        std::vector<Vertex> vertices; // by x
    };
    std::unique_ptr<VertexCell[]> vertexCells;
    double cellX0 = 0, cellY0 = 0, cellSize = 1;
    int cellsX = 0, cellsY = 0;
    void buildVertexCells();
    void findVertices(VertexCell &cell) const;
    // Calls f(vertex) for every free vertex over the box on the plan, cell by cell and by x, in
    // a fixed order.
    template <class F>
    void visitVertices(PlanBox box, const F &f) const
    {
        if (cellsX == 0) return;
        const auto column = [&](double x) {
            return std::clamp(static_cast<int>(std::floor((x - cellX0) / cellSize)), 0, cellsX - 1);
        };
        const auto row = [&](double y) {
            return std::clamp(static_cast<int>(std::floor((y - cellY0) / cellSize)), 0, cellsY - 1);
        };
        if (box.x1 + hr < cellX0 || box.y1 + hr < cellY0 ||
            box.x0 - hr > cellX0 + cellsX * cellSize || box.y0 - hr > cellY0 + cellsY * cellSize)
            return;
        for (int j = row(box.y0 - hr); j <= row(box.y1 + hr); ++j)
            for (int i = column(box.x0 - hr); i <= column(box.x1 + hr); ++i) {
                VertexCell &cell = vertexCells[static_cast<std::size_t>(j) * cellsX + i];
                std::call_once(cell.made, [&] { findVertices(cell); });
                // Those over the box, found by x.
                const auto from =
                    std::lower_bound(cell.vertices.begin(), cell.vertices.end(), box.x0,
                                     [](const Vertex &v, double x) { return v.at.x < x; });
                for (auto v = from; v != cell.vertices.end() && v->at.x <= box.x1; ++v)
                    if (v->at.y >= box.y0 && v->at.y <= box.y1) f(*v);
            }
    }
    // The circles where two of them meet, likewise.
    mutable std::vector<Circle> roundCircles;
    mutable std::once_flag roundCirclesMade;
    mutable PlanIndex circleIndex;
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
    // How far c is from cutting into anything (negative inside): exact when below `within`,
    // and otherwise `within` or more.
    double freeMargin(Point c, double within) const;
    bool pathFree(Point a, Point b) const;
    bool escapes(Point c) const;
    const Fill &fillAt(std::size_t level) const;

    // False only when c lies in a closed pocket for certain.
    bool mayBeReached(Point c) const;

    bool reachable(Point c) const { return escapes(c) || mayBeReached(c); }
};

} // namespace calc::rolling_sphere::detail
