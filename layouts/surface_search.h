#pragma once

#include "layouts/layout.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <queue>
#include <vector>

// The least clearance over an object's surface, by branch and bound over rectangular cells of
// its faces (surface_search.cpp). Internal to layouts: checkObject and quickVerdict use it.
namespace calc::layout::detail {

class SurfaceSearch {
public:
    // With a floor, the search stops at the first surface point whose clearance is below it,
    // and drops every cell proven not to go below it: it settles on which side of the floor the
    // least lies, not the least itself.
    SurfaceSearch(const rolling_sphere::Layout &engine, const Object &object,
                  const CheckLimits &limits,
                  double floor = -std::numeric_limits<double>::infinity())
        : engine_(engine), object_(object), limits_(limits), floor_(floor)
    {}

    // One of `count` parts of the surface, searched on its own: its share of the roof (the
    // footprint's box cut across its longer side) and of the walls. Each part's answer is that
    // of its points alone, found as the whole search would, so the least of the parts' answers
    // is the whole surface's, and the same whatever order they run in. `asked` counts the
    // points of every part against the limit.
    void onlyPart(unsigned index, unsigned count, std::atomic<std::size_t> &asked)
    {
        part_ = index;
        parts_ = count;
        asked_total_ = &asked;
    }

    ObjectVerdict run();

private:
    struct Face {
        rolling_sphere::Point origin, u, v; // the point at (s, t) is origin + s u + t v
        bool roof; // s, t are x, y; only points inside the footprint belong to it
    };
    // A surface point the engine was asked about: its clearance (below limit, or limit or
    // more), and the nearest reachable centre when the engine gave one.
    struct Known {
        double value = 0;
        double limit = 0;
        std::optional<rolling_sphere::Point> centre;
    };
    // Known points at (u0, v0), (u1, v0), (u0, v1), (u1, v1).
    using Corners = std::array<std::uint32_t, 4>;
    struct Cell {
        double lower;
        std::uint32_t face;
        double u0, v0, u1, v1;
        Corners corners;
        bool operator>(const Cell &o) const { return lower > o.lower; }
    };

    void seed(std::uint32_t face, double s0, double s1, double t0, double t1);
    rolling_sphere::Point point(const Face &face, double s, double t) const;
    // The point (s, t) of the face asked about, when its clearance is below limit; otherwise
    // its value is limit or more (a value no higher than the truth keeps every bound true).
    std::uint32_t ask(std::uint32_t face, double s, double t,
                      double limit = std::numeric_limits<double>::infinity());
    double value(std::uint32_t known) const { return known_[known].value; }
    void consider(const Face &face, double s, double t, double value);
    void push(std::uint32_t face, double u0, double v0, double u1, double v1, const Corners &c);
    // The bound on a cell from a corner's nearest centre, and where on the cell it is least.
    double centreBound(const Face &face, double u0, double v0, double u1, double v1,
                       const Corners &c, double &sAt, double &tAt) const;
    // The bound on a cell from every corner's nearest centre at once.
    double blendBound(const Face &face, double u0, double v0, double u1, double v1,
                      const Corners &c) const;
    // A cell whose bound reaches this is settled.
    double bar() const;
    // The least the search still looks for: best_, or the floor when lower. A corner more than
    // half a cell's diagonal above it settles the cell by the corners' values alone.
    double settling() const { return std::isfinite(floor_) ? std::min(best_, floor_) : best_; }

    const rolling_sphere::Layout &engine_;
    const Object &object_;
    CheckLimits limits_;
    double floor_;
    std::vector<Face> faces_;
    std::priority_queue<Cell, std::vector<Cell>, std::greater<>> queue_;
    double best_ = std::numeric_limits<double>::infinity();
    rolling_sphere::Point bestPoint_;
    std::vector<Known> known_;
    std::map<std::array<long long, 3>, std::uint32_t> asked_; // into known_, by micrometre
    std::optional<rolling_sphere::Point> recent_;
    unsigned part_ = 0, parts_ = 1;
    std::atomic<std::size_t> *asked_total_ = nullptr;
};

} // namespace calc::layout::detail
