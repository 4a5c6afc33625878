#include "layouts/layout_sheet.h"

#include "layouts/layout_words.h"
#include "layouts/layout_zone.h"
#include "layouts/strikes_sheet.h"
#include "calc/numeric.h"
#include "sheets/sheet_format.h"
#include "sheets/sheet_parts.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace calc {

using namespace sheet;
using namespace sheet::parts;
using layout::Layout;
using layout::ObjectVerdict;

namespace {

constexpr std::size_t kMostSections = 3;

std::string pointText(rolling_sphere::Point p)
{
    return "(" + lengthText(p.x) + ", " + lengthText(p.y) + ", " + lengthText(p.z) + ")";
}

std::string cornerText(double x, double y)
{
    return "(" + inputText(x) + ", " + inputText(y) + ")";
}

std::string endText(rolling_sphere::Point p)
{
    return "(" + inputText(p.x) + ", " + inputText(p.y) + ", " + inputText(p.z) + ")";
}

double conductorTop(const layout::Conductor &c)
{
    if (const auto *rod = std::get_if<layout::Rod>(&c)) return rod->h;
    const auto &w = std::get<layout::Wire>(c);
    return std::max(w.a.z, w.b.z);
}

Table conductorTable(const Layout &layout)
{
    Table table{{"编号", "类型", "位置 / m", "高度 / m"}, {}};
    for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
        const auto &c = layout.conductors[i];
        const std::string number = std::to_string(i + 1);
        if (const auto *rod = std::get_if<layout::Rod>(&c)) {
            table.rows.push_back({number, "避雷针", cornerText(rod->x, rod->y), inputText(rod->h)});
        } else {
            const auto &w = std::get<layout::Wire>(c);
            table.rows.push_back({number, "避雷线（接闪线、带）",
                                  endText(w.a) + " – " + endText(w.b),
                                  inputText(w.a.z) + " / " + inputText(w.b.z)});
        }
    }
    return table;
}

Table objectTable(const Layout &layout)
{
    Table table{{"名称", "平面轮廓角点 (x, y) / m", "高度 / m"}, {}};
    for (const auto &o : layout.objects) {
        std::string corners;
        for (const auto &k : o.footprint)
            corners += (corners.empty() ? "" : " ") + cornerText(k.x, k.y);
        table.rows.push_back({o.name, corners, inputText(o.height)});
    }
    return table;
}

Table verdictTable(const Layout &layout, const std::vector<ObjectVerdict> &verdicts)
{
    Table table{{"被保护物", "结论", std::string(layout::kLeastClearanceWord) + " / m",
                 "出现位置 (x, y, z) / m"},
                {}};
    for (std::size_t i = 0; i < layout.objects.size() && i < verdicts.size(); ++i) {
        const ObjectVerdict &v = verdicts[i];
        table.rows.push_back({layout.objects[i].name,
                              std::string(layout::verdictWord(v.isProtected)),
                              lengthText(v.leastClearance), pointText(v.where)});
    }
    return table;
}

void addOutline(drawing::View &view, const layout::PlanZone &zone)
{
    for (const auto &polygon : zone.fill)
        view.paths.push_back(Path{polygon, Ink::ZoneFill, true, true});
    for (const auto &line : zone.outline) view.paths.push_back(Path{line, Ink::Arc});
}

