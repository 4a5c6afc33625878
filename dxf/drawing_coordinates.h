#pragma once

#include "project/project_file.h"

// Between a layout's metres and a CAD drawing's own coordinates. A layout taken
// from a drawing has its (0, 0) at the drawing's `origin` and keeps the
// drawing's units; one that was not is written in metres at its own origin.
namespace dxf {

struct DrawingPoint {
    double x = 0;
    double y = 0;
};

// The place a layout without one is written to: metres, origin (0, 0).
lplayout::DrawingPlace placeOrMetres(const std::optional<lplayout::DrawingPlace> &place);

// A layout point (metres) in the drawing's units and coordinates, and back.
DrawingPoint toDrawing(const lplayout::DrawingPlace &place, double x, double y);
DrawingPoint toLayout(const lplayout::DrawingPlace &place, double x, double y);

// A length or height in metres in the drawing's units, and back.
double lengthToDrawing(const lplayout::DrawingPlace &place, double metres);
double lengthToLayout(const lplayout::DrawingPlace &place, double drawingUnits);

} // namespace dxf
