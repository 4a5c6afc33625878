#pragma once

#include "dxf/drawing_plan.h"
#include "roof/roof_check.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

// The roof network in a layout drawing: each roof conductor on the layer of its role, each down
// conductor as the block of its mark with its number, the legend of the marks and the notes a
// roof plan carries (class, mesh size, spacing of the down conductors, materials, test joints).
namespace dxf {

// AutoCAD colour indexes of the roof network's layers.
inline constexpr int kTapeColour = 3;   // green
inline constexpr int kMeshColour = 150; // blue
inline constexpr int kDownColour = 210; // purple
inline constexpr int kLegendColour = 7; // as the text of the drawing
inline constexpr int kNotesColour = 7;

// The materials the notes give, as the usual roof plan has them.
inline constexpr std::string_view kConductorMaterial = "φ10 热镀锌圆钢";
inline constexpr double kTestJointHeight = 0.5; // metres above the ground

// Whether the layout holds any part of a roof network.
bool hasRoofNetwork(const calc::roof::SiteRoofs &site);

// Draws the conductors of the roof network, one at a time in the layout's order (so that a
// drawing read back gives them in that order): tape and mesh as lines on their layers, each
// roof's height said once; a down conductor as its vertical line, the mark's block inserted at
// its top and its number.
class RoofNetworkDrawing {
public:
    // Defines the mark's block.
    RoofNetworkDrawing(LayoutPlan &plan, const Layout &layout, const calc::roof::SiteRoofs &site);
    // Draws the conductor when it is part of the network; false for a rod or a plain wire.
    bool draw(std::size_t conductor);

private:
    LayoutPlan &plan_;
    const Layout &layout_;
    const calc::roof::SiteRoofs &site_;
    std::map<std::size_t, const calc::roof::DownConductor *> downs_; // by conductor
    std::set<std::pair<std::size_t, std::size_t>> labelled_;         // roofs, by building
};

// The legend and the notes, to the right of the site.
void drawRoofLegendAndNotes(LayoutPlan &plan, const Layout &layout,
                            const calc::roof::SiteRoofs &site);

} // namespace dxf
