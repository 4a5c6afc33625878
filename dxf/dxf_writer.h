#pragma once

#include "dxf/drawing_coordinates.h"
#include "project/project_file.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An ASCII DXF drawing of version 2007 (UTF-8 text) with the tables, blocks and objects that
// CAD programs insist on, holding what a layout drawing needs: layers, lines, circles, plane
// polylines and single-line texts in model space. Coordinates are the drawing's own.
namespace dxf {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// AutoCAD colour index: an entity of kByLayer takes its layer's colour.
inline constexpr int kByLayer = 256;

enum class TextAlign { BaselineLeft, MiddleCentre };

class DrawingWriter {
public:
    // Texts use a style of this TrueType font file, which CAD programs look up by name.
    DrawingWriter(lplayout::DrawingPlace::Units units, std::string fontFile);

    void addLayer(std::string name, int colour);
    void line(const std::string &layer, Point3 a, Point3 b, int colour = kByLayer);
    void circle(const std::string &layer, Point3 centre, double radius, int colour = kByLayer);
    // A polyline in the plane z = elevation.
    void polyline(const std::string &layer, const std::vector<DrawingPoint> &points,
                  double elevation, bool closed, int colour = kByLayer);
    void text(const std::string &layer, Point3 at, double height, std::string_view text,
              TextAlign align = TextAlign::BaselineLeft, int colour = kByLayer);
    // A block of lines and circles about its base point, drawn on layer 0 so that each insert
    // takes the colour of its own layer; and an insert of it, scaled alike in x, y and z.
    void defineBlock(std::string name, const std::vector<std::pair<Point3, Point3>> &lines,
                     const std::vector<std::pair<Point3, double>> &circles);
    void insert(const std::string &layer, const std::string &block, Point3 at, double scale,
                int colour = kByLayer);

    // The whole file. Throws std::invalid_argument when a coordinate is not a finite number.
    std::string finish() const;

private:
    struct Entity {
        std::string type;
        std::string layer;
        int colour = kByLayer;
        std::string body; // the tags after the common entity ones
    };
    void include(Point3 p);
    void add(std::string type, const std::string &layer, int colour, std::string body);

    struct Block {
        std::string name;
        std::vector<Entity> entities;
    };

    lplayout::DrawingPlace::Units units_;
    std::vector<Block> blocks_;
    std::string fontFile_;
    std::vector<std::pair<std::string, int>> layers_;
    std::vector<Entity> entities_;
    Point3 min_{0, 0, 0}, max_{0, 0, 0};
    bool empty_ = true;
    bool finite_ = true;
};

// A coordinate or length as the file writes it: fixed notation to a millionth of a unit, so
// that a point half a million kilometres out keeps its millimetres, with "." whatever the
// locale, and no "-0".
std::string number(double value);

// A text value kept to one line: line breaks become spaces, and "%%", which CAD programs read
// as a control code, is written so that it shows as typed.
std::string textValue(std::string_view text);

} // namespace dxf
