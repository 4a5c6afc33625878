#include "dxf/drawing_coordinates.h"

namespace dxf {

using lplayout::DrawingPlace;

DrawingPlace placeOrMetres(const std::optional<DrawingPlace> &place)
{
    return place ? *place : DrawingPlace{DrawingPlace::Units::Metres, 0, 0};
}

DrawingPoint toDrawing(const DrawingPlace &place, double x, double y)
{
    return {place.originX + lengthToDrawing(place, x), place.originY + lengthToDrawing(place, y)};
}

DrawingPoint toLayout(const DrawingPlace &place, double x, double y)
{
    // The origin is taken off first, in the drawing's units, so that a point far from the
    // drawing's zero keeps its digits.
    return {lengthToLayout(place, x - place.originX), lengthToLayout(place, y - place.originY)};
}

double lengthToDrawing(const DrawingPlace &place, double metres)
{
    return metres / lplayout::metresPerUnit(place.units);
}

double lengthToLayout(const DrawingPlace &place, double drawingUnits)
{
    return drawingUnits * lplayout::metresPerUnit(place.units);
}

} // namespace dxf
