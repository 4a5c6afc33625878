#pragma once

#include "sheets/drawing.h"
#include "layouts/layout.h"

#include <vector>

// The protected area of a layout as a picture: the zone's cut at one height on the plan and its
// upper boundary along a vertical section. Only for drawing; verdicts come from checkObject.
namespace calc::layout {

struct PlanBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// Every conductor widened by hr on each side (no sphere reaches under a conductor farther out
// than that), and every object's footprint.
PlanBox planBox(const Layout &layout);

// The points of the plan at `height` that the rolling sphere cannot reach (clearance above a
// rounding-level threshold, so that the ground, which the sphere touches outside the zone,
// counts as reached there).
struct PlanZone {
    // Non-overlapping polygons whose union is the area (whole grid cells merged along rows,
    // and the cut cells along the outline).
    std::vector<std::vector<drawing::Vec2>> fill;
    // The outline as polylines, closed ones with their first point repeated at the end.
    std::vector<std::vector<drawing::Vec2>> outline;
};

// Marching squares over a grid of cells of about `cell` metres (at most `maxCells` a side),
// the crossings found on the grid by bisection and the outline then refined between them until
// it lies within `tolerance` of the zone's edge. Where a part of the zone narrower than a cell
// passes between the grid's corners, the columns and rows around it are cut up to 16 times
// finer and the grid marched again.
PlanZone planZone(const rolling_sphere::Layout &engine, const PlanBox &box, double height,
                  double cell, double tolerance = 0.02, int maxCells = 80);

// Whether the plan point (x, y) at `height` is inside the protected area as planZone counts it.
bool insideZone(const rolling_sphere::Layout &engine, double x, double y, double height);

// Along the line from a to b on the plan, `samples` + 1 points (distance along the line, top of
// the zone there) of the zone's upper boundary below `top`; 0 where nothing is protected.
std::vector<drawing::Vec2> zoneProfile(const rolling_sphere::Layout &engine, drawing::Vec2 a,
                                       drawing::Vec2 b, double top, int samples);

} // namespace calc::layout
