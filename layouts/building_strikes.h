#pragma once

#include "calc/strike_rules.h"
#include "layouts/layout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Each building's expected yearly lightning strikes and its class by that count, from its real
// outline: N = k·Ng·Ae, with Ae the area enclosed by the union of every part's footprint grown
// by the part's own expansion width D with round corners, any hole in it filled.
//
// Buildings: objects whose footprints overlap or touch form one building; objects of the same
// `building` name form one though they do not touch, and objects of different names never do.
// An unnamed object touching buildings of two names joins the first met in file order. A
// building is named by its `building` name, else by its tallest part (the first of equals).
namespace calc::layout {

// A building's name and its parts, in the order of each building's first part in the layout.
struct BuildingParts {
    std::string name;
    std::vector<std::size_t> parts; // indices into the layout's objects, in file order
};
std::vector<BuildingParts> layoutBuildings(const Layout &layout);

enum class BuildingState {
    Measured,
    BadFootprint, // a part's footprint is no simple polygon within a million metres
    BadHeight,    // a part's height is not above 0 or not below a million metres
    Unmeasured,   // the area could not be settled to the square metre
};

struct BuildingStrikes {
    std::string name;
    std::vector<std::size_t> parts; // indices into the layout's objects, in file order
    std::vector<double> widths;     // each part's D in metres; 0 for a part of bad height
    BuildingState state = BuildingState::Measured;

    // When measured: Ae in km², never further than aeError from the exact area (aeError is at
    // most 10⁻⁸ km², a hundredth of a square metre), and the line it is measured inside, one
    // closed ring (first corner not repeated) per separate piece of the building. The ring is
    // drawn with arcs as chords within a centimetre of them.
    double ae = 0;
    double aeError = 0;
    std::vector<std::vector<Corner>> outline;

    // Important when any part says so (the lower limits), ordinary otherwise.
    BuildingGroup group = BuildingGroup::Ordinary;
    bool groupGiven = false; // whether any part gives a group
    // When measured and the site is ready: strikes per year, and the class they give.
    std::optional<double> n;
    StrikeClass strikeClass = StrikeClass::NotByCount;
};

enum class SiteState {
    Ready,
    NoThunderstormDays,  // neither a typed value nor a city
    BadThunderstormDays, // a typed value outside (0, 365], or a city not in the list
    BadCorrectionFactor, // k given but not 1, 1.5, 1.7 or 2
};

struct LayoutStrikes {
    SiteState site = SiteState::Ready;
    double td = 0; // thunderstorm days per year, when ready
    double ng = 0; // strikes per km² per year, when ready
    double k = 1;
    // In the order of each building's first part in the layout; none for a layout without
    // objects.
    std::vector<BuildingStrikes> buildings;
};

// The buildings of the layout and, for a ready site, their yearly strikes and classes.
LayoutStrikes layoutStrikes(const Layout &layout);
// The same, taking each building's area from `earlierStrikes` (worked out for `earlier`) where
// one of its buildings had the same parts, footprints and heights in the same order: the area
// depends on nothing else, so only the buildings an edit changed are measured again.
LayoutStrikes layoutStrikes(const Layout &layout, const Layout &earlier,
                            const LayoutStrikes &earlierStrikes);
// Whether two layouts have the same strike counts: they depend on the site's values and the
// objects alone, never on the conductors.
bool sameStrikeInputs(const Layout &a, const Layout &b);

} // namespace calc::layout
