#pragma once

#include "layouts/layout.h"
#include "roof/roof_rules.h"

#include <span>
#include <string>
#include <vector>

// 生成屋面防雷: the roof network laid out for a layout's buildings by its class: a tape along
// every edge of every exposed roof, a mesh parallel to each roof's longest edge, down conductors
// at the outline's outer corners and evenly between them round the outside and every courtyard
// (a taller part's from its roof to the roof below), and for class 1 the horizontal tapes round
// the walls above 30 m. Laying out again replaces the wires laid out before for that building
// and nothing else.
namespace calc::roof {

struct LayOutOptions {
    double tapeHeight = kDefaultTapeHeight; // above the roof, metres
    // The buildings by name (as checkRoofs names them); all when empty.
    std::vector<std::string> buildings = {};
};

// The names that are no building of the layout.
std::vector<std::string> unknownBuildings(const layout::Layout &layout,
                                          std::span<const std::string> names);

// The layout with the network laid out; buildings whose footprints or heights cannot be used,
// and names that are no building, are left as they are.
layout::Layout layOutRoofs(const layout::Layout &layout, const LayOutOptions &options = {});

} // namespace calc::roof
