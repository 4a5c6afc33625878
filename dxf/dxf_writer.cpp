#include "dxf/dxf_writer.h"

#include <algorithm>
#include <functional>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace dxf {

using lplayout::DrawingPlace;

namespace {

constexpr std::string_view kStyleName = "汉字";

// Tags in the layout CAD programs write: the group code right-aligned in three columns, each
// tag's code and value on lines of their own ending in CR LF.
class Tags {
public:
    void tag(int code, std::string_view value)
    {
        char head[16];
        std::snprintf(head, sizeof head, "%3d\r\n", code);
        out_ += head;
        out_ += value;
        out_ += "\r\n";
    }
    void tag(int code, int value) { tag(code, std::to_string(value)); }
    void real(int code, double value) { tag(code, number(value)); }
    void handle(int code, unsigned value)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%X", value);
        tag(code, text);
    }
    void point(int code, Point3 p)
    {
        real(code, p.x);
        real(code + 10, p.y);
        real(code + 20, p.z);
    }
    void raw(const std::string &tags) { out_ += tags; }
    const std::string &text() const { return out_; }

private:
    std::string out_;
};

int insUnits(DrawingPlace::Units units)
{
    switch (units) {
    case DrawingPlace::Units::Millimetres:
        return 4;
    case DrawingPlace::Units::Centimetres:
        return 5;
    case DrawingPlace::Units::Metres:
        return 6;
    }
    return 0;
}

// Handles are given out in the order the file holds the objects; the seed is the next one.
struct Handles {
    unsigned next = 1;
    unsigned take() { return next++; }
};

void tableHead(Tags &t, std::string_view name, unsigned handle, int count)
{
    t.tag(0, "TABLE");
    t.tag(2, name);
    t.handle(5, handle);
    t.tag(330, "0");
    t.tag(100, "AcDbSymbolTable");
    t.tag(70, count);
}

void recordHead(Tags &t, std::string_view type, std::string_view subclass, unsigned handle,
                unsigned owner, int handleCode = 5)
{
    t.tag(0, type);
    t.handle(handleCode, handle);
    t.handle(330, owner);
    t.tag(100, "AcDbSymbolTableRecord");
    t.tag(100, subclass);
}

void dictionaryHead(Tags &t, unsigned handle, unsigned owner)
{
    t.tag(0, "DICTIONARY");
    t.handle(5, handle);
    if (owner != 0) {
        t.tag(102, "{ACAD_REACTORS");
        t.handle(330, owner);
        t.tag(102, "}");
    }
    t.handle(330, owner);
    t.tag(100, "AcDbDictionary");
    t.tag(281, 1);
}

// A layout (the model or a sheet) on A3 paper, in millimetres, as an empty page setup.
void layout(Tags &t, unsigned handle, unsigned dictionary, std::string_view name, int order,
            unsigned blockRecord)
{
    t.tag(0, "LAYOUT");
    t.handle(5, handle);
    t.tag(102, "{ACAD_REACTORS");
    t.handle(330, dictionary);
    t.tag(102, "}");
    t.handle(330, dictionary);
    t.tag(100, "AcDbPlotSettings");
    t.tag(1, "");
    t.tag(2, "none_device");
    t.tag(4, "ISO_A3_(420.00_x_297.00_MM)");
    t.tag(6, "");
    for (int code : {40, 41, 42, 43}) t.real(code, 7.5);
    t.real(44, 420);
    t.real(45, 297);
    for (int code : {46, 47, 48, 49, 140, 141}) t.real(code, 0);
    t.real(142, 1);
    t.real(143, 1);
    t.tag(70, order == 0 ? 1024 : 0);
    t.tag(72, 1);
    t.tag(73, 0);
    t.tag(74, 5);
    t.tag(7, "");
    t.tag(75, 16);
    t.real(147, 1);
    t.real(148, 0);
    t.real(149, 0);
    t.tag(100, "AcDbLayout");
    t.tag(1, name);
    t.tag(70, 1);
    t.tag(71, order);
    t.real(10, 0);
    t.real(20, 0);
    t.real(11, 420);
    t.real(21, 297);
    t.point(12, {});
    t.point(14, {1e20, 1e20, 1e20});
    t.point(15, {-1e20, -1e20, -1e20});
    t.real(146, 0);
    t.point(13, {});
    t.point(16, {1, 0, 0});
    t.point(17, {0, 1, 0});
    t.tag(76, 1);
    t.handle(330, blockRecord);
}

