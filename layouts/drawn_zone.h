#pragma once

#include "layouts/layout_zone.h"

// The protected area at one height as the designer's plan shows it and a CAD drawing of the
// layout writes it, so that both show the same outline.
namespace calc::layout {

// About 60 grid cells across the layout's plan box, the outline refined to 4 cm of the zone's
// edge between the crossings, within the 5 cm a plan of the whole site can show. Nothing for a
// layout without conductors.
PlanZone drawnZone(const Layout &layout, const rolling_sphere::Layout &engine, double height);

} // namespace calc::layout
