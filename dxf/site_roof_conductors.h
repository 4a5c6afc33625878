#pragma once

#include "layouts/layout.h"

#include <optional>
#include <span>

// Roof conductors and down conductors taken from a drawing get their heights from the roofs
// they lie on: a roof conductor at the height of the roof under it plus the tape's height above
// the roof; a down conductor from the roof there (the tape's height above it, where the roof's
// conductors run) down to the next lower roof of the same place or to the ground.
namespace dxf {

// The height of the highest roof under the plan point: of the objects whose footprint holds it
// or passes within `reach` metres of it; none when no object does.
std::optional<double> roofUnder(std::span<const calc::layout::Object> objects, double x, double y,
                                double reach);

// A roof conductor from a to b (plan metres): at the height of the roof under its middle, within
// the edge strip of its outline, plus tapeHeight; none when it lies over no roof.
std::optional<calc::layout::Wire> roofConductor(std::span<const calc::layout::Object> objects,
                                                double ax, double ay, double bx, double by,
                                                double tapeHeight);

// A down conductor at the plan point: from the highest roof within reach of its roof's outline
// (plus tapeHeight, where it meets the roof's conductors) to the highest roof below that one
// holding the point, or to the ground; none when it stands at no roof.
std::optional<calc::layout::Wire> downConductor(std::span<const calc::layout::Object> objects,
                                                double x, double y, double tapeHeight);

} // namespace dxf
