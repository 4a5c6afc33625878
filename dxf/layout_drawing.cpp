#include "dxf/layout_drawing.h"

#include "dxf/drawing_plan.h"
#include "dxf/roof_drawing.h"
#include "roof/protection.h"
#include "roof/roof_report.h"
#include "layouts/drawn_zone.h"
#include "layouts/layout_sheet.h"
#include "layouts/layout_words.h"
#include "sheets/label_placement.h"
#include "sheets/sheet_format.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <set>
#include <tuple>

namespace dxf {

using calc::drawing::Vec2;
using calc::layout::Layout;
using calc::layout::ObjectVerdict;
using lplayout::DrawingPlace;

namespace {

// AutoCAD colour indexes of the layers, each its own, and of the verdicts.
constexpr int kRodsColour = 6;        // magenta
constexpr int kWiresColour = 30;      // orange
constexpr int kObjectsColour = 7;     // white on a dark screen, black on paper
constexpr int kZoneColour = 5;        // blue, as the designer draws the area's edge
constexpr int kSectionColour = 8;     // grey
constexpr int kVerdictsColour = 4;    // cyan
constexpr int kTitleColour = 250;     // dark grey
constexpr int kProtectedColour = 94;  // dark green
constexpr int kUnprotectedColour = 1; // red
constexpr int kUncheckedColour = 8;

// Heights as the drawing's labels write them: at least one decimal, at most three ("30.0",
// "22.5", "12.125").
std::string heightText(double metres)
{
    std::string text = calc::sheet::lengthText(metres);
    const auto point = text.find('.');
    if (point == std::string::npos || text.find('E') != std::string::npos) return text;
    while (text.size() > point + 2 && text.back() == '0') text.pop_back();
    return text;
}

// A point inside the footprint for its name: the middle of the widest stretch of the
// footprint along the line through its corners' mean height on the plan.
Vec2 namePoint(const std::vector<calc::layout::Corner> &footprint)
{
    double y = 0;
    for (const auto &k : footprint) y += k.y / static_cast<double>(footprint.size());
    std::vector<double> crossings;
    for (std::size_t i = 0; i < footprint.size(); ++i) {
        const auto a = footprint[i], b = footprint[(i + 1) % footprint.size()];
        if ((a.y > y) != (b.y > y))
            crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    Vec2 best{footprint[0].x, y};
    double widest = -1;
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
        if (crossings[k + 1] - crossings[k] > widest) {
            widest = crossings[k + 1] - crossings[k];
            best.x = (crossings[k] + crossings[k + 1]) / 2;
        }
    return best;
}

// The heights at which the area is drawn: the ground and each roof, a millimetre apart at
// least.
std::vector<double> zoneHeights(const Layout &layout)
{
    std::vector<double> heights{0};
    for (const auto &o : layout.objects)
        if (o.height > 0) heights.push_back(o.height);
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end(),
                              [](double a, double b) { return b - a < 0.0005; }),
                  heights.end());
    return heights;
}

std::string classText(int hr)
{
    const std::string_view entry = calc::protectionClassEntry(hr);
    return entry.empty() ? "hr=" + calc::sheet::inputText(hr) + "m" : std::string(entry);
}

// The conductors in the layout's order: those of a roof network by `roof`, the rods and the
// other wires here.
void drawConductors(LayoutPlan &plan, const Layout &layout, RoofNetworkDrawing *roof)
{
    const double r = plan.text() * 0.5, gap = plan.text() * 0.4;
    // Ends whose height is written already: wires meeting at a corner say it once there.
    std::set<std::tuple<double, double, double>> written;
    for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
        if (roof && roof->draw(i)) continue;
        const std::string number = std::to_string(i + 1);
        if (const auto *rod = std::get_if<calc::layout::Rod>(&layout.conductors[i])) {
            const double x = rod->x, y = rod->y, h = rod->h;
            plan.circle(kRodsLayer, {x, y, h}, r);
            plan.line(kRodsLayer, {x - r, y, h}, {x + r, y, h});
            plan.line(kRodsLayer, {x, y - r, h}, {x, y + r, h});
            plan.label(kRodsLayer, {x + r + gap, y + gap, h}, number + " h=" + heightText(h) + "m");
            continue;
        }
        const auto &w = std::get<calc::layout::Wire>(layout.conductors[i]);
        plan.line(kWiresLayer, {w.a.x, w.a.y, w.a.z}, {w.b.x, w.b.y, w.b.z});
        // Each end's height beside it, the first with the wire's number as a rod's has.
        plan.label(kWiresLayer, {w.a.x + gap, w.a.y + gap, w.a.z},
                   number + " h=" + heightText(w.a.z) + "m");
        written.insert({w.a.x, w.a.y, w.a.z});
        if (written.insert({w.b.x, w.b.y, w.b.z}).second)
            plan.label(kWiresLayer, {w.b.x + gap, w.b.y + gap, w.b.z},
                       "h=" + heightText(w.b.z) + "m");
    }
}

