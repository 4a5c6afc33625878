#pragma once

#include "dxf/drawing.h"

#include <cstddef>
#include <functional>
#include <vector>

// A drawing's model space entity by entity, each block insert expanded into its block's
// entities where the insert puts them (its place, scale, rotation, array and nested blocks),
// and the entities' points in world coordinates: an entity drawn in its own coordinate system
// (an extrusion other than +Z, a mirrored one say) lands where CAD programs show it.
namespace dxf {

// An affine map of 3D points: rows of [linear | translation].
struct Transform {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    Vec3 apply(const Vec3 &p) const;
    Vec3 linear(const Vec3 &v) const;
    Transform operator*(const Transform &inner) const; // inner first, then this
    // The most any length is stretched by.
    double stretch() const;
};

// From an entity's object coordinate system, given by its extrusion direction (a unit vector),
// to the coordinates it is drawn in, by the arbitrary axis rule of the DXF format.
Transform objectToWorld(const Vec3 &normal);

struct Placed {
    const Entity &entity;
    const Transform &toWorld;  // the coordinates it is drawn in → world; identity in model space
    std::uint32_t layer;       // a block's entity on layer 0 takes its insert's layer
    const Entity *outerInsert; // the model-space insert it lies in, if any
};

// Visits every entity of model space in the drawing's order, an insert before its block's
// entities; when the visitor returns false for an insert, its block's entities are left out.
void walkModel(const Drawing &d, const std::function<bool(const Placed &)> &visit);

// The entity's transform from its object coordinates (or, for lines, points, 3D polylines and
// MTEXT, from the coordinates it is drawn in) to world coordinates.
Transform entityToWorld(const Drawing &d, const Placed &p);

// A polyline's corners or a circle's round in world coordinates, each arc (a bulge, the circle)
// as chords within `tolerance` of it (drawing units), at most `maxCorners` corners unless the
// polyline itself has more: past that the arcs get fewer chords. The corners repeat none at
// the end; a closed polyline's closing arc is included.
std::vector<Vec3> outline(const Drawing &d, const Placed &p, double tolerance,
                          std::size_t maxCorners);

// The entity's thickness as a vector in world coordinates (along its extrusion direction).
Vec3 thicknessVector(const Drawing &d, const Placed &p);

// Chords of one arc, from its angle and radius: how many keep within the tolerance.
int arcChords(double radius, double angle, double tolerance);

} // namespace dxf