// A block's beginning, its entities (written by `body`) and its end.
void block(Tags &t, Handles &h, unsigned blockRecord, std::string_view name, bool paper,
           const std::function<void()> &body = {})
{
    for (bool begin : {true, false}) {
        if (!begin && body) body();
        t.tag(0, begin ? "BLOCK" : "ENDBLK");
        t.handle(5, h.take());
        t.handle(330, blockRecord);
        t.tag(100, "AcDbEntity");
        if (paper) t.tag(67, 1);
        t.tag(8, "0");
        if (!begin) {
            t.tag(100, "AcDbBlockEnd");
            break;
        }
        t.tag(100, "AcDbBlockBegin");
        t.tag(2, name);
        t.tag(70, 0);
        t.point(10, {});
        t.tag(3, name);
        t.tag(1, "");
    }
}

std::string lineBody(Point3 a, Point3 b)
{
    Tags t;
    t.tag(100, "AcDbLine");
    t.point(10, a);
    t.point(11, b);
    return t.text();
}

std::string circleBody(Point3 centre, double radius)
{
    Tags t;
    t.tag(100, "AcDbCircle");
    t.point(10, centre);
    t.real(40, radius);
    return t.text();
}

// An entity with the tags common to all, owned by the block record (the model's or a block's).
void entity(Tags &t, Handles &h, unsigned owner, const std::string &type, const std::string &layer,
            int colour, const std::string &body)
{
    t.tag(0, type);
    t.handle(5, h.take());
    t.handle(330, owner);
    t.tag(100, "AcDbEntity");
    t.tag(8, layer);
    if (colour != kByLayer) t.tag(62, colour);
    t.raw(body);
}

} // namespace

std::string number(double value)
{
    char text[400];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr;
    std::string s(text, end);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.push_back('0');
    return s == "-0.0" ? "0.0" : s;
}

std::string textValue(std::string_view text)
{
    const bool controls = text.find("%%") != std::string_view::npos;
    std::string out;
    for (char c : text) {
        if (c == '\n' || c == '\r')
            out += ' ';
        else if (c == '%' && controls)
            out += "%%%"; // one percent sign
        else
            out += c;
    }
    return out;
}

DrawingWriter::DrawingWriter(DrawingPlace::Units units, std::string fontFile)
    : units_(units), fontFile_(std::move(fontFile))
{
    layers_.emplace_back("0", 7);
}

void DrawingWriter::addLayer(std::string name, int colour)
{
    layers_.emplace_back(std::move(name), colour);
}

void DrawingWriter::include(Point3 p)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        finite_ = false;
        return;
    }
    if (empty_) {
        min_ = max_ = p;
        empty_ = false;
        return;
    }
    min_ = {std::min(min_.x, p.x), std::min(min_.y, p.y), std::min(min_.z, p.z)};
    max_ = {std::max(max_.x, p.x), std::max(max_.y, p.y), std::max(max_.z, p.z)};
}

void DrawingWriter::add(std::string type, const std::string &layer, int colour, std::string body)
{
    entities_.push_back({std::move(type), layer, colour, std::move(body)});
}

void DrawingWriter::line(const std::string &layer, Point3 a, Point3 b, int colour)
{
    include(a);
    include(b);
    add("LINE", layer, colour, lineBody(a, b));
}

void DrawingWriter::circle(const std::string &layer, Point3 centre, double radius, int colour)
{
    include({centre.x - radius, centre.y - radius, centre.z});
    include({centre.x + radius, centre.y + radius, centre.z});
    add("CIRCLE", layer, colour, circleBody(centre, radius));
}