drawing::View plan(const Layout &layout, const std::vector<ObjectVerdict> &verdicts,
                   const rolling_sphere::Layout &engine, double height)
{
    drawing::View view;
    view.title = "平面图：高度 " + lengthText(height) +
                 " m 处的保护范围（hr = " + inputText(layout.hr) + " m）";
    const layout::PlanBox box = layout::planBox(layout);
    const double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
    addOutline(view, layout::planZone(engine, box, height, size / 60));
    for (std::size_t i = 0; i < layout.objects.size(); ++i) {
        const auto &o = layout.objects[i];
        const bool ok = i < verdicts.size() && verdicts[i].isProtected;
        Path outline{{}, ok ? Ink::Object : Ink::ObjectOutside, true};
        double cx = 0, cy = 0;
        for (const auto &k : o.footprint) {
            outline.points.push_back({k.x, k.y});
            cx += k.x / static_cast<double>(o.footprint.size());
            cy += k.y / static_cast<double>(o.footprint.size());
        }
        view.paths.push_back(std::move(outline));
        view.labels.push_back(
            {{cx, cy}, o.name, ok ? Ink::Object : Ink::ObjectOutside, Side::Centre});
        if (i < verdicts.size() && !ok)
            view.markers.push_back(
                {{verdicts[i].where.x, verdicts[i].where.y}, Ink::ObjectOutside});
    }
    for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
        const auto &c = layout.conductors[i];
        const std::string number = std::to_string(i + 1);
        if (const auto *rod = std::get_if<layout::Rod>(&c)) {
            view.markers.push_back({{rod->x, rod->y}, Ink::Rod});
            view.labels.push_back({{rod->x, rod->y},
                                   number + "（h = " + inputText(rod->h) + " m）",
                                   Ink::Rod,
                                   Side::AboveRight});
        } else {
            const auto &w = std::get<layout::Wire>(c);
            view.paths.push_back(Path{{{w.a.x, w.a.y}, {w.b.x, w.b.y}}, Ink::Rod});
            view.labels.push_back(
                {{(w.a.x + w.b.x) / 2, (w.a.y + w.b.y) / 2}, number, Ink::Rod, Side::AboveRight});
        }
    }
    view.bounds = drawing::boundsOf(view);
    return view;
}

} // namespace

drawing::View layoutSection(const Layout &layout, const std::vector<ObjectVerdict> &verdicts,
                            const rolling_sphere::Layout &engine, Vec2 a, Vec2 b, std::string title)
{
    drawing::View view;
    view.title = std::move(title);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (!(length > 1e-6)) {
        view.bounds = drawing::boundsOf(view);
        return view;
    }
    const Vec2 u{(b.x - a.x) / length, (b.y - a.y) / length};
    const auto along = [&](double x, double y) { return (x - a.x) * u.x + (y - a.y) * u.y; };
    const auto across = [&](double x, double y) { return -(x - a.x) * u.y + (y - a.y) * u.x; };
    double top = 1;
    for (const auto &c : layout.conductors) top = std::max(top, conductorTop(c));
    const std::vector<Vec2> profile = layout::zoneProfile(engine, a, b, top, 240);
    Path zone{profile, Ink::ZoneFill, true, true};
    zone.points.push_back({length, 0});
    zone.points.push_back({0, 0});
    view.paths.push_back(std::move(zone));
    view.paths.push_back(Path{profile, Ink::Arc});
    addGround(view, 0, length);
    constexpr double kNear = 0.5; // a conductor this close to the line is drawn in it
    for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
        const auto &c = layout.conductors[i];
        if (const auto *rod = std::get_if<layout::Rod>(&c)) {
            const double s = along(rod->x, rod->y);
            if (std::abs(across(rod->x, rod->y)) > kNear || s < 0 || s > length) continue;
            view.paths.push_back(Path{{{s, 0}, {s, rod->h}}, Ink::Rod});
            view.labels.push_back({{s, rod->h}, std::to_string(i + 1), Ink::Rod, Side::Above});
        } else {
            const auto &w = std::get<layout::Wire>(c);
            const double da = across(w.a.x, w.a.y), db = across(w.b.x, w.b.y);
            if (std::abs(da) <= kNear && std::abs(db) <= kNear) {
                view.paths.push_back(
                    Path{{{along(w.a.x, w.a.y), w.a.z}, {along(w.b.x, w.b.y), w.b.z}}, Ink::Rod});
                continue;
            }
            if ((da > 0) == (db > 0)) continue;
            // Where the wire passes through the section's plane.
            const double t = da / (da - db);
            const double s = along(w.a.x + t * (w.b.x - w.a.x), w.a.y + t * (w.b.y - w.a.y));
            if (s < 0 || s > length) continue;
            view.markers.push_back({{s, w.a.z + t * (w.b.z - w.a.z)}, Ink::Rod});
        }
    }
    for (std::size_t i = 0; i < layout.objects.size(); ++i) {
        const auto &o = layout.objects[i];
        // A section along one of its walls cuts it a hair inside, so that it shows.
        double cx = 0, cy = 0;
        for (const auto &k : o.footprint) {
            cx += k.x / static_cast<double>(o.footprint.size());
            cy += k.y / static_cast<double>(o.footprint.size());
        }
        const double shift = across(cx, cy) > 0 ? 1e-6 : -1e-6;
        std::vector<double> cuts;
        for (std::size_t k = 0; k < o.footprint.size(); ++k) {
            const auto p = o.footprint[k], q = o.footprint[(k + 1) % o.footprint.size()];
            const double dp = across(p.x, p.y) - shift, dq = across(q.x, q.y) - shift;
            if ((dp > 0) == (dq > 0)) continue;
            const double t = dp / (dp - dq);
            cuts.push_back(along(p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)));
        }
        std::sort(cuts.begin(), cuts.end());
        const Ink ink =
            i < verdicts.size() && verdicts[i].isProtected ? Ink::Object : Ink::ObjectOutside;
        bool labelled = false;
        for (std::size_t k = 0; k + 1 < cuts.size(); k += 2) {
            const double s0 = std::max(cuts[k], 0.0), s1 = std::min(cuts[k + 1], length);
            if (s0 >= s1) continue;
            view.paths.push_back(Path{{{s0, 0}, {s0, o.height}, {s1, o.height}, {s1, 0}}, ink});
            if (!labelled)
                view.labels.push_back({{(s0 + s1) / 2, o.height}, o.name, ink, Side::Above});
            labelled = true;
        }
    }
    view.bounds = drawing::boundsOf(view);
    return view;
}

