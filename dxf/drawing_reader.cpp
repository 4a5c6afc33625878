#include "dxf/drawing.h"

#include "dxf/drawing_text.h"
#include "dxf/group_reader.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace dxf {

namespace {

constexpr double kDegrees = std::numbers::pi / 180;

using NameIndex = std::unordered_map<std::string_view, std::uint32_t, FoldedHash, FoldedEqual>;

// The groups of one entity that a site plan needs; the rest are passed over unread.
struct Fields {
    std::string_view handle, layer, text, name;
    Vec3 p10, p11, normal{0, 0, 1};
    bool has11 = false, hasRotation = false;
    double elevation = 0, thickness = 0, d40 = 0, d41 = 0, d42 = 0, d43 = 0, d44 = 0, d45 = 0;
    bool has41 = false, has42 = false, has43 = false;
    double rotation = 0;
    long long flags = 0, i71 = 0, i72 = 0, i73 = 0, i74 = 0;
    bool paper = false, invisible = false;
    std::uint32_t firstChunk = 0;
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
    Other
};

Type typeOf(std::string_view v)
{
    static const std::unordered_map<std::string_view, Type> types = {
        {"LINE", Type::Line},         {"LWPOLYLINE", Type::LwPolyline},
        {"POLYLINE", Type::Polyline}, {"VERTEX", Type::Vertex},
        {"SEQEND", Type::Seqend},     {"CIRCLE", Type::Circle},
        {"POINT", Type::Point},       {"TEXT", Type::Text},
        {"ATTRIB", Type::Attrib},     {"MTEXT", Type::MText},
        {"INSERT", Type::Insert},     {"MINSERT", Type::Insert}};
    const auto it = types.find(v);
    return it == types.end() ? Type::Other : it->second;
}

class Reader {
public:
    Reader(Drawing &d, std::string_view text) : d_(d), in_(text) {}
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
    void place(Entity &e, const Fields &f);
    void finishPolyline(std::vector<Entity> &out);
    std::uint32_t layerIndex(std::string_view raw);
    void checkSize();