void DrawingWriter::defineBlock(std::string name,
                                const std::vector<std::pair<Point3, Point3>> &lines,
                                const std::vector<std::pair<Point3, double>> &circles)
{
    Block block{std::move(name), {}};
    for (const auto &[a, b] : lines)
        block.entities.push_back({"LINE", "0", kByLayer, lineBody(a, b)});
    for (const auto &[c, r] : circles)
        block.entities.push_back({"CIRCLE", "0", kByLayer, circleBody(c, r)});
    blocks_.push_back(std::move(block));
}

void DrawingWriter::insert(const std::string &layer, const std::string &block, Point3 at,
                           double scale, int colour)
{
    include(at);
    Tags t;
    t.tag(100, "AcDbBlockReference");
    t.tag(2, block);
    t.point(10, at);
    for (int code : {41, 42, 43}) t.real(code, scale);
    add("INSERT", layer, colour, t.text());
}

void DrawingWriter::polyline(const std::string &layer, const std::vector<DrawingPoint> &points,
                             double elevation, bool closed, int colour)
{
    Tags t;
    t.tag(100, "AcDbPolyline");
    t.tag(90, static_cast<int>(points.size()));
    t.tag(70, closed ? 1 : 0);
    t.real(38, elevation);
    for (const DrawingPoint &p : points) {
        include({p.x, p.y, elevation});
        t.real(10, p.x);
        t.real(20, p.y);
    }
    add("LWPOLYLINE", layer, colour, t.text());
}

void DrawingWriter::text(const std::string &layer, Point3 at, double height, std::string_view text,
                         TextAlign align, int colour)
{
    include(at);
    Tags t;
    t.tag(100, "AcDbText");
    t.point(10, at);
    t.real(40, height);
    t.tag(1, textValue(text));
    t.tag(7, kStyleName);
    if (align == TextAlign::MiddleCentre) {
        t.tag(72, 1);
        t.point(11, at);
    }
    t.tag(100, "AcDbText");
    if (align == TextAlign::MiddleCentre) t.tag(73, 2);
    add("TEXT", layer, colour, t.text());
}