namespace {

void fill(Sheet &sheet, const Layout &layout, const std::vector<ObjectVerdict> &verdicts,
          double planHeight, const rolling_sphere::Layout &engine)
{
    sheet.sections.push_back(
        {std::string(kBasisHeading),
         {Paragraph{std::string(kRollingSphereBasis) +
                    "接闪器（避雷针、避雷线、接闪带）按其实际空间位置计入：半径 hr 的球体从远处"
                    "滚来，沿地面和各接闪器滚动，球体触及不到的空间受保护。每个被保护物按其全部"
                    "表面（屋面、外墙及其棱边）计算滚球的最小余量（到最近可达球心的距离减 hr），"
                    "余量不小于 0（精确到 1 mm）为受保护。"}}});

    std::vector<Block> input;
    input.push_back(std::vector<Entry>{{"防雷类别", std::string(protectionClassEntry(layout.hr))},
                                       {"滚球半径 hr", inputText(layout.hr) + " m"},
                                       {"平面图所取高度", metres(planHeight)}});
    input.push_back(Paragraph{"接闪器（" + std::to_string(layout.conductors.size()) + " 个）："});
    input.push_back(conductorTable(layout));
    input.push_back(Paragraph{"被保护物（" + std::to_string(layout.objects.size()) + " 个）："});
    input.push_back(objectTable(layout));
    sheet.sections.push_back({std::string(kInputHeading), std::move(input)});

    sheet.sections.push_back({std::string(kResultHeading), {verdictTable(layout, verdicts)}});
    sheet.sections.push_back({std::string(kCrossCheckHeading), layoutCrossCheck(layout, engine)});

    std::string unprotected;
    for (std::size_t i = 0; i < layout.objects.size() && i < verdicts.size(); ++i)
        if (!verdicts[i].isProtected)
            unprotected += (unprotected.empty() ? "" : "、") + layout.objects[i].name;
    std::string conclusion;
    if (layout.objects.empty())
        conclusion = "布置中没有被保护物。";
    else if (unprotected.empty())
        conclusion =
            "全部 " + std::to_string(layout.objects.size()) + " 个被保护物均处于保护范围之内。";
    else
        conclusion = "下列被保护物有部分处于保护范围之外，应调整接闪器布置：" + unprotected + "。";
    sheet.sections.push_back({std::string(kConclusionHeading), {Paragraph{conclusion}}});
    addStrikeSections(sheet, layout, layout::layoutStrikes(layout));

    sheet.drawing.views.push_back(plan(layout, verdicts, engine, planHeight));
    const layout::PlanBox box = layout::planBox(layout);
    for (std::size_t i = 0; i < layout.objects.size() && i < verdicts.size() && i < kMostSections;
         ++i) {
        const double y = verdicts[i].where.y;
        sheet.drawing.views.push_back(
            layoutSection(layout, verdicts, engine, {box.minX, y}, {box.maxX, y},
                          "剖面 " + std::to_string(i + 1) + "：y = " + lengthText(y) + " m（经" +
                              layout.objects[i].name + "的最小余量点）"));
    }
}

} // namespace