// Each object coloured by the verdict of the method that protects it (the mesh, its bond or
// the sphere), the sphere's least clearance beside it.
void drawObjects(LayoutPlan &plan, const Layout &layout, const std::vector<ObjectVerdict> &verdicts,
                 const std::vector<calc::roof::ObjectProtection> &protections)
{
    for (std::size_t i = 0; i < layout.objects.size(); ++i) {
        const auto &o = layout.objects[i];
        if (o.footprint.empty()) continue;
        const ObjectVerdict *v = i < verdicts.size() ? &verdicts[i] : nullptr;
        const calc::roof::ObjectProtection *by =
            v && i < protections.size() ? &protections[i] : nullptr;
        const bool isProtected = by ? by->isProtected : v && v->isProtected;
        const int colour = !v            ? kUncheckedColour
                           : isProtected ? kProtectedColour
                                         : kUnprotectedColour;
        std::vector<Vec2> outline;
        double minX = o.footprint[0].x, minY = o.footprint[0].y, maxX = minX, maxY = minY;
        for (const auto &k : o.footprint) {
            outline.push_back({k.x, k.y});
            minX = std::min(minX, k.x);
            minY = std::min(minY, k.y);
            maxX = std::max(maxX, k.x);
            maxY = std::max(maxY, k.y);
        }
        plan.ring(kObjectsLayer, outline, o.height, true, colour);
        plan.keepClear(minX, minY, maxX, maxY);
        // The name inside the outline, where a drawing's reader finds it again.
        const Vec2 name = namePoint(o.footprint);
        plan.fixedText(kObjectsLayer, {name.x, name.y, o.height}, o.name, colour);
        if (!v) continue;
        plan.label(kVerdictsLayer, {minX, minY - plan.text() * 1.6, o.height},
                   o.name + " " + std::string(calc::layout::verdictWord(isProtected)) +
                       (by && by->method != calc::roof::Method::Sphere
                            ? "（" + std::string(calc::roof::methodText(by->method)) + "）"
                            : "") +
                       " " + std::string(calc::layout::kLeastClearanceWord) + " " +
                       calc::sheet::lengthText(v->leastClearance) + " m",
                   colour);
        if (isProtected) continue;
        // Where the sphere comes nearest, marked with a cross as on the designer's plan.
        const double r = plan.text() * 0.4, x = v->where.x, y = v->where.y, z = v->where.z;
        plan.line(kVerdictsLayer, {x - r, y - r, z}, {x + r, y + r, z}, colour);
        plan.line(kVerdictsLayer, {x - r, y + r, z}, {x + r, y - r, z}, colour);
    }
}

// The protected area at the ground and at each roof height; not at the height of roofs that
// pass their mesh check, where the mesh protects and the sphere's dips between its conductors
// would only crowd the plan.
void drawZone(LayoutPlan &plan, const Layout &layout, const calc::rolling_sphere::Layout &engine,
              const std::optional<calc::roof::SiteRoofs> &site)
{
    const auto meshed = [&site](double height) {
        if (!site) return false;
        for (const auto &building : site->buildings)
            for (const auto &roof : building.roofs)
                if (roof.meshPasses && std::abs(roof.height - height) < 0.0005) return true;
        return false;
    };
    for (const double height : zoneHeights(layout)) {
        if (height > 0 && meshed(height)) continue;
        const std::string text = "hx=" + heightText(height) + "m 保护范围";
        for (std::vector<Vec2> ring : calc::layout::drawnZone(layout, engine, height).outline) {
            if (ring.size() < 2) continue;
            const bool closed = ring.size() > 3 && ring.front() == ring.back();
            if (closed) ring.pop_back();
            plan.ring(kZoneLayer, ring, height, closed);
            // Written on the ring at its top.
            const Vec2 top = *std::max_element(ring.begin(), ring.end(),
                                               [](Vec2 a, Vec2 b) { return a.y < b.y; });
            plan.label(kZoneLayer, {top.x, top.y + plan.text() * 0.3, height}, text, kByLayer, 0.8);
        }
    }
}

void drawSection(LayoutPlan &plan, const PlanLine &section)
{
    if (!section) return;
    const auto [a, b] = *section;
    plan.line(kSectionLayer, {a.x, a.y, 0}, {b.x, b.y, 0});
    plan.label(kSectionLayer, {a.x, a.y + plan.text() * 0.4, 0}, "剖面线");
}

