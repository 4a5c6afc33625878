#pragma once

#include "layouts/layout.h"
#include "sheets/sheet.h"

#include <string>
#include <string_view>
#include <vector>

namespace calc {

inline constexpr std::string_view kLayoutSheetName = "防雷布置";

// The protection class entry of the calculator's list for hr 60, 45 or 30; empty for any other.
std::string_view protectionClassEntry(int hr);

// The sheet of a layout: basis, hr, the tables of conductors and objects, each object's verdict
// with its least clearance and where it occurs, the closed-form check where one matches, and
// the drawing: the plan at planHeight and a section through each object's least-clearance
// point. `verdicts` are checkObjects(layout) (taken, not recomputed, so that the window and its
// sheet show the same figures); a layout the engine cannot take gives an error sheet.
sheet::Sheet layoutSheet(const layout::Layout &layout,
                         const std::vector<layout::ObjectVerdict> &verdicts, double planHeight,
                         std::string date);

// A vertical section along the plan line from a to b (distance along it across, height up):
// the ground, the zone's upper boundary, the rods standing on the line and the wires crossing
// it, and the objects it cuts, coloured by their verdicts.
drawing::View layoutSection(const layout::Layout &layout,
                            const std::vector<layout::ObjectVerdict> &verdicts,
                            const rolling_sphere::Layout &engine, drawing::Vec2 a, drawing::Vec2 b,
                            std::string title);

// The same, working out the verdicts itself.
sheet::Sheet layoutSheet(const layout::Layout &layout, double planHeight, std::string date);

// The closed-form check of the sheet's cross-check section: the values of the closed form of
// GB 50057-2010 附录D that the layout matches (two rods that protect jointly, or four rods of
// equal height on a rectangle's corners) beside the engine's measure of the same, and whether
// they agree; or why no closed form applies.
std::vector<sheet::Block> layoutCrossCheck(const layout::Layout &layout,
                                           const rolling_sphere::Layout &engine);

} // namespace calc
