#include "roof/roof_sheet.h"

#include "layouts/layout_sheet.h"
#include "roof/roof_report.h"
#include "sheets/sheet_format.h"

#include <cmath>
#include <exception>
#include <string>
#include <variant>

namespace calc::roof {

namespace {

using drawing::Ink;
using drawing::Path;
using drawing::Side;
using drawing::Vec2;

Vec2 vec(const Corner &c) { return {c.x, c.y}; }

Path ringPath(const Ring &ring, Ink ink, bool dashed = false)
{
    Path path{{}, ink, true};
    path.dashed = dashed;
    for (const Corner &c : ring) path.points.push_back(vec(c));
    return path;
}

// The point halfway along a polyline, where its length is written.
Vec2 middleOf(const std::vector<Corner> &line)
{
    double total = 0;
    for (std::size_t i = 1; i < line.size(); ++i)
        total += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    double left = total / 2;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double step = std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
        if (step >= left && step > 0) {
            const double t = left / step;
            return {line[i - 1].x + t * (line[i].x - line[i - 1].x),
                    line[i - 1].y + t * (line[i].y - line[i - 1].y)};
        }
        left -= step;
    }
    return line.empty() ? Vec2{} : vec(line.front());
}

void addBuilding(sheet::Sheet &sheet, const layout::Layout &layout, const SiteRoofs &site,
                 const BuildingRoofs &building, std::span<const ObjectProtection> protections)
{
    using sheet::Entry;
    using sheet::Paragraph;
    std::vector<sheet::Block> blocks;
    std::vector<Entry> inputs{{"防雷类别", classText(site.rules)},
                              {"建筑物高度 H", twoDecimals(building.height) + " m"}};
    if (building.state != BuildingState::Checked) {
        blocks.push_back(std::move(inputs));
        blocks.push_back(Paragraph{std::string(stateText(building.state))});
        sheet.sections.push_back({"屋面防雷：" + building.name, std::move(blocks)});
        return;
    }
    for (const Roof &roof : building.roofs)
        inputs.push_back({"屋面 " + twoDecimals(roof.height) + " m",
                          "面积 " + twoDecimals(roof.area) + " m²，接闪带、接闪网 " +
                              std::to_string(roof.conductors.size()) + " 段，闭合网格 " +
                              std::to_string(roof.cells.size()) + " 个"});
    blocks.push_back(std::move(inputs));
    sheet::Table table{{"项目", "条文", "要求", "计算结果", "结论"}, {}};
    std::vector<std::string> remarks;
    for (const RuleLine &line : buildingRules(site, building, protections)) {
        table.rows.push_back({line.rule, line.clause, line.asked, line.found, line.conclusion});
        for (const Fault &fault : line.faults) {
            std::string text = line.rule + "：" + fault.text;
            for (const std::size_t o : fault.objects)
                if (line.rule == "突出屋面物体" && o < layout.objects.size())
                    text = line.rule + "：" + layout.objects[o].name + " " + fault.text;
            remarks.push_back(text);
        }
        for (const std::string &note : line.notes) remarks.push_back(line.rule + "：" + note);
    }
    blocks.push_back(std::move(table));
    for (std::string &remark : remarks) blocks.push_back(Paragraph{std::move(remark)});
    blocks.push_back(Paragraph{std::string("结论：") +
                               (building.passes() ? "接闪网、接闪带和引下线满足要求。"
                                                  : "接闪网、接闪带或引下线不满足要求，见上表。")});
    sheet.sections.push_back({"屋面防雷：" + building.name, std::move(blocks)});
    sheet.drawing.views.push_back(roofPlan(layout, site, building));
}

} // namespace