// Below the site's lower right corner: what the drawing shows, by which rule, and when.
void drawTitle(LayoutPlan &plan, const Layout &layout, const DrawingPlace &place,
               const std::string &date, bool roofPlan)
{
    const std::vector<std::string> rows{
        std::string(roofPlan ? kRoofPlanTitle : calc::kLayoutSheetName),
        "防雷类别 " + classText(layout.hr),
        "依据 GB 50057-2010 滚球法",
        "图形单位 " + lplayout::unitsName(place.units).toStdString(),
        "日期 " + date,
    };
    const double t = plan.text(), rowHeight = 2 * t;
    // Wide enough for the widest of the CAD programs' fonts.
    double width = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        width =
            std::max(width, LayoutPlan::width(rows[i], t * (i == 0 ? 1.2 : 1)) * 1.25 + 1.2 * t);
    const double right = plan.box().maxX, left = right - width;
    const double top = plan.box().minY - 2 * t;
    const double bottom = top - rowHeight * static_cast<double>(rows.size());
    plan.ring(kTitleLayer, {{left, bottom}, {right, bottom}, {right, top}, {left, top}}, 0, true);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double rowTop = top - rowHeight * static_cast<double>(i);
        if (i > 0) plan.line(kTitleLayer, {left, rowTop, 0}, {right, rowTop, 0});
        plan.fixedLeftText(kTitleLayer, {left + t * 0.6, rowTop - rowHeight + t * 0.6, 0}, rows[i],
                           i == 0 ? 1.2 : 1);
    }
}

} // namespace

QByteArray layoutDrawing(const Layout &layout, const std::vector<ObjectVerdict> &verdicts,
                         const PlanLine &section, const std::optional<DrawingPlace> &place,
                         const std::string &date)
{
    const DrawingPlace where = placeOrMetres(place);
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    // The roof network's checks name each conductor's role and each object's method; a layout
    // they cannot take is drawn as plain rods and wires.
    std::optional<calc::roof::SiteRoofs> site;
    std::vector<calc::roof::ObjectProtection> protections;
    try {
        site = calc::roof::checkRoofs(layout);
        protections = calc::roof::objectProtections(layout, *site, verdicts);
    } catch (const std::exception &) {
        site.reset();
        protections.clear();
    }
    const bool roofPlan = site && hasRoofNetwork(*site);
    // The roof network's layers only in a drawing that has one.
    std::vector<std::pair<std::string_view, int>> layers{{kRodsLayer, kRodsColour},
                                                         {kWiresLayer, kWiresColour}};
    if (roofPlan)
        layers.insert(
            layers.end(),
            {{kTapeLayer, kTapeColour}, {kMeshLayer, kMeshColour}, {kDownLayer, kDownColour}});
    layers.insert(layers.end(), {{kObjectsLayer, kObjectsColour},
                                 {kZoneLayer, kZoneColour},
                                 {kSectionLayer, kSectionColour},
                                 {kVerdictsLayer, kVerdictsColour}});
    if (roofPlan)
        layers.insert(layers.end(), {{kLegendLayer, kLegendColour}, {kNotesLayer, kNotesColour}});
    layers.emplace_back(kTitleLayer, kTitleColour);
    LayoutPlan plan(layout, where, layers);
    drawZone(plan, layout, engine, site);
    drawObjects(plan, layout, verdicts, protections);
    std::optional<RoofNetworkDrawing> roof;
    if (roofPlan) roof.emplace(plan, layout, *site);
    drawConductors(plan, layout, roof ? &*roof : nullptr);
    if (roofPlan) drawRoofLegendAndNotes(plan, layout, *site);
    drawSection(plan, section);
    drawTitle(plan, layout, where, date, roofPlan);
    return plan.finish();
}

bool writeLayoutDrawing(const QString &path, const Layout &layout,
                        const std::vector<ObjectVerdict> &verdicts, const PlanLine &section,
                        const std::optional<DrawingPlace> &place, const std::string &date,
                        QString *error)
{
    QByteArray bytes;
    try {
        bytes = layoutDrawing(layout, verdicts, section, place, date);
    } catch (const std::bad_alloc &) {
        if (error) *error = path + QStringLiteral(": 内存不足，不能写出图纸");
        return false;
    } catch (const std::exception &e) {
        if (error) *error = path + QStringLiteral(": 布置数据不能计算（%1）").arg(e.what());
        return false;
    }
    return lplayout::saveWhole(path, bytes, error);
}

} // namespace dxf
