#include "dxf/drawing_reader.h"

#include <algorithm>
#include <cmath>

namespace dxf::reading {

Type typeOf(std::string_view v)
{
    static const std::unordered_map<std::string_view, Type> types = {
        {"LINE", Type::Line},         {"LWPOLYLINE", Type::LwPolyline},
        {"POLYLINE", Type::Polyline}, {"VERTEX", Type::Vertex},
        {"SEQEND", Type::Seqend},     {"CIRCLE", Type::Circle},
        {"POINT", Type::Point},       {"TEXT", Type::Text},
        {"ATTRIB", Type::Attrib},     {"MTEXT", Type::MText},
        {"INSERT", Type::Insert},     {"MINSERT", Type::Insert},
        {"ARC", Type::Arc},           {"HATCH", Type::Hatch},
        {"SPLINE", Type::Spline}};
    const auto it = types.find(v);
    return it == types.end() ? Type::Other : it->second;
}

void Reader::readFields(Type type, Fields &f, std::size_t firstVertex)
{
    f.firstChunk = std::uint32_t(d_.chunks.size());
    for (advance(); cur_.code != 0; advance()) {
        const int code = cur_.code;
        if (type == Type::LwPolyline && (code == 10 || code == 20 || code == 42)) {
            // Each corner starts with its x; a y or bulge before any x is stray and ignored.
            if (code == 10)
                d_.vertices.push_back({number(cur_), 0, 0, 0});
            else if (d_.vertices.size() > firstVertex && code == 20)
                d_.vertices.back().y = number(cur_);
            else if (d_.vertices.size() > firstVertex)
                d_.vertices.back().bulge = number(cur_);
            continue;
        }
        if (type == Type::Hatch && f.hatch.take(cur_)) continue;
        if (type == Type::Spline && splineGroup(f)) continue;
        switch (code) {
        case 1:
            f.text = cur_.value;
            break;
        case 2:
            f.name = cur_.value;
            break;
        case 3:
            d_.chunks.push_back(cur_.value);
            break;
        case 5:
            f.handle = cur_.value;
            break;
        case 8:
            f.layer = cur_.value;
            break;
        case 10:
            f.p10.x = number(cur_);
            break;
        case 20:
            f.p10.y = number(cur_);
            break;
        case 30:
            f.p10.z = number(cur_);
            break;
        case 11:
            f.p11.x = number(cur_), f.has11 = true;
            break;
        case 21:
            f.p11.y = number(cur_);
            break;
        case 31:
            f.p11.z = number(cur_);
            break;
        case 38:
            f.elevation = number(cur_);
            break;
        case 39:
            f.thickness = number(cur_);
            break;
        case 40:
            f.d40 = number(cur_);
            break;
        case 41:
            f.d41 = number(cur_), f.has41 = true;
            break;
        case 42:
            f.d42 = number(cur_), f.has42 = true;
            break;
        case 43:
            f.d43 = number(cur_), f.has43 = true;
            break;
        case 44:
            f.d44 = number(cur_);
            break;
        case 45:
            f.d45 = number(cur_);
            break;
        case 50:
            f.rotation = number(cur_), f.hasRotation = true;
            break;
        case 51:
            f.d51 = number(cur_);
            break;
        case 60:
            f.invisible = integer(cur_) == 1;
            break;
        case 67:
            f.paper = integer(cur_) == 1;
            break;
        case 70:
            f.flags = integer(cur_);
            break;
        case 71:
            f.i71 = integer(cur_);
            break;
        case 72:
            f.i72 = integer(cur_);
            break;
        case 73:
            f.i73 = integer(cur_);
            break;
        case 74:
            f.i74 = integer(cur_);
            break;
        case 210:
            f.normal.x = number(cur_);
            break;
        case 220:
            f.normal.y = number(cur_);
            break;
        case 230:
            f.normal.z = number(cur_);
            break;
        case 101: // an embedded object (an attribute's MTEXT) repeats codes of its own: left out
            while (cur_.code != 0) advance();
            return;
        default:
            break;
        }
    }
}

void Reader::place(Entity &e, const Fields &f)
{
    e.layer = layerIndex(f.layer);
    e.handle = f.handle;
    e.thickness = f.thickness;
    const double n = std::hypot(f.normal.x, f.normal.y, f.normal.z);
    const bool upright = f.normal.x == 0 && f.normal.y == 0 && f.normal.z > 0;
    if (!upright && n > 0 && std::isfinite(n)) {
        e.extrusion = std::uint32_t(d_.extrusions.size());
        d_.extrusions.push_back({f.normal.x / n, f.normal.y / n, f.normal.z / n});
    }
}

void Reader::finishPolyline(std::vector<Entity> &out)
{
    if (!polylineOpen_) return;
    polylineOpen_ = false;
    if (polylineSkipped_) return;
    Entity &e = out.back();
    e.count = std::uint32_t(d_.vertices.size() - e.first);
    if (!(e.flags & flags::kThreeD))
        for (std::uint32_t i = e.first; i < e.first + e.count; ++i) d_.vertices[i].z = e.size;
    e.size = 0;
    if (e.count < 2) {
        d_.vertices.resize(e.first);
        out.pop_back();
    }
}

void Reader::readEntity(std::vector<Entity> &out)
{
    const Type type = typeOf(cur_.value);
    const std::uint32_t line = cur_.line;
    if (type != Type::Vertex) finishPolyline(out);
    Fields f;
    const std::size_t firstVertex = d_.vertices.size();
    readFields(type, f, firstVertex);
    if (type == Type::Other || type == Type::Seqend) return;
    if (type == Type::Vertex) {
        // A spline's frame (16) is no corner of the curve drawn.
        if (polylineOpen_ && !polylineSkipped_ && !(f.flags & 16))
            d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, f.d42});
        return;
    }
    // Meshes (POLYLINE flags 16, 64) are no outlines, and nothing in paper space is the site's.
    const bool dropped = f.paper || f.invisible || (type == Type::Attrib && (f.flags & 1)) ||
                         (type == Type::Polyline && (f.flags & (16 | 64)));
    if (type == Type::Polyline) {
        polylineOpen_ = true;
        polylineSkipped_ = dropped;
    }
    if (dropped) {
        d_.vertices.resize(firstVertex);
        d_.chunks.resize(f.firstChunk);
        return;
    }
    Entity e;
    e.line = line;
    place(e, f);
    e.first = std::uint32_t(d_.vertices.size());
    e.count = 1;
    const auto text = [&](EntityKind kind, double rotation) {
        if (!f.text.empty()) d_.chunks.push_back(f.text);
        e.kind = kind;
        e.size = f.d40;
        e.extra = std::uint32_t(d_.texts.size());
        d_.texts.push_back({f.firstChunk, std::uint32_t(d_.chunks.size() - f.firstChunk), rotation,
                            std::clamp(f.d44 > 0 ? f.d44 : 1, 0.25, 4.0),
                            int(std::clamp(f.i71, 1LL, 9LL))});
    };
    switch (type) {
    case Type::Line:
        e.kind = EntityKind::Line;
        d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, 0});
        d_.vertices.push_back({f.p11.x, f.p11.y, f.p11.z, 0});
        e.count = 2;
        break;
    case Type::LwPolyline:
        e.kind = EntityKind::Polyline;
        e.first = std::uint32_t(firstVertex);
        e.count = std::uint32_t(d_.vertices.size() - firstVertex);
        e.flags = (f.flags & 1) ? flags::kClosed : 0;
        for (std::size_t i = firstVertex; i < d_.vertices.size(); ++i)
            d_.vertices[i].z = f.elevation;
        if (e.count < 2) {
            d_.vertices.resize(firstVertex);
            return;
        }
        break;
    case Type::Polyline:
        e.kind = EntityKind::Polyline;
        e.flags = std::uint8_t(((f.flags & 1) ? flags::kClosed : 0) |
                               ((f.flags & 8) ? flags::kThreeD : 0));
        e.size = f.p10.z; // the elevation, until its corners are in
        e.count = 0;
        break;
    case Type::Circle:
        if (!(f.d40 > 0)) return;
        e.kind = EntityKind::Circle;
        e.size = f.d40;
        d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, 0});
        break;
    case Type::Point:
        e.kind = EntityKind::Point;
        d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, 0});
        break;
    case Type::Text:
    case Type::Attrib: {
        const bool aligned = f.i72 != 0 || (type == Type::Text ? f.i73 : f.i74) != 0;
        const Vec3 p = aligned && f.has11 ? f.p11 : f.p10;
        d_.vertices.push_back({p.x, p.y, p.z, 0});
        text(EntityKind::Text, f.rotation * kDegrees);
        break;
    }
    case Type::MText:
        d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, 0});
        e.flags = flags::kWorldPos;
        text(EntityKind::MText, f.has11 && (f.p11.x != 0 || f.p11.y != 0)
                                    ? std::atan2(f.p11.y, f.p11.x)
                                    : f.rotation * kDegrees);
        break;
    case Type::Arc:
        if (!(f.d40 > 0)) return;
        e.kind = EntityKind::Arc;
        e.size = f.d40;
        e.count = 2;
        d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, 0});
        d_.vertices.push_back({f.rotation * kDegrees, f.d51 * kDegrees, 0, 0});
        break;
    case Type::Hatch:
        addHatch(e, f, out);
        return;
    case Type::Spline:
        addSpline(e, f, firstVertex, out);
        return;
    case Type::Insert:
        e.kind = EntityKind::Insert;
        d_.vertices.push_back({f.p10.x, f.p10.y, f.p10.z, 0});
        e.extra = std::uint32_t(d_.inserts.size());
        d_.inserts.push_back({f.name, -1, f.has41 ? f.d41 : 1, f.has42 ? f.d42 : 1,
                              f.has43 ? f.d43 : 1, f.rotation * kDegrees,
                              int(std::clamp(f.flags, 1LL, 32767LL)),
                              int(std::clamp(f.i71, 1LL, 32767LL)), f.d44, f.d45});
        break;
    default:
        return;
    }
    if (e.count == 0 && e.kind != EntityKind::Polyline) return;
    out.push_back(e);
}

