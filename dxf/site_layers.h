#pragma once

#include "dxf/drawing.h"
#include "dxf/drawing_coordinates.h"

#include <QString>

#include <cstdint>
#include <vector>

// What a drawing's layers hold, for choosing which of them are buildings, rods and wires: the
// counts of each layer's entities and a quick picture of them.
namespace dxf {

struct LayerCounts {
    std::uint64_t closedOutlines = 0; // closed polylines lying flat
    std::uint64_t lines = 0;          // lines, open polylines and 3D polylines not flat
    std::uint64_t circles = 0, points = 0;
    std::uint64_t texts = 0;   // TEXT, ATTRIB and MTEXT entities
    std::uint64_t inserts = 0; // block inserts, an array (MINSERT) counted once
    std::uint64_t arcs = 0, splines = 0;
    std::uint64_t hatches = 0; // each hatch once, however many boundary paths it has
    friend bool operator==(const LayerCounts &, const LayerCounts &) = default;
};

// The counts as the dialog's table and `--list-layers` show them, in their order.
struct CountColumn {
    const char *title;   // the column's heading
    const char *tooltip; // what it counts
    std::uint64_t LayerCounts::*count;
};
const std::vector<CountColumn> &countColumns();

struct LayerSummary {
    QString name;
    int colour = 7;
    bool shown = true; // neither off nor frozen in the drawing
    LayerCounts counts;
};

// A polyline that can be a building's outline: closed, or whose last corner is its first, and
// lying flat (a 3D one's corners at one height).
bool isClosedOutline(const Drawing &d, const Entity &e);
// A spline closed and lying flat.
bool isClosedSpline(const Drawing &d, const Entity &e);

// Every layer, in the order the drawing first names them (its layer table comes first), as
// Drawing::layers holds them. Entities inside
// inserted blocks count as CAD shows them: on their own layer, or on the insert's when they
// are on layer 0, once for each copy the insert (or its array) makes.
std::vector<LayerSummary> layerSummaries(const Drawing &d);

// Model space's lines, polylines and circles in drawing coordinates, each a path of a few
// corners at most (arcs coarsely), blocks' entities where their inserts put them.
struct Preview {
    struct Path {
        std::uint32_t layer = 0; // Drawing::layers, as layerSummaries lists them
        std::uint32_t first = 0, count = 0;
        bool closed = false;
    };
    std::vector<DrawingPoint> points;
    std::vector<Path> paths;
};
Preview preview(const Drawing &d);

} // namespace dxf