drawing::View roofPlan(const layout::Layout &layout, const SiteRoofs &site,
                       const BuildingRoofs &building)
{
    drawing::View view;
    view.title = "屋面防雷平面：" + building.name + "（数字为引下线编号，间距单位 m）";
    // The parts' outlines, each with its height.
    for (const std::size_t p : building.parts) {
        if (p >= layout.objects.size()) continue;
        const layout::Object &o = layout.objects[p];
        view.paths.push_back(ringPath(o.footprint, Ink::Building));
    }
    // The roof conductors as they lie; the down conductors below as marks.
    for (std::size_t i = 0; i < layout.conductors.size() && i < site.roles.size(); ++i) {
        const ConductorRole &role = site.roles[i];
        const auto *wire = std::get_if<layout::Wire>(&layout.conductors[i]);
        if (!wire || !role.building || &site.buildings[*role.building] != &building) continue;
        if (role.role == Role::Tape || role.role == Role::Mesh) {
            Path path{{{wire->a.x, wire->a.y}, {wire->b.x, wire->b.y}}, Ink::Rod};
            path.dashed = role.role == Role::Mesh;
            view.paths.push_back(std::move(path));
        }
    }
    // The largest cell, or the failing one, outlined.
    if (building.largestCell) {
        const Cell &cell =
            building.roofs[building.largestCell->roof].cells[building.largestCell->cell];
        const Ink ink = cell.fits ? Ink::Dimension : Ink::ObjectOutside;
        view.paths.push_back(ringPath(cell.rectangle, ink, true));
        Vec2 centre{};
        for (const Corner &c : cell.rectangle)
            centre = {centre.x + c.x / static_cast<double>(cell.rectangle.size()),
                      centre.y + c.y / static_cast<double>(cell.rectangle.size())};
        view.labels.push_back({centre,
                               (cell.fits ? "最大网格 " : "超出网格 ") +
                                   twoDecimals(cell.longSide) + "×" + twoDecimals(cell.shortSide),
                               ink, Side::Centre});
    }
    // Every spacing along its ring, with its length; the failing ones in red.
    for (const ConductorRing &ring : building.down.rings)
        for (const Span &span : ring.spans) {
            if (span.path.size() < 2) continue;
            const Ink ink = span.fails ? Ink::ObjectOutside : Ink::Dimension;
            Path path{{}, ink};
            for (const Corner &c : span.path) path.points.push_back(vec(c));
            path.dashed = !span.fails;
            view.paths.push_back(std::move(path));
            view.labels.push_back(
                {middleOf(span.path), twoDecimals(span.length), ink, Side::Above});
        }
    for (const DownConductor &down : building.down.conductors) {
        view.markers.push_back({vec(down.at), Ink::Rod});
        view.labels.push_back(
            {vec(down.at), std::to_string(down.number), Ink::Rod, Side::AboveRight});
    }
    view.bounds = drawing::boundsOf(view);
    return view;
}

sheet::Sheet layoutSheetWithRoofs(const layout::Layout &layout, double planHeight, std::string date)
{
    std::vector<layout::ObjectVerdict> sphere;
    try {
        sphere = layout::checkObjects(layout);
    } catch (const std::exception &) {
        sphere.clear(); // the sheet says why it has no figures
    }
    sheet::Sheet sheet = layoutSheet(layout, sphere, planHeight, std::move(date));
    if (sheet.error) return sheet;
    const SiteRoofs site = checkRoofs(layout);
    addRoofSections(sheet, layout, site, objectProtections(layout, site, sphere), sphere);
    return sheet;
}

void addRoofSections(sheet::Sheet &sheet, const layout::Layout &layout, const SiteRoofs &site,
                     std::span<const ObjectProtection> protections,
                     std::span<const layout::ObjectVerdict> sphere)
{
    if (site.buildings.empty()) return;
    sheet.sections.push_back(
        {"屋面防雷（GB 50057-2010 第4章）",
         {sheet::Paragraph{
             "按" + classText(site.rules) +
             "校核各建筑物屋面的接闪网、接闪带、引下线、突出屋面物体和防侧击。接闪网的网格为"
             "屋面接闪导体在平面上围成的闭合区域（截至屋面轮廓），以能容纳它的最小矩形尺寸与"
             "规范网格尺寸比较；引下线间距沿建筑物外周和各内庭院周边计算。屋面网格满足要求的"
             "部分按网格法受保护，高出接闪网的物体按滚球法校核，金属物体与接闪器连接。"}}});
    for (const BuildingRoofs &building : site.buildings)
        addBuilding(sheet, layout, site, building, protections);
    // How each object is protected, the sphere's clearance beside it for information.
    sheet::Table methods{{"被保护物", "保护方法", "结论", "说明", "滚球最小余量 / m"}, {}};
    for (std::size_t i = 0; i < layout.objects.size() && i < protections.size(); ++i) {
        const ObjectProtection &p = protections[i];
        const bool sphereProtects = i < sphere.size() && sphere[i].isProtected;
        methods.rows.push_back(
            {layout.objects[i].name, std::string(methodText(p.method)),
             p.isProtected ? "受保护" : "未受保护", protectionReason(site, p, sphereProtects),
             i < sphere.size() ? sheet::lengthText(sphere[i].leastClearance) : "-"});
    }
    if (!methods.rows.empty())
        sheet.sections.push_back(
            {"被保护物的保护方法",
             {std::move(methods),
              sheet::Paragraph{"滚球法的校核结果为滚球在被保护物全部表面上的结果，列此供参考；"
                               "屋面接闪网满足要求的部分按网格法受保护，立于屋面并与接闪器连接的"
                               "金属物体受保护，以本表结论为准。"}}});
}

} // namespace calc::roof