    Drawing &d_;
    GroupReader in_;
    Group cur_;
    std::string_view codepage_;
    NameIndex layers_, blocks_;
    bool polylineOpen_ = false; // a POLYLINE's VERTEXes follow, up to its SEQEND
    bool polylineSkipped_ = false;
};

void Reader::advance()
{
    if (!in_.next(cur_))
        throw ReadError{atLine(in_.line(), QStringLiteral("文件不完整：段未结束文件就结束了"))};
}

std::uint32_t Reader::layerIndex(std::string_view raw)
{
    if (raw.empty()) raw = "0";
    const auto [it, added] = layers_.try_emplace(raw, std::uint32_t(d_.layers.size()));
    if (added) d_.layers.push_back(Layer{raw, {}, 7, true, false});
    return it->second;
}

void Reader::read()
{
    bool sawEntities = false;
    // Room for what a file of this size usually holds, so that the arrays seldom move.
    d_.entities.reserve(std::size_t(d_.bytes.size() / 160));
    d_.vertices.reserve(std::size_t(d_.bytes.size() / 80));
    if (!in_.next(cur_)) throw ReadError{QStringLiteral("文件是空的")};
    for (;;) {
        if (at("EOF")) break;
        if (!at("SECTION"))
            throw ReadError{atLine(cur_.line, QStringLiteral("不是 DXF 文件：此处应为 0/SECTION"))};
        advance();
        if (cur_.code != 2)
            throw ReadError{atLine(cur_.line, QStringLiteral("段名（组码 2）缺失"))};
        const std::string_view name = cur_.value;
        advance();
        if (name == "HEADER") {
            readHeader();
        } else if (name == "TABLES") {
            readTables();
        } else if (name == "BLOCKS") {
            readBlocks();
        } else if (name == "ENTITIES") {
            const std::uint32_t first = std::uint32_t(d_.entities.size());
            if (!sawEntities)
                d_.modelFirst = first;
            else if (d_.modelFirst + d_.modelCount != first)
                throw ReadError{
                    atLine(cur_.line, QStringLiteral("块段两边各有一个实体段，图形有误"))};
            sawEntities = true;
            readEntities();
            d_.modelCount += std::uint32_t(d_.entities.size()) - first;
        } else {
            while (!at("ENDSEC")) advance();
        }
        // A file that ends after a whole section, without its EOF, is taken as it is.
        if (!in_.next(cur_)) break;
    }
    if (!sawEntities)
        throw ReadError{QStringLiteral("图中没有实体段（ENTITIES），不是完整的图形文件")};
    d_.zeroLayer = layerIndex("0");
    d_.layers[d_.zeroLayer].inTable = true;
    for (InsertPlacement &insert : d_.inserts) {
        const auto it = blocks_.find(insert.blockName);
        if (it != blocks_.end()) insert.block = std::int32_t(it->second);
    }
    d_.encoding = encodingFor(d_.version, codepage_);
    TextDecoder decode(d_.encoding);
    for (Layer &layer : d_.layers) layer.name = decode(layer.rawName);
    for (Block &block : d_.blocks) block.name = decode(block.rawName);
    checkSize();
}

void Reader::readHeader()
{
    std::string_view variable;
    while (!at("ENDSEC")) {
        if (cur_.code == 9) {
            variable = cur_.value;
        } else if (variable == "$ACADVER" && cur_.code == 1) {
            d_.version = QString::fromLatin1(cur_.value.data(), qsizetype(cur_.value.size()));
        } else if (variable == "$INSUNITS" && cur_.code == 70) {
            d_.insUnits = int(std::clamp(integer(cur_), -1LL, 100LL));
        } else if (variable == "$DWGCODEPAGE" && cur_.code == 3) {
            codepage_ = cur_.value;
        }
        advance();
    }
}

void Reader::readTables()
{
    std::string_view table;
    while (!at("ENDSEC")) {
        if (at("TABLE")) {
            advance();
            table = cur_.code == 2 ? cur_.value : std::string_view();
        } else if (at("LAYER") && table == "LAYER") {
            advance();
            std::string_view name;
            long long colour = 7, flags = 0;
            for (; cur_.code != 0; advance()) {
                if (cur_.code == 2) name = cur_.value;
                if (cur_.code == 62) colour = integer(cur_);
                if (cur_.code == 70) flags = integer(cur_);
            }
            Layer &layer = d_.layers[layerIndex(name)];
            layer.colour = int(std::clamp(std::abs(colour), 0LL, 256LL));
            layer.shown = colour >= 0 && !(flags & 1); // a negative colour: off; flag 1: frozen
            layer.inTable = true;
            continue;
        } else if (at("ENDTAB")) {
            table = {};
        }
        advance();
    }
}

void Reader::readBlocks()
{
    while (!at("ENDSEC")) {
        if (!at("BLOCK")) {
            advance();
            continue;
        }
        Block block;
        for (advance(); cur_.code != 0; advance()) {
            if (cur_.code == 2) block.rawName = cur_.value;
            if (cur_.code == 70) block.external = (integer(cur_) & (4 | 32)) != 0;
            if (cur_.code == 10) block.base.x = number(cur_);
            if (cur_.code == 20) block.base.y = number(cur_);
            if (cur_.code == 30) block.base.z = number(cur_);
        }
        block.first = std::uint32_t(d_.entities.size());
        readEntities();
        block.count = std::uint32_t(d_.entities.size()) - block.first;
        blocks_.try_emplace(block.rawName, std::uint32_t(d_.blocks.size()));
        d_.blocks.push_back(block);
        if (at("ENDBLK"))
            for (advance(); cur_.code != 0;) advance();
    }
}

void Reader::readEntities()
{
    while (!at("ENDSEC") && !at("ENDBLK")) {
        if (cur_.code != 0)
            throw ReadError{atLine(cur_.line, QStringLiteral("此处应为实体的开始（组码 0）"))};
        readEntity(d_.entities);
    }
    finishPolyline(d_.entities);
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

// How many entities a block stands for with its inserts expanded, at most kMaxExpandedEntities
// and one; a block that inserts itself, or nests too deep, makes the drawing unreadable.
class SizeCheck {
public:
    explicit SizeCheck(const Drawing &d) : d_(d), size_(d.blocks.size(), kUnknown) {}

    std::uint64_t of(std::uint32_t first, std::uint32_t count, int depth)
    {
        constexpr int kMaxDepth = 64;
        if (depth > kMaxDepth)
            throw ReadError{QStringLiteral("块参照嵌套超过 %1 层，无法读入").arg(kMaxDepth)};
        std::uint64_t total = 0;
        for (std::uint32_t i = first; i < first + count; ++i) {
            const Entity &e = d_.entities[i];
            total = std::min(total + 1, kCap);
            if (e.kind != EntityKind::Insert) continue;
            const InsertPlacement &insert = d_.inserts[e.extra];
            if (insert.block < 0) continue;
            const std::uint64_t copies = std::uint64_t(insert.columns) * std::uint64_t(insert.rows);
            total = std::min(total + std::min(copies * ofBlock(insert.block, depth), kCap), kCap);
        }
        return total;
    }

private:
    static constexpr std::uint64_t kUnknown = ~std::uint64_t(0) - 1, kVisiting = ~std::uint64_t(0);
    static constexpr std::uint64_t kCap = kMaxExpandedEntities + 1;

    std::uint64_t ofBlock(std::int32_t index, int depth)
    {
        std::uint64_t &size = size_[std::size_t(index)];
        const Block &block = d_.blocks[std::size_t(index)];
        if (size == kVisiting)
            throw ReadError{QStringLiteral("块「%1」插入了它自身，图形有误").arg(block.name)};
        if (size != kUnknown) return size;
        if (block.external) return size = 0;
        size = kVisiting;
        return size = of(block.first, block.count, depth + 1);
    }

    const Drawing &d_;
    std::vector<std::uint64_t> size_;
};

void Reader::checkSize()
{
    d_.expandedSize = SizeCheck(d_).of(d_.modelFirst, d_.modelCount, 0);
    if (d_.expandedSize > kMaxExpandedEntities)
        throw ReadError{
            QStringLiteral("图中块参照展开后的实体超过 %1 个，无法读入").arg(kMaxExpandedEntities)};
}

const QString kSaveAsAscii =
    QStringLiteral("：请在 CAD 程序中另存为 ASCII 格式的 DXF（R12 至 2018 版）");

bool startsWith(const QByteArray &bytes, std::string_view prefix)
{
    return bytes.size() >= qsizetype(prefix.size()) &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

ReadResult readDrawing(QByteArray bytes)
{
    if (startsWith(bytes, "AutoCAD Binary DXF"))
        return {std::nullopt,
                QStringLiteral("这是二进制 DXF 文件，本程序只读 ASCII DXF") + kSaveAsAscii};
    // A DWG file begins with its version, "AC1015" and the like.
    if (startsWith(bytes, "AC") && bytes.size() >= 6 &&
        std::all_of(bytes.begin() + 2, bytes.begin() + 6,
                    [](char c) { return c >= '0' && c <= '9'; }))
        return {std::nullopt, QStringLiteral("这是 DWG 图形文件，不是 DXF") + kSaveAsAscii};
    ReadResult result;
    result.drawing.emplace();
    Drawing &d = *result.drawing;
    d.bytes = std::move(bytes);
    d.version = QStringLiteral("AC1009");
    d.extrusions.push_back({0, 0, 1});
    std::string_view text(d.bytes.constData(), std::size_t(d.bytes.size()));
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    try {
        Reader(d, text).read();
    } catch (const ReadError &e) {
        return {std::nullopt, e.what};
    }
    return result;
}

ReadResult loadDrawing(const QString &path)
{
    // Beyond this a file is no site plan the program could show.
    constexpr qint64 kMaxFileSize = qint64(1) << 30;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("无法打开（%1）").arg(f.errorString())};
    if (f.size() > kMaxFileSize)
        return {std::nullopt, QStringLiteral("文件超过 1 GB，不像是一张总平面图")};
    return readDrawing(f.readAll());
}

} // namespace dxf
