#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A CAD drawing read from an ASCII DXF file (R12 to 2018), keeping only what a site plan
// gives a layout: lines, arcs, polylines, splines, hatches' boundaries, circles, points, texts
// and block inserts, in model space,
// with their layers and the blocks they insert. The file's bytes are kept whole and the
// drawing's strings are views into them, decoded only when asked for.
namespace dxf {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// An arc's vertices are its centre and {start, end} angles (radians, counter-clockwise); a
// hatch is one of its boundary paths, a closed polyline in its object coordinates (extra counts
// the paths of one hatch from 0); a spline's vertices are its control points (a weight in
// bulge) and then its fit points, its knots in Drawing::splines.
enum class EntityKind : std::uint8_t {
    Line,
    Polyline,
    Circle,
    Point,
    Text,
    MText,
    Insert,
    Arc,
    Hatch,
    Spline
};

// A polyline's corner, in its object coordinates (a 3D polyline's in world coordinates); bulge
// is the tangent of a quarter of the arc's angle to the next corner, counter-clockwise when
// positive.
struct Vertex {
    double x = 0, y = 0, z = 0, bulge = 0;
};

namespace flags {
inline constexpr std::uint8_t kClosed = 1;   // a polyline closed back to its first corner
inline constexpr std::uint8_t kThreeD = 2;   // a 3D polyline: corners in world coordinates
inline constexpr std::uint8_t kAligned = 4;  // a text placed by its second alignment point
inline constexpr std::uint8_t kWorldPos = 8; // a text positioned in world coordinates (MTEXT)
} // namespace flags

// One entity, kept small: what varies in size lives in the drawing's shared arrays.
struct Entity {
    EntityKind kind = EntityKind::Line;
    std::uint8_t flags = 0;
    std::uint32_t layer = 0;     // Drawing::layers
    std::uint32_t first = 0;     // Drawing::vertices
    std::uint32_t count = 0;     // corners; a line has 2, a circle, point, text or insert 1
    std::uint32_t extra = 0;     // Drawing::texts or Drawing::inserts
    std::uint32_t extrusion = 0; // Drawing::extrusions; 0 is +Z
    std::uint32_t line = 0;      // the file's line of the entity's "0" group
    double thickness = 0;
    double size = 0; // a circle's radius, a text's height
    std::string_view handle;
};

struct TextPlacement {
    std::uint32_t firstChunk = 0, chunkCount = 0; // Drawing::chunks
    double rotation = 0;                          // radians, about the text's own z axis
    double lineSpacing = 1;                       // MTEXT's factor of the usual spacing
    int attachment = 1;                           // MTEXT: 1 to 9, top left to bottom right
};

struct InsertPlacement {
    std::string_view blockName;
    std::int32_t block = -1; // Drawing::blocks, -1 when the drawing does not define it
    double scaleX = 1, scaleY = 1, scaleZ = 1;
    double rotation = 0; // radians
    int columns = 1, rows = 1;
    double columnSpacing = 0, rowSpacing = 0;
};

struct SplineData {
    std::uint32_t firstKnot = 0, knotCount = 0; // Drawing::knots
    std::uint32_t controlCount = 0; // the entity's first vertices; the fit points follow
    int degree = 3;
};

struct Block {
    std::string_view rawName;
    QString name;
    Vec3 base;
    std::uint32_t first = 0, count = 0; // Drawing::entities
    bool external = false;              // an external reference: its entities are elsewhere
};

struct Layer {
    std::string_view rawName;
    QString name;
    int colour = 7;      // the layer table's colour number; 7 when the table has no entry
    bool shown = true;   // neither off nor frozen
    bool inTable = true; // false for a layer used by entities but missing from the table
};

struct Drawing {
    QByteArray bytes;     // the file itself: every string_view above points into it
    QString version;      // $ACADVER, "AC1009" when the header has none
    int insUnits = 0;     // $INSUNITS: 0 unitless, 4 mm, 5 cm, 6 m, others as the header says
    std::string encoding; // the decoder's name: "UTF-8", "GBK", "windows-1252"...
    enum class EncodingFrom { Header, Texts, Given };
    EncodingFrom encodingFrom =
        EncodingFrom::Header; // guessed from the texts, or given by the user
    QString codepage;         // $DWGCODEPAGE as written, empty when none

    std::vector<Layer> layers;
    std::vector<Block> blocks;
    std::vector<Entity> entities; // each block's together, and model space's together
    std::uint32_t modelFirst = 0, modelCount = 0; // model space's
    std::uint32_t zeroLayer = 0;    // layer "0", whose entities in a block take the insert's
    std::uint64_t expandedSize = 0; // model space's entities with every insert expanded

    std::vector<Vertex> vertices;
    std::vector<std::string_view> chunks; // texts' strings, an MTEXT's in several chunks
    std::vector<TextPlacement> texts;
    std::vector<InsertPlacement> inserts;
    std::vector<SplineData> splines;
    std::vector<double> knots;
    std::vector<Vec3> extrusions; // [0] is +Z

    std::size_t modelSize() const { return modelCount; }
};

struct ReadResult {
    std::optional<Drawing> drawing;
    QString error; // when there is no drawing: why, in the user's words
};

// Beyond this many entities with every block insert expanded, a drawing is refused: arrays of
// nested arrays could otherwise make any walk over it endless.
inline constexpr std::uint64_t kMaxExpandedEntities = 4'000'000;

struct ReadOptions {
    std::string encoding; // the decoder's name to read texts with; empty: the drawing's own
};

ReadResult readDrawing(QByteArray bytes, const ReadOptions &options = {});
ReadResult loadDrawing(const QString &path, const ReadOptions &options = {});

} // namespace dxf
