#pragma once

#include "layouts/layout.h"
#include "roof/plan.h"
#include "roof/roles.h"
#include "roof/roof_rules.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Each building's roof network checked as a reviewer checks it, by the layout's class: the mesh
// over every exposed roof, the tape along the edge of a tall building's roofs, the down
// conductors round the perimeter, the objects standing on the roof and the side-flash measures.
//
// Buildings are named and ordered as for the strike counts. A building's exposed roofs are its
// parts of equal height that touch, their footprints' union less the footprints of its taller
// parts. Objects standing on a roof (metal ones, and small ones: see kRooftopObjectSize) are
// no parts of the roof: they neither cut it nor carry one of their own.
namespace calc::roof {

// An object whose footprint stands wholly on a lower roof of its building and fits in a square
// of this side stands on the roof (a stack, duct, tank or small plant), rather than being a
// storey with its own roof; so does a metal one of any size.
inline constexpr double kRooftopObjectSize = 5;

enum class Verdict { Pass, Fail, NotApplicable };

// A face of the plan drawing of a roof's conductors, clipped to the roof.
struct Cell {
    std::vector<Area> shape;
    double area = 0;
    // The smallest-area rectangle that holds it: its sides, longer first, and its corners.
    double longSide = 0, shortSide = 0;
    Ring rectangle;
    // Whether one of the class's two rectangles, in some placement and orientation, holds it.
    bool fits = false;
};

// A piece of roof that no closed cell covers, beyond the strip along the edge.
struct Uncovered {
    Area shape;
    double area = 0;
    Corner where; // a point inside it, for a label or a selection
};

struct Roof {
    double height = 0;
    std::vector<Area> shape;
    double area = 0;
    std::vector<std::size_t> parts; // the objects whose tops make it (layout indices)
    // Its roof conductors (layout indices), tapes and mesh alike.
    std::vector<std::size_t> conductors;

    std::vector<Cell> cells;
    // The failing cell of largest area when any fails, else the largest; none without cells.
    std::optional<std::size_t> largestCell;
    std::vector<Uncovered> uncovered;
    double uncoveredArea = 0;
    bool meshPasses = false;

    // The edges that drop to a lower roof or the ground (those against a taller part are
    // not), and, when the roof is above the table's height, the pieces of them no conductor
    // runs along on the wall's plane or outside it.
    std::vector<Segment> outerEdges;
    bool needsTape = false;
    std::vector<Segment> tapeGaps;
};

// The largest cell of a building, by its roof.
struct CellRef {
    std::size_t roof = 0, cell = 0;
};

struct DownConductor {
    std::size_t conductor = 0; // layout index
    int number = 0;            // 1, 2, … in the building, ring by ring along each ring
    Corner at;                 // where it stands on the plan
    double top = 0, foot = 0;
    std::size_t fromRoof = 0;            // the roof whose conductor it meets at its top
    std::optional<std::size_t> ontoRoof; // the lower roof its foot stands on; none: the ground
    std::vector<std::size_t> rings;      // the rings it is counted on (indices into the check's)
    bool reachesGround() const { return !ontoRoof; }
};

// The stretch of a ring between two neighbouring down conductors.
struct Span {
    std::size_t from = 0, to = 0; // indices into the building's down conductors
    double length = 0;            // along the ring
    std::vector<Corner> path;     // along the ring, from the one to the other
    bool fails = false;
};

enum class RingKind {
    Outside,   // the building's outline
    Courtyard, // round an inner courtyard
    Upper,     // a taller part's own perimeter, for the conductors that come down from its roof
};

struct ConductorRing {
    RingKind kind = RingKind::Outside;
    std::optional<std::size_t> roof; // for an upper ring
    Ring ring;
    double length = 0;
    std::vector<std::size_t> conductors; // indices into the building's, in order along the ring
    // One per neighbouring pair; with one conductor a single span from it round the whole ring
    // back to it; none without.
    std::vector<Span> spans;
    double largestSpacing = 0; // the ring's whole length with fewer than two
    bool passes = false;
};

struct DownConductorCheck {
    std::vector<DownConductor> conductors; // by number
    std::vector<ConductorRing> rings;
    int reachingGround = 0;
    bool enough = false; // at least the class's least number reach the ground
    // With at least two reaching the ground: the largest spacing on any ring, and the outside
    // rings' length over the number of conductors on them.
    std::optional<double> largestSpacing, averageSpacing;
    // The largest spacing fails but the average holds: the long-span case may apply, with
    // conductors at both ends of that span (the verdict stays a fail).
    bool longSpanNote = false;
    bool passes = false;
};

// A horizontal tape round the walls that class 1 asks for above 30 m.
struct SideTape {
    double height = 0;
    bool found = false;        // a conductor runs along the whole outline at this height
    std::vector<Segment> gaps; // the outline's pieces it misses
};

struct SideFlash {
    // Classes 2 and 3 above 60 m: the band from max(60 m, 0.8·H) to H that needs side-flash
    // measures.
    std::optional<double> bandFrom, bandTo;
    // Class 1 above 30 m: the horizontal tapes from 30 m every 6 m at most below the roof.
    std::vector<SideTape> tapes;
    Verdict verdict = Verdict::NotApplicable; // of the class 1 tapes
};

// An object standing on one of the building's roofs.
struct RooftopObject {
    std::size_t object = 0; // layout index
    std::size_t roof = 0;   // the roof it stands on
    bool metal = false;     // protected by its bond; otherwise judged by the sphere
};

enum class BuildingState {
    Checked,
    BadFootprint, // a part's footprint is no simple polygon within a million metres
    BadHeight,    // a part's height is not above 0
    Unchecked,    // the plan geometry could not be worked out
};

struct BuildingRoofs {
    std::string name;
    std::vector<std::size_t> parts; // layout indices, in file order
    BuildingState state = BuildingState::Checked;
    double height = 0; // its tallest part's, objects standing on its roofs left out

    std::vector<Roof> roofs; // highest first
    std::vector<RooftopObject> rooftop;

    // Every roof's cells fit and no roof is left uncovered.
    bool meshPasses = false;
    std::optional<CellRef> largestCell; // the failing one of largest area when any fails
    double uncoveredArea = 0;
    Verdict tape = Verdict::NotApplicable;
    DownConductorCheck down;
    SideFlash sideFlash;

    // The mesh, the tape and the down conductors pass (the checks of `lplayout --roof`).
    bool passes() const;
};

struct SiteRoofs {
    ClassRules rules;
    std::vector<ConductorRole> roles; // one per layout conductor
    std::vector<BuildingRoofs> buildings;
};

SiteRoofs checkRoofs(const layout::Layout &layout);

} // namespace calc::roof
