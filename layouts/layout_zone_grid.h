#pragma once

#include "layouts/in_parallel.h"
#include "layouts/layout_zone.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// The grid planZone marches over, for the zone's own units: which of its corners lie inside the
// zone, where its edges cross the zone's edge (layout_zone_grid.cpp), and the outline traced
// through those crossings and refined (layout_zone.cpp).
namespace calc::layout::zone {

using drawing::Vec2;

// The sphere touches the ground outside the zone with a clearance of exactly zero; inside, the
// ground lies a finite margin below the nearest free centre.
inline constexpr double kInsideAbove = 1e-9;

inline Vec2 lerp(Vec2 a, Vec2 b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

using calc::layout::inParallel;

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

// Into how many columns (rows) each cell of the even grid is cut: where the outline found on
// the even grid strays from the edge, a feature thinner than a cell (a narrow neck of the zone,
// a gap between two zones) passed between its corners. Cutting whole columns and rows keeps
// every cell a rectangle whose sides its neighbours share. Empty: one each.
struct Splits {
    std::vector<int> columns, rows;
};

class Grid {
public:
    // Settles every corner of the grid as inside the zone or not.
    Grid(const rolling_sphere::Layout &engine, const PlanBox &box, double height, double cell,
         double tolerance, int maxCells, const Splits &splits = {});

    // Settles every corner of rows first..last: one query settles every corner nearer than its
    // margin, on the same side.
    void settleRows(int first, int last);

    // Marks every grid corner of rows first..last nearer than `reach` to `centre` as inside
    // the zone or not.
    void settle(Vec2 centre, double reach, bool inside, int first, int last);

    // How far p at the zone's height lies inside the zone (negative outside); the zone is where
    // the clearance exceeds kInsideAbove.
    // Found only up to a few cells: a larger margin settles no more corners than that.
    double margin(Vec2 p) const;

    // The margin with its gradient on the plan: the clearance grows straight away from the
    // nearest centre. The ground's margin comes without one.
    Probe probe(Vec2 p, const std::optional<rolling_sphere::Point> &hint = {}) const;

    // Above the ground: when the centre straight above p at the sphere's height (or p itself,
    // higher up) is free and reachable, that centre reaches p, and so does every centre it can
    // move to sideways without cutting in: so is every point within hr of those centres. How
    // far from p that holds; nothing when the test says nothing.
    std::optional<double> reachedAround(Vec2 p) const;

    // On the ground, a point is protected exactly when no sphere can rest there: when the centre
    // hr above it cuts into a conductor, or lies in a pocket no sphere rolls into. How far that
    // centre is from cutting in is a margin in the same sense: every centre nearer to it than
    // that is on the same side (and in the same pocket, joined by a straight path).
    double groundMargin(Vec2 p) const;
    bool in(Vec2 p) const { return margin(p) > 0; }

    // The zone: whole cells merged along rows, the cut cells' polygons and the outline; the
    // middles of the outline's chords that still lie farther than the tolerance from the edge
    // into `astray`.
    PlanZone run(std::vector<Vec2> &astray);

    // Cuts the columns and rows of the even grid around each point astray into twice as many
    // as before, up to `most`; whether any was cut.
    bool finer(const std::vector<Vec2> &astray, Splits &splits, int most) const;

private:
    // Every grid edge whose ends lie on opposite sides holds a crossing; found on the threads.
    void findCrossings();

    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j * (nx_ + 1) + i); }
    bool at(int i, int j) const { return inside_[index(i, j)]; }
    Vec2 corner(int i, int j) const
    {
        return {xs_[static_cast<std::size_t>(i)], ys_[static_cast<std::size_t>(j)]};
    }

    // Edge ids: the horizontal edge from corner (i, j) is 2 * index, the vertical one 2 * index
    // + 1.
    long horizontal(int i, int j) const { return 2 * static_cast<long>(index(i, j)); }
    long vertical(int i, int j) const { return 2 * static_cast<long>(index(i, j)) + 1; }

    EdgePoint crossing(long edge) const { return crossings_.at(edge); }

    EdgePoint findCrossing(long edge) const;

    // The zone's edge between a and b, which lie on opposite sides of it: Newton's method from
    // whichever end the grid asked about, kept within the stretch known to hold the edge.
    EdgePoint boundaryBetween(Vec2 a, Vec2 b, const std::optional<Probe> &atA,
                              const std::optional<Probe> &atB) const;

    // Where the margin along o + s u (u of unit length) changes sign between lo, on the side
    // `loIn`, and hi, on the other, from s whose probe is known. Newton's steps where the engine
    // gives the gradient, bisection where a step would leave the stretch; each query's margin
    // also rules out the stretch within it of the point, on its side.
    Root edgeAlong(Vec2 o, Vec2 u, double s, Probe at, double lo, double hi, bool loIn) const;

    // Newton's method alone along o + s u, from s whose probe is known, within [lo, hi]: the
    // root once a step is well below the tolerance (the next would be far smaller still);
    // nothing when it leaves the range, meets a flat stretch or does not settle.
    std::optional<Root> newtonAlong(Vec2 o, Vec2 u, double s, Probe at, double lo, double hi) const;

    // Bisection, where each query's margin also rules out the stretch within it of the point.
    Vec2 bisect(Vec2 a, Vec2 b) const;

    // The first edge out from o along u (of unit length) within `reach`, o's margin being
    // `from`: steps no longer than each margin (nothing crosses the edge within it), and no
    // shorter than the tolerance; the last step is bisected.
    std::optional<Vec2> edgeFrom(Vec2 o, Vec2 u, double reach, double from) const;

    // The cell's polygon inside the zone, and the outline's pieces across it between edge ids.
    void cutCell(int i, int j, PlanZone &zone, std::vector<std::pair<long, long>> &pieces);

    // Joins the pieces into lines, open ones whole, and refines them into the outline.
    void chain(const std::vector<std::pair<long, long>> &pieces, PlanZone &zone,
               std::vector<Vec2> &astray);

    // Puts points between neighbours until each chord lies within tolerance of the edge; the
    // chords on the threads. The middles of the chords that still do not into `astray`.
    std::vector<std::vector<Vec2>> refine(const std::vector<std::vector<EdgePoint>> &lines,
                                          std::vector<Vec2> &astray) const;

    void refineBetween(const EdgePoint &a, const EdgePoint &b, int depth,
                       std::vector<Vec2> &out) const;

    const rolling_sphere::Layout &engine_;
    double height_;
    double tolerance_;
    int nx_ = 1, ny_ = 1;                      // the grid's cells, after the splits
    double x0_ = 0, y0_ = 0, dx_ = 1, dy_ = 1; // the even grid's origin and cell
    int evenX_ = 1, evenY_ = 1;                // the even grid's cells
    std::vector<double> xs_, ys_;              // the grid's lines
    double cap_ = 1;
    std::vector<char> inside_;
    std::vector<char> known_;                  // corners settled while the grid is made
    std::vector<std::optional<Probe>> probed_; // the grid's corners the engine was asked about
    std::map<long, EdgePoint> crossings_;
};

} // namespace calc::layout::zone