std::string DrawingWriter::finish() const
{
    if (!finite_) throw std::invalid_argument("a coordinate of the drawing is not a number");
    Handles h;
    // The tables and their records.
    const unsigned vportTable = h.take(), vport = h.take();
    const unsigned ltypeTable = h.take(), byBlock = h.take(), byLayer = h.take(),
                   continuous = h.take();
    const unsigned layerTable = h.take();
    std::vector<unsigned> layers;
    for (std::size_t i = 0; i < layers_.size(); ++i) layers.push_back(h.take());
    const unsigned styleTable = h.take(), standard = h.take(), cjk = h.take();
    const unsigned viewTable = h.take(), ucsTable = h.take(), appTable = h.take(), acad = h.take();
    const unsigned dimTable = h.take(), dimStandard = h.take();
    const unsigned blockTable = h.take(), modelRecord = h.take(), paperRecord = h.take();
    std::vector<unsigned> blockRecords;
    for (std::size_t i = 0; i < blocks_.size(); ++i) blockRecords.push_back(h.take());
    // The objects: the root dictionary, its groups and layouts.
    const unsigned root = h.take(), groups = h.take(), layouts = h.take(), model = h.take(),
                   paper = h.take();

    const Point3 lo = empty_ ? Point3{} : min_, hi = empty_ ? Point3{} : max_;
    const double width = std::max(hi.x - lo.x, 1.0), height = std::max(hi.y - lo.y, 1.0);
    const Point3 centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, 0};

    Tags tables;
    tables.tag(0, "SECTION");
    tables.tag(2, "TABLES");
    tableHead(tables, "VPORT", vportTable, 1);
    recordHead(tables, "VPORT", "AcDbViewportTableRecord", vport, vportTable);
    tables.tag(2, "*Active");
    tables.tag(70, 0);
    tables.real(10, 0);
    tables.real(20, 0);
    tables.real(11, 1);
    tables.real(21, 1);
    tables.real(12, centre.x);
    tables.real(22, centre.y);
    for (int code : {13, 23}) tables.real(code, 0);
    for (int code : {14, 24, 15, 25}) tables.real(code, 1);
    tables.point(16, {0, 0, 1});
    tables.point(17, {});
    // The whole drawing in view, with a margin, on a screen of 4:3.
    tables.real(40, std::max(height, width * 3 / 4) * 1.1);
    tables.real(41, 4.0 / 3.0);
    tables.real(42, 50);
    for (int code : {43, 44, 50, 51}) tables.real(code, 0);
    tables.tag(71, 0);
    tables.tag(72, 1000);
    tables.tag(73, 1);
    tables.tag(74, 3);
    for (int code : {75, 76, 77, 78, 281}) tables.tag(code, 0);
    tables.tag(65, 1);
    tables.real(146, 0);
    tables.tag(0, "ENDTAB");

    tableHead(tables, "LTYPE", ltypeTable, 3);
    for (const auto &[name, handle, description] :
         {std::tuple<std::string_view, unsigned, std::string_view>{"ByBlock", byBlock, ""},
          {"ByLayer", byLayer, ""},
          {"Continuous", continuous, "Solid line"}}) {
        recordHead(tables, "LTYPE", "AcDbLinetypeTableRecord", handle, ltypeTable);
        tables.tag(2, name);
        tables.tag(70, 0);
        tables.tag(3, description);
        tables.tag(72, 65);
        tables.tag(73, 0);
        tables.real(40, 0);
    }
    tables.tag(0, "ENDTAB");

    tableHead(tables, "LAYER", layerTable, static_cast<int>(layers_.size()));
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        recordHead(tables, "LAYER", "AcDbLayerTableRecord", layers[i], layerTable);
        tables.tag(2, layers_[i].first);
        tables.tag(70, 0);
        tables.tag(62, layers_[i].second);
        tables.tag(6, "Continuous");
        tables.tag(370, -3);
    }
    tables.tag(0, "ENDTAB");

    tableHead(tables, "STYLE", styleTable, 2);
    for (const auto &[name, handle, font] :
         {std::tuple<std::string_view, unsigned, std::string_view>{"Standard", standard, "txt"},
          {kStyleName, cjk, fontFile_}}) {
        recordHead(tables, "STYLE", "AcDbTextStyleTableRecord", handle, styleTable);
        tables.tag(2, name);
        tables.tag(70, 0);
        tables.real(40, 0);
        tables.real(41, 1);
        tables.real(50, 0);
        tables.tag(71, 0);
        tables.real(42, 2.5);
        tables.tag(3, font);
        tables.tag(4, "");
    }
    tables.tag(0, "ENDTAB");

    tableHead(tables, "VIEW", viewTable, 0);
    tables.tag(0, "ENDTAB");
    tableHead(tables, "UCS", ucsTable, 0);
    tables.tag(0, "ENDTAB");

    tableHead(tables, "APPID", appTable, 1);
    recordHead(tables, "APPID", "AcDbRegAppTableRecord", acad, appTable);
    tables.tag(2, "ACAD");
    tables.tag(70, 0);
    tables.tag(0, "ENDTAB");

    tableHead(tables, "DIMSTYLE", dimTable, 1);
    tables.tag(100, "AcDbDimStyleTable");
    recordHead(tables, "DIMSTYLE", "AcDbDimStyleTableRecord", dimStandard, dimTable, 105);
    tables.tag(2, "Standard");
    tables.tag(70, 0);
    tables.tag(0, "ENDTAB");

    tableHead(tables, "BLOCK_RECORD", blockTable, static_cast<int>(2 + blocks_.size()));
    std::vector<std::tuple<std::string_view, unsigned, unsigned>> records{
        {"*Model_Space", modelRecord, model}, {"*Paper_Space", paperRecord, paper}};
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        records.emplace_back(blocks_[i].name, blockRecords[i], 0);
    for (const auto &[name, handle, layoutHandle] : records) {
        recordHead(tables, "BLOCK_RECORD", "AcDbBlockTableRecord", handle, blockTable);
        tables.tag(2, name);
        if (layoutHandle != 0) tables.handle(340, layoutHandle); // a block of ours has none
        tables.tag(70, 0);
        tables.tag(280, 1);
        tables.tag(281, 0);
    }
    tables.tag(0, "ENDTAB");
    tables.tag(0, "ENDSEC");

    Tags rest;
    rest.tag(0, "SECTION");
    rest.tag(2, "BLOCKS");
    block(rest, h, modelRecord, "*Model_Space", false);
    block(rest, h, paperRecord, "*Paper_Space", true);
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        block(rest, h, blockRecords[i], blocks_[i].name, false, [&] {
            for (const Entity &e : blocks_[i].entities)
                entity(rest, h, blockRecords[i], e.type, e.layer, e.colour, e.body);
        });
    rest.tag(0, "ENDSEC");

    rest.tag(0, "SECTION");
    rest.tag(2, "ENTITIES");
    for (const Entity &e : entities_)
        entity(rest, h, modelRecord, e.type, e.layer, e.colour, e.body);
    rest.tag(0, "ENDSEC");

    rest.tag(0, "SECTION");
    rest.tag(2, "OBJECTS");
    dictionaryHead(rest, root, 0);
    rest.tag(3, "ACAD_GROUP");
    rest.handle(350, groups);
    rest.tag(3, "ACAD_LAYOUT");
    rest.handle(350, layouts);
    dictionaryHead(rest, groups, root);
    dictionaryHead(rest, layouts, root);
    rest.tag(3, "Model");
    rest.handle(350, model);
    rest.tag(3, "Layout1");
    rest.handle(350, paper);
    layout(rest, model, layouts, "Model", 0, modelRecord);
    layout(rest, paper, layouts, "Layout1", 1, paperRecord);
    rest.tag(0, "ENDSEC");
    rest.tag(0, "EOF");

    // The header goes first but is written last, when the handle seed is known.
    Tags head;
    head.tag(0, "SECTION");
    head.tag(2, "HEADER");
    const auto variable = [&head](std::string_view name) { head.tag(9, name); };
    variable("$ACADVER");
    head.tag(1, "AC1021");
    // Texts are UTF-8 from 2007 on; the code page is the one a Chinese drawing carries when
    // it is saved down to an older version.
    variable("$DWGCODEPAGE");
    head.tag(3, "ANSI_936");
    variable("$INSBASE");
    head.point(10, {});
    variable("$EXTMIN");
    head.point(10, lo);
    variable("$EXTMAX");
    head.point(10, hi);
    variable("$LIMMIN");
    head.real(10, lo.x);
    head.real(20, lo.y);
    variable("$LIMMAX");
    head.real(10, hi.x);
    head.real(20, hi.y);
    variable("$TEXTSTYLE");
    head.tag(7, kStyleName);
    variable("$CLAYER");
    head.tag(8, "0");
    variable("$LUNITS");
    head.tag(70, 2);
    variable("$LUPREC");
    head.tag(70, 3);
    variable("$HANDSEED");
    head.handle(5, h.next);
    variable("$MEASUREMENT");
    head.tag(70, 1);
    variable("$INSUNITS");
    head.tag(70, insUnits(units_));
    head.tag(0, "ENDSEC");

    // No application classes are used beyond the layouts.
    head.tag(0, "SECTION");
    head.tag(2, "CLASSES");
    head.tag(0, "CLASS");
    head.tag(1, "LAYOUT");
    head.tag(2, "AcDbLayout");
    head.tag(3, "ObjectDBX Classes");
    head.tag(90, 0);
    head.tag(91, 2);
    head.tag(280, 0);
    head.tag(281, 0);
    head.tag(0, "ENDSEC");
    return head.text() + tables.text() + rest.text();
}

} // namespace dxf