std::vector<Block> layoutCrossCheck(const Layout &layout, const rolling_sphere::Layout &engine)
{
    const auto check = layout::closedFormCheck(layout, engine);
    if (!check)
        return {Paragraph{"本布置不是可构成联合保护的两支避雷针，也不是矩形布置的四支等高避雷针，"
                          "附录D的闭合公式不适用；保护范围以滚球法的精确几何为准。"}};
    std::vector<Block> blocks;
    const bool two = check->kind == layout::ClosedFormKind::TwoRods;
    blocks.push_back(Paragraph{
        two ? "两支避雷针：按附录D两针间保护范围的公式，与滚球法精确几何在同一位置量得的值对照；"
              "D1 = " +
                  metres(check->distance) + "（第1支针到保护范围最低处的距离）。"
            : "四支等高避雷针布置成矩形：按附录D四针保护范围的公式（D3 为矩形对角线，D3 = " +
                  metres(check->distance) +
                  "），与滚球法精确几何量得的矩形内保护范围最低高度对照。"});
    Table table{{"量", "闭合公式 / m", "滚球法精确几何 / m", "对照"}, {}};
    for (const auto &v : check->values)
        table.rows.push_back({std::string(v.name), lengthText(v.closedForm), lengthText(v.engine),
                              v.agrees ? "一致" : "不一致"});
    blocks.push_back(std::move(table));
    if (check->agrees()) {
        blocks.push_back(Paragraph{"两者在 1 mm 以内一致，闭合公式在此适用。"});
    } else {
        bool unsafe = false;
        for (const auto &v : check->values)
            if (!v.agrees && v.closedForm > v.engine) unsafe = true;
        blocks.push_back(Paragraph{
            unsafe
                ? "闭合公式不适用/偏不安全：闭合公式给出的值大于精确几何的值（例如窄长的四针矩形，"
                  "长边中部的保护范围低于矩形中心），应以滚球法精确几何为准。"
                : "闭合公式不适用：两者不一致，应以滚球法精确几何为准。"});
    }
    return blocks;
}

std::string_view protectionClassEntry(int hr)
{
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(kProtectionClassEntries.size()); ++i)
        if (rollingSphereRadius(i) == hr)
            return kProtectionClassEntries[static_cast<std::size_t>(i)];
    return {};
}

Sheet layoutSheet(const Layout &layout, const std::vector<ObjectVerdict> &verdicts,
                  double planHeight, std::string date)
{
    Sheet sheet = newSheet(kLayoutSheetName, std::move(date));
    try {
        if (!layout::isSphereRadius(layout.hr)) throw std::invalid_argument("hr");
        const rolling_sphere::Layout engine = layout::prepareEngine(layout);
        fill(sheet, layout, verdicts, std::isfinite(planHeight) ? planHeight : 0, engine);
    } catch (const std::exception &) {
        sheet.sections.clear();
        setError(sheet, "布置数据不能计算（滚球半径须为 30、45 或 60 m，各接闪器须在地面以上）。",
                 "布置数据不能计算，没有保护范围图。");
    }
    return sheet;
}

Sheet layoutSheet(const Layout &layout, double planHeight, std::string date)
{
    std::vector<ObjectVerdict> verdicts;
    try {
        verdicts = layout::checkObjects(layout);
    } catch (const std::exception &) {
        verdicts.clear();
    }
    return layoutSheet(layout, verdicts, planHeight, std::move(date));
}

} // namespace calc
