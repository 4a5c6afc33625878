#pragma once

#include <memory>
#include <optional>
#include <span>
#include <stdexcept>

// The rolling-sphere method as exact geometry: a sphere of radius hr rolls in from far away over
// the ground and every air-termination conductor; whatever it cannot touch is protected.
//
// A centre C is free when C.z >= hr and C lies at least hr from every conductor. Only the free
// centres a sphere can reach by rolling in from beyond every conductor count (the unbounded
// component of the free set). clearance(p) is the distance from p to the nearest such centre,
// minus hr: > 0 protected by that margin, 0 on the zone's boundary, < 0 reached by a sphere
// (-hr when p is itself a reachable centre).
//
// Distances come from exact geometry: the nearest reachable centre lies on a face (the plane
// z = hr, a sphere around a conductor's end, a cylinder around its interior), an edge where two
// of them meet, or a vertex where three meet, at a point where the distance to p is stationary.
// Every such point is enumerated (closed forms, or one-parameter curves refined by bisection and
// golden-section search) and the nearest free, reachable one is taken. The curves do not depend
// on the point asked about: a prepared Layout follows each one once, on first need, with the
// free, reachable vertices along it and how deep its samples lie inside other obstacles, so a
// query only scans the samples near it and refines their local minima. Likewise the vertices
// where three of the plane and the end spheres meet, worked out once per cell of the plan on
// first need.
//
// Reachability: a centre is reachable when a straight path (up, or out sideways) escapes without
// cutting into anything. Otherwise an optimistic flood fill over cells decides: a cell counts as
// passable when it might hold a free centre, so a centre the fill cannot connect to the outside
// lies in a closed pocket for certain and is ignored; one it can connect is taken as reachable.
// Any doubt thus errs on the safe side (a sphere assumed to reach); the fill is refined from cells
// of hr/4 down to hr/64 (as far as a million cells allow) before it concedes, and is exact in
// the limit. The fill is the only grid: it decides topology, never a distance.
//
// Only what lies within reach can matter: a conductor farther than hr from a centre cannot cut
// into it, and two farther apart than 2 hr cannot both touch one sphere. The conductors are
// found by place (a grid over the plan), and every step above looks only at those the distance
// it tests could reach, so leaving the rest out changes no answer; a layout's size then costs
// a query nothing beyond what lies near the point. Nearer still: every free centre within d of p
// lies in a box that the ball of radius d, the plane z = hr and each conductor's obstacle narrow
// axis by axis (each cut only removes what that constraint rules out), so only the surfaces,
// circles, vertices and stretches of curve that meet the box are weighed; under a mesh it is a
// column some decimetres across, and the few wires round the point are all that count.
//
// Invalid input throws std::invalid_argument: hr <= 0 or not finite, a coordinate that is not
// finite, or a conductor end below the ground (z < 0). A layout beyond the engine's limits (more
// than ten million pairs of conductors within 2 hr of each other, or more than a gigabyte of
// followed curves) throws LimitExceeded, when prepared or when asked, rather than take the
// machine's memory.
namespace calc::rolling_sphere {

// A layout the engine cannot settle within its limits of work and memory: what() says which
// limit and why, in words for the user.
class LimitExceeded : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Point {
    double x = 0, y = 0, z = 0; // metres, z up, ground at z = 0
};
// A straight air-termination conductor; a == b is a single point, such as a rod's tip alone.
struct Conductor {
    Point a;
    Point b;
};

// One layout prepared once for many queries, from any number of threads at once (what it works
// out on first need, the pocket fill and the followed curves, is shared under a lock).
class Layout {
public:
    Layout(std::span<const Conductor> conductors, double hr);
    ~Layout();
    Layout(Layout &&) noexcept;
    Layout &operator=(Layout &&) noexcept;

    // How far the rolling sphere stays from p, in metres (see above).
    double clearance(Point p) const;
    // The same when it is below limit; otherwise limit or more. Faster the lower the limit: for
    // a sign, or a bound that only matters below some value.
    double clearance(Point p, double limit) const;
    // The same clearance with the centre that gives it, the nearest reachable free centre: the
    // clearance grows fastest straight away from it, so its gradient at p is the unit vector
    // from that centre to p. No centre when the value reached the limit or p is itself a
    // reachable centre (a value of -hr, flat around p). A hint, such as the centre found for a
    // point close by, makes the search faster when it is near the answer; it does not change
    // the answer.
    struct Nearest {
        double clearance = 0;
        std::optional<Point> centre;
    };
    Nearest nearest(Point p, double limit, std::optional<Point> hint = {}) const;
    // How far a sphere centred at c stays from cutting into a conductor, in metres (negative
    // when it cuts in; the ground is left to the caller), and whether a sphere centred there can
    // roll in from far away (the same test the clearance makes). On the ground, a point is
    // protected exactly when the centre hr straight above it is not such a place.
    double conductorMargin(Point c) const;
    bool reachable(Point c) const;
    double radius() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// How far the rolling sphere of radius hr stays from p, in metres.
double clearance(std::span<const Conductor> conductors, double hr, Point p);

} // namespace calc::rolling_sphere
