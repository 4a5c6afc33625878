#pragma once

#include "dxf/drawing.h"
#include "dxf/drawing_hatch.h"
#include "dxf/drawing_text.h"
#include "dxf/group_reader.h"

#include <numbers>
#include <string_view>
#include <unordered_map>
#include <vector>

// The reader of a drawing's file, in two halves: its sections and tables
// (drawing_reader.cpp), its entities (drawing_entities.cpp).
namespace dxf::reading {

inline constexpr double kDegrees = std::numbers::pi / 180;

using NameIndex = std::unordered_map<std::string_view, std::uint32_t, FoldedHash, FoldedEqual>;

// The groups of one entity that a site plan needs; the rest are passed over unread.
struct Fields {
    std::string_view handle, layer, text, name;
    Vec3 p10, p11, normal{0, 0, 1};
    bool has11 = false, hasRotation = false;
    double elevation = 0, thickness = 0, d40 = 0, d41 = 0, d42 = 0, d43 = 0, d44 = 0, d45 = 0;
    bool has41 = false, has42 = false, has43 = false;
    double rotation = 0, d51 = 0;
    long long flags = 0, i71 = 0, i72 = 0, i73 = 0, i74 = 0;
    bool paper = false, invisible = false;
    std::uint32_t firstChunk = 0;
    std::vector<double> knots, weights; // a spline's
    std::vector<Vertex> fit;            // a spline's fit points
    HatchBoundary hatch;
};

enum class Type {
    Line,
    LwPolyline,
    Polyline,
    Vertex,
    Seqend,
    Circle,
    Point,
    Text,
    Attrib,
    MText,
    Insert,
    Arc,
    Hatch,
    Spline,
    Other
};

Type typeOf(std::string_view v);

class Reader {
public:
    Reader(Drawing &d, std::string_view text, const ReadOptions &options)
        : d_(d), in_(text), options_(options)
    {}
    void read();

private:
    void advance();
    bool at(std::string_view value) const { return cur_.code == 0 && cur_.value == value; }
    void readHeader();
    void readTables();
    void readBlocks();
    void readEntities();
    void readEntity(std::vector<Entity> &out);
    void readFields(Type type, Fields &f, std::size_t firstVertex);
    bool splineGroup(Fields &f);
    void addHatch(Entity e, Fields &f, std::vector<Entity> &out);
    void addSpline(Entity e, Fields &f, std::size_t firstVertex, std::vector<Entity> &out);
    void place(Entity &e, const Fields &f);
    void finishPolyline(std::vector<Entity> &out);
    std::uint32_t layerIndex(std::string_view raw);
    void checkSize();
    void chooseEncoding();

    Drawing &d_;
    GroupReader in_;
    const ReadOptions &options_;
    Group cur_;
    std::string_view codepage_;
    NameIndex layers_, blocks_;
    bool polylineOpen_ = false; // a POLYLINE's VERTEXes follow, up to its SEQEND
    bool polylineSkipped_ = false;
};

} // namespace dxf::reading
