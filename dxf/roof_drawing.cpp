#include "dxf/roof_drawing.h"

#include "roof/roof_report.h"
#include "sheets/sheet_format.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace dxf {

namespace {

using calc::roof::Role;

// The down conductor's mark in units of the text height: a circle with an arrow out of it,
// pointing down and to the right, as a conductor going to earth is drawn on a roof plan.
void defineDownConductorMark(LayoutPlan &plan)
{
    const double r = 0.5, tip = 1.25, barb = 0.45;
    const double c = r * std::sqrt(0.5);
    plan.defineBlock(std::string(kDownConductorBlock),
                     {{{c, -c, 0}, {tip, -tip, 0}},
                      {{tip, -tip, 0}, {tip - barb, -tip, 0}},
                      {{tip, -tip, 0}, {tip, -tip + barb, 0}}},
                     {{{0, 0, 0}, r}});
}

// A tape's height above its roof, for the notes: a laid-out one's when there is one (a wire
// strung by hand over a roof may stand higher), else the first tape's.
std::optional<double> tapeRise(const Layout &layout, const calc::roof::SiteRoofs &site)
{
    std::optional<double> rise;
    for (std::size_t i = 0; i < layout.conductors.size() && i < site.roles.size(); ++i) {
        const auto &role = site.roles[i];
        if (role.role != Role::Tape || !role.building || !role.roof) continue;
        const auto &w = std::get<calc::layout::Wire>(layout.conductors[i]);
        const double above = w.a.z - site.buildings[*role.building].roofs[*role.roof].height;
        if (w.laidOut) return above;
        if (!rise) rise = above;
    }
    return rise;
}

std::string metres(double value) { return calc::sheet::inputText(std::round(value * 100) / 100); }

} // namespace

bool hasRoofNetwork(const calc::roof::SiteRoofs &site)
{
    return std::any_of(site.roles.begin(), site.roles.end(), [](const auto &r) {
        return r.role == Role::Tape || r.role == Role::Mesh || r.role == Role::DownConductor;
    });
}

RoofNetworkDrawing::RoofNetworkDrawing(LayoutPlan &plan, const Layout &layout,
                                       const calc::roof::SiteRoofs &site)
    : plan_(plan), layout_(layout), site_(site)
{
    defineDownConductorMark(plan);
    for (const auto &building : site.buildings)
        for (const auto &down : building.down.conductors) downs_[down.conductor] = &down;
}

bool RoofNetworkDrawing::draw(std::size_t conductor)
{
    if (conductor >= site_.roles.size() || conductor >= layout_.conductors.size()) return false;
    const auto &role = site_.roles[conductor];
    const auto *w = std::get_if<calc::layout::Wire>(&layout_.conductors[conductor]);
    if (!w) return false;
    const double t = plan_.text();
    if (role.role == Role::Tape || role.role == Role::Mesh) {
        const std::string_view layer = role.role == Role::Tape ? kTapeLayer : kMeshLayer;
        plan_.line(layer, {w->a.x, w->a.y, w->a.z}, {w->b.x, w->b.y, w->b.z});
        if (role.building && role.roof && labelled_.insert({*role.building, *role.roof}).second)
            plan_.label(layer, {w->a.x + t * 0.4, w->a.y + t * 0.4, w->a.z},
                        std::string(calc::roof::roleName(role.role)) + " h=" + metres(w->a.z) +
                            "m");
        return true;
    }
    if (role.role != Role::DownConductor) return false;
    // The vertical line itself (a point from above, its heights kept), the mark at its top.
    const double top = std::max(w->a.z, w->b.z);
    plan_.line(kDownLayer, {w->a.x, w->a.y, w->a.z}, {w->b.x, w->b.y, w->b.z});
    plan_.insert(kDownLayer, std::string(kDownConductorBlock), {w->a.x, w->a.y, top}, 1);
    if (const auto found = downs_.find(conductor); found != downs_.end())
        plan_.label(kDownLayer, {w->a.x + t * 0.7, w->a.y + t * 0.3, top},
                    "引下线" + std::to_string(found->second->number));
    return true;
}

void drawRoofLegendAndNotes(LayoutPlan &plan, const Layout &layout,
                            const calc::roof::SiteRoofs &site)
{
    const double t = plan.text(), row = 2 * t;
    // To the right of the site, clear of the title block below it.
    const double left = plan.box().maxX + 4 * t;
    double y = plan.box().maxY;
    // The legend: a sample of each mark with its name, on the legend's layer in the colour of
    // the layer it stands for (a reader taking conductors from their layers finds none here).
    plan.fixedLeftText(kLegendLayer, {left, y, 0}, "图例", 1.2);
    const auto sample = [&](int colour, const std::string &name, bool mark) {
        y -= row;
        if (mark)
            plan.insert(kLegendLayer, std::string(kDownConductorBlock),
                        {left + 1.5 * t, y + 0.3 * t, 0}, 1, colour);
        else
            plan.line(kLegendLayer, {left, y + 0.3 * t, 0}, {left + 3 * t, y + 0.3 * t, 0}, colour);
        plan.fixedLeftText(kLegendLayer, {left + 4 * t, y, 0}, name, 1);
    };
    const std::string material(kConductorMaterial);
    sample(kTapeColour, "接闪带（" + material + "）", false);
    sample(kMeshColour, "接闪网（" + material + "）", false);
    sample(kDownColour, "引下线（" + material + "，编号见图）", true);

    // The notes.
    const calc::roof::ClassRules &rules = site.rules;
    int downs = 0;
    for (const auto &b : site.buildings) downs += b.down.reachingGround;
    const auto size = [](const calc::roof::MeshSize &m) {
        return calc::sheet::inputText(m.longSide) + "m×" + calc::sheet::inputText(m.shortSide) +
               "m";
    };
    std::vector<std::string> notes{
        "本工程按" + calc::roof::classText(rules) + "设计，依据 GB 50057-2010。",
        "屋面沿周边敷设接闪带，屋面组成不大于 " + size(rules.mesh[0]) + " 或 " +
            size(rules.mesh[1]) + " 的接闪网格（" + std::string(rules.meshClause) + "）。",
        "接闪带、接闪网采用 " + std::string(kConductorMaterial) + "，支持卡高不小于 150mm" +
            (tapeRise(layout, site) ? "，高出屋面 " + metres(*tapeRise(layout, site)) + "m"
                                    : std::string()) +
            "，各接闪导体相互连接。",
        "引下线采用 " + std::string(kConductorMaterial) + "，共 " + std::to_string(downs) +
            " 根，沿建筑物四周和内庭院四周均匀布置，间距沿周长不大于 " +
            calc::sheet::inputText(rules.spacingLimit) + "m（" + std::string(rules.downClause) +
            "）。",
        "引下线距地面 " + metres(kTestJointHeight) + "m 处设断接卡。",
        "突出屋面的金属物体与接闪器可靠连接（" + std::string(rules.rooftopClause) + "）。",
    };
    y -= 2 * row;
    plan.fixedLeftText(kNotesLayer, {left, y, 0}, "说明", 1.2);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        y -= row;
        plan.fixedLeftText(kNotesLayer, {left, y, 0}, std::to_string(i + 1) + ". " + notes[i], 1);
    }
}

} // namespace dxf
