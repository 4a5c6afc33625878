#pragma once

#include "dxf/drawing.h"
#include "dxf/group_reader.h"

#include <vector>

// A HATCH's boundary paths, read group by group: each path becomes a closed run of corners, an
// arc edge a bulge, an elliptic or spline edge a run of corners along it.
namespace dxf {

class HatchBoundary {
public:
    // Whether the group belongs to the boundary data (from the path count, group 91, on): the
    // groups before it are the entity's common ones (layer, handle, elevation, extrusion).
    bool take(const Group &g);
    // The paths read, each closed and in its object coordinates (z not set); call once the
    // entity has ended.
    std::vector<std::vector<Vertex>> paths();

private:
    enum class State { Before, PathStart, Polyline, EdgeCount, Edges, Done };
    struct Edge {
        int type = 0; // 1 line, 2 arc, 3 elliptic arc, 4 spline
        double x10 = 0, y10 = 0, x11 = 0, y11 = 0, r = 0, start = 0, end = 0;
        bool ccw = true;
        int degree = 3;
        std::vector<double> knots;
        std::vector<Vertex> control, fit;
    };
    void endPath();
    bool edgeGroup(const Group &g);

    State state_ = State::Before;
    long long pathsLeft_ = 0, edgesLeft_ = 0;
    std::vector<Vertex> polyline_;
    std::vector<Edge> edges_;
    std::vector<std::vector<Vertex>> paths_;
};

} // namespace dxf