// A spline's control points (10), fit points (11), knots (40) and weights (41), each group
// repeated.
bool Reader::splineGroup(Fields &f)
{
    switch (cur_.code) {
    case 10:
        d_.vertices.push_back({number(cur_), 0, 0, 0});
        return true;
    case 20:
    case 30:
        if (d_.vertices.empty()) return true;
        (cur_.code == 20 ? d_.vertices.back().y : d_.vertices.back().z) = number(cur_);
        return true;
    case 11:
        f.fit.push_back({number(cur_), 0, 0, 0});
        return true;
    case 21:
    case 31:
        if (f.fit.empty()) return true;
        (cur_.code == 21 ? f.fit.back().y : f.fit.back().z) = number(cur_);
        return true;
    case 40:
        f.knots.push_back(number(cur_));
        return true;
    case 41:
        f.weights.push_back(number(cur_));
        return true;
    default:
        return false;
    }
}

// Each boundary path of a hatch is an entity of its own, a closed polyline at the hatch's
// elevation.
void Reader::addHatch(Entity e, Fields &f, std::vector<Entity> &out)
{
    e.kind = EntityKind::Hatch;
    e.flags = flags::kClosed;
    std::uint32_t path = 0;
    for (std::vector<Vertex> &corners : f.hatch.paths()) {
        if (corners.size() < 2) continue;
        e.first = std::uint32_t(d_.vertices.size());
        e.count = std::uint32_t(corners.size());
        e.extra = path++;
        for (Vertex &v : corners) {
            v.z = f.p10.z;
            d_.vertices.push_back(v);
        }
        out.push_back(e);
    }
}

void Reader::addSpline(Entity e, Fields &f, std::size_t firstVertex, std::vector<Entity> &out)
{
    const std::size_t controls = d_.vertices.size() - firstVertex;
    if (controls + f.fit.size() < 2) {
        d_.vertices.resize(firstVertex);
        return;
    }
    for (std::size_t i = 0; i < controls && i < f.weights.size(); ++i)
        d_.vertices[firstVertex + i].bulge = f.weights[i];
    d_.vertices.insert(d_.vertices.end(), f.fit.begin(), f.fit.end());
    e.kind = EntityKind::Spline;
    // Closed (1) or periodic (2): its last point meets its first.
    e.flags = (f.flags & 3) ? flags::kClosed : 0;
    e.first = std::uint32_t(firstVertex);
    e.count = std::uint32_t(d_.vertices.size() - firstVertex);
    e.extra = std::uint32_t(d_.splines.size());
    d_.splines.push_back({std::uint32_t(d_.knots.size()), std::uint32_t(f.knots.size()),
                          std::uint32_t(controls), int(std::clamp(f.i71, 1LL, 11LL))});
    d_.knots.insert(d_.knots.end(), f.knots.begin(), f.knots.end());
    out.push_back(e);
}

} // namespace dxf::reading
