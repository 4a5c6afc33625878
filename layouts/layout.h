#pragma once

#include "calc/strike_rules.h"
#include "engine/rolling_sphere.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A layout of air terminals over a site and the objects they are meant to protect, checked by
// the rolling sphere. Metres; z up, ground at z = 0.
namespace calc::layout {

// The three rolling-sphere radii of the protection classes, in metres.
inline constexpr int kSphereRadii[] = {30, 45, 60};
bool isSphereRadius(double hr);

// A rod standing on the ground at (x, y), its tip at height h.
struct Rod {
    double x = 0, y = 0, h = 0;
};
// Any straight conductor between two points: a wire, a roof conductor, a down conductor.
struct Wire {
    rolling_sphere::Point a, b;
    // Laid out by the roof network's lay-out, which replaces such wires when it lays out again;
    // wires drawn by hand are false and stay.
    bool laidOut = false;
};
using Conductor = std::variant<Rod, Wire>;

struct Corner {
    double x = 0, y = 0;
    friend bool operator==(const Corner &, const Corner &) = default;
};
// A prism: a simple footprint polygon (either winding) raised to its height.
struct Object {
    std::string name;
    std::vector<Corner> footprint;
    double height = 0;
    // The building it is a part of, named to join it with parts it does not touch and to keep
    // it apart from parts of other names; empty when not named.
    std::string building = {};
    // Its building's group for the class by strike count, when given.
    std::optional<BuildingGroup> group = {};
    // A metal stack, duct or tank bonded to the roof's network: standing on a roof, it is
    // protected by the bond rather than judged by the sphere.
    bool metal = false;
    friend bool operator==(const Object &, const Object &) = default;
};

// The site's values for the yearly strike counts, each when given.
struct StrikeSite {
    std::string city = {}; // a city of the calculator's list, by its name ("北京")
    std::optional<double> thunderstormDays = {}; // typed; stands before the city
    std::optional<double> k = {};                // correction factor; 1 when not given
    friend bool operator==(const StrikeSite &, const StrikeSite &) = default;
};

struct Layout {
    int hr = 45;
    std::vector<Conductor> conductors;
    std::vector<Object> objects;
    StrikeSite site = {};
};

// What a new object, rod or wire is given when nothing else says: heights in metres.
inline constexpr double kNewObjectHeight = 10;
inline constexpr double kNewRodHeight = 20;
inline constexpr double kNewWireHeight = 15; // a usual height for a wire strung over buildings

// "建筑物N" for a new object: N one more than the number of objects, or the next number that no
// object is named with.
std::string newObjectName(const Layout &layout);

std::vector<rolling_sphere::Conductor> engineConductors(std::span<const Conductor> conductors);
// The layout's conductors prepared for the engine, with the layout's sphere radius.
rolling_sphere::Layout prepareEngine(const Layout &layout);

// At least three corners, a non-zero area and no two edges that meet except neighbours at
// their shared corner.
bool isSimplePolygon(std::span<const Corner> polygon);

// The verdict is taken to the engine's millimetre: protected when the least clearance is not
// below -0.5 mm.
inline constexpr double kProtectedFrom = -0.0005;

struct ObjectVerdict {
    bool isProtected = false;
    double leastClearance = 0;   // metres, over the roof, the walls and their edges
    rolling_sphere::Point where; // a surface point where it occurs
};

// How much one object's check may take: the surface points it asks the engine about (its
// time) and the cells of the surface it keeps at once (its memory). Beyond either it gives up
// with rolling_sphere::LimitExceeded, saying which object and why. Real sites stay far below.
struct CheckLimits {
    std::size_t queries = 2'000'000;
    std::size_t cells = 2'000'000;
};

// The least clearance over the object's whole surface, to within a millimetre of the true
// least. Throws std::invalid_argument for a footprint that is not a simple polygon or a height
// that is negative or not finite.
ObjectVerdict checkObject(const rolling_sphere::Layout &engine, const Object &object,
                          const CheckLimits &limits = {});
// Only whether the object is protected, sooner: the search stops at the first surface point
// found below kProtectedFrom (the verdict's witness, as leastClearance and where) and proves
// no more than that the rest lies above it. leastClearance is then no lower than the least.
ObjectVerdict quickVerdict(const rolling_sphere::Layout &engine, const Object &object,
                           const CheckLimits &limits = {});
// Every object checked, on all of the machine's cores.
std::vector<ObjectVerdict> checkObjects(const Layout &layout, const CheckLimits &limits = {});

// One value of a closed form of GB 50057-2010 附录D beside the engine's measure of the same.
struct ClosedFormValue {
    std::string_view name;
    double closedForm = 0;
    double engine = 0;
    bool agrees = false; // within a millimetre
};
enum class ClosedFormKind { TwoRods, FourRodRectangle };
struct ClosedFormCheck {
    ClosedFormKind kind = ClosedFormKind::TwoRods;
    // Two rods: D1, from the first rod to the line where the zone dips lowest; four rods: D3,
    // the rectangle's diagonal.
    double distance = 0;
    std::vector<ClosedFormValue> values;
    bool agrees() const;
};

// The closed-form check that matches the layout: its conductors exactly two rods close enough
// to protect jointly, or exactly four rods of equal height on the corners of a rectangle; none
// otherwise.
std::optional<ClosedFormCheck> closedFormCheck(const Layout &layout,
                                               const rolling_sphere::Layout &engine);

} // namespace calc::layout
