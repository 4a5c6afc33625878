#pragma once

#include <string>
#include <vector>

// The drawing of a calculation sheet as plain geometry. Coordinates are in
// metres, x to the right and y up; in a section the ground is y = 0. A painter
// fits each view into its area with one scale for both axes, so the drawing
// stays true to scale; what has a size on the page rather than in metres (line
// widths, arrowheads, marker dots, text) is the painter's.
namespace calc::drawing {

// What a path or text stands for; the painter chooses pen, brush and colour.
enum class Ink {
    Ground,
    Rod,
    Arc,           // the rolling sphere's boundary of the protected zone
    ZoneFill,      // the protected zone, shaded
    Object,        // an object inside the zone
    ObjectOutside, // an object that reaches out of the zone: red
    Dimension,     // dimension lines and their texts
    Construction,  // helper lines, usually dashed
    Building,
    EquivalentArea,
};

// On which side of its anchor point a text stands: Above means the text is
// centred over the point, AboveRight that its lower left corner is at the point.
enum class Side { Centre, Above, Below, Left, Right, AboveLeft, AboveRight, BelowLeft, BelowRight };

struct Vec2 {
    double x = 0;
    double y = 0;
    friend bool operator==(const Vec2 &, const Vec2 &) = default;
};

// A polyline (arcs come as dense polylines). A filled path is a closed outline
// that the painter fills and does not stroke; arrows point outwards at the ends.
struct Path {
    std::vector<Vec2> points;
    Ink ink = Ink::Construction;
    bool closed = false;
    bool filled = false;
    bool dashed = false;
    bool arrowAtStart = false;
    bool arrowAtEnd = false;
    friend bool operator==(const Path &, const Path &) = default;
};

struct Label {
    Vec2 at;
    std::string text;
    Ink ink = Ink::Dimension;
    Side side = Side::Centre;
    friend bool operator==(const Label &, const Label &) = default;
};

// A point drawn as a dot of fixed size on the page, such as a rod seen from above.
struct Marker {
    Vec2 at;
    Ink ink = Ink::Rod;
    friend bool operator==(const Marker &, const Marker &) = default;
};

struct Bounds {
    Vec2 min;
    Vec2 max;
    friend bool operator==(const Bounds &, const Bounds &) = default;
};

// One figure. Paths are painted in their order, then markers, then labels.
// bounds holds every path point, marker and label anchor; the painter adds room
// for the texts around it.
struct View {
    std::string title;
    std::vector<Path> paths;
    std::vector<Label> labels;
    std::vector<Marker> markers;
    Bounds bounds;
    friend bool operator==(const View &, const View &) = default;
};

// No views and a non-empty emptyReason when the inputs give no drawing; the
// painter shows that reason in words.
struct Drawing {
    std::vector<View> views;
    std::string emptyReason;
    friend bool operator==(const Drawing &, const Drawing &) = default;
};

// Points of the circle arc about centre from angle `from` to angle `to`
// (radians, anticlockwise from the x axis; to < from goes clockwise), at most
// one degree apart, both ends included.
std::vector<Vec2> arcPoints(Vec2 centre, double radius, double from, double to);

enum class Turn { Anticlockwise, Clockwise };

// The arc about centre from the point start to the point end, both on the
// circle of the given radius, turning the given way; its first and last points
// are start and end exactly.
std::vector<Vec2> arcBetween(Vec2 centre, double radius, Vec2 start, Vec2 end, Turn turn);

// The smallest box holding the view's points, markers and label anchors,
// widened where needed so that neither side is shorter than one metre.
Bounds boundsOf(const View &view);

} // namespace calc::drawing
