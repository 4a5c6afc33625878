#pragma once

#include <array>
#include <string_view>

// What GB 50057-2010 asks of a building's roof network in each protection class: the mesh, the
// perimeter tape, the down conductors, what stands above the roof and side flash, with the
// clause of each.
namespace calc::roof {

// A rectangle a mesh cell must fit in, its longer side first.
struct MeshSize {
    double longSide = 0, shortSide = 0;
};

struct ClassRules {
    int protectionClass = 2; // 1, 2 or 3
    int hr = 45;             // the sphere radius of the class, metres
    std::array<MeshSize, 2> mesh{};
    std::string_view meshClause;
    // Above this height the roof's outer edge carries a tape first, on the wall's plane or
    // outside it (same clause as the mesh).
    double tapeAbove = 45;
    std::string_view tapeClause;
    int leastDownConductors = 2;
    double spacingLimit = 18; // along the perimeter, metres
    std::string_view downClause;
    std::string_view rooftopClause;
    std::string_view sideFlashClause;
};

// The class of the sphere radius: 30 m → 1, 45 m → 2, 60 m → 3 (any other radius is taken as
// class 2's).
ClassRules classRules(int hr);

// Metres above the roof a laid-out tape and mesh runs.
inline constexpr double kDefaultTapeHeight = 0.15;
// The strip along a roof's edge that needs no cell of its own (a parapet outside a tape on its
// inner side), and how far from the edge a conductor is still a tape.
inline constexpr double kEdgeStrip = 0.5;
// A roof conductor runs from the roof's height to this much above it.
inline constexpr double kRoofConductorRise = 1;
// How near a down conductor's top is to a roof conductor, and its foot to the ground or a roof.
inline constexpr double kJoinReach = 0.05;
// How far from its roof's outline a down conductor stands, at most.
inline constexpr double kDownConductorReach = 1;
// Class 1: horizontal tapes round the walls from this height, at most kSideTapeStep apart.
inline constexpr double kSideTapesFrom = 30;
inline constexpr double kSideTapeStep = 6;
// Classes 2 and 3: above this height the upper part of the building (0.8·H up) needs side-flash
// measures.
inline constexpr double kSideFlashAbove = 60;
inline constexpr double kSideFlashShare = 0.8;
// Lengths are judged to the millimetre: a cell or a spacing passes when it is not beyond its
// limit by half a millimetre or more.
inline constexpr double kLengthTolerance = 0.0005;

} // namespace calc::roof
