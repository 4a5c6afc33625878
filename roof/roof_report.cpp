#include "roof/roof_report.h"

#include "sheets/sheet_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace calc::roof {

namespace {

std::string metres(double value) { return twoDecimals(value) + " m"; }

std::string limitText(const ClassRules &rules)
{
    const auto size = [](const MeshSize &m) {
        return sheet::inputText(m.longSide) + " m × " + sheet::inputText(m.shortSide) + " m";
    };
    return size(rules.mesh[0]) + " 或 " + size(rules.mesh[1]);
}

RuleLine newLine(std::string rule, std::string_view clause, std::string asked)
{
    RuleLine line;
    line.rule = std::move(rule);
    line.clause = std::string(clause);
    line.asked = std::move(asked);
    return line;
}

std::string conclusionOf(Verdict verdict) { return std::string(verdictText(verdict)); }

Verdict verdictOf(bool passes) { return passes ? Verdict::Pass : Verdict::Fail; }

RuleLine meshLine(const ClassRules &rules, const BuildingRoofs &building)
{
    RuleLine line =
        newLine("接闪网", rules.meshClause, "整个屋面组成不大于 " + limitText(rules) + " 的网格");
    if (building.largestCell) {
        const Cell &cell =
            building.roofs[building.largestCell->roof].cells[building.largestCell->cell];
        line.found = (cell.fits ? "最大网格 " : "超出的网格 ") + cellSizeText(cell);
    } else {
        line.found = "屋面无闭合网格";
    }
    line.found += "；未被网格覆盖的屋面 " + twoDecimals(building.uncoveredArea) + " m²";
    line.verdict = verdictOf(building.meshPasses);
    line.conclusion = conclusionOf(line.verdict);
    for (const Roof &roof : building.roofs) {
        for (const Cell &cell : roof.cells) {
            if (cell.fits) continue;
            line.faults.push_back({"网格 " + cellSizeText(cell) + " 超过 " + limitText(rules),
                                   cell.rectangle,
                                   true,
                                   {},
                                   roof.parts});
        }
        for (const Uncovered &piece : roof.uncovered)
            line.faults.push_back({"屋面 " + metres(roof.height) + " 处有 " +
                                       twoDecimals(piece.area) + " m² 未被网格覆盖",
                                   piece.shape.outer,
                                   true,
                                   {},
                                   roof.parts});
    }
    return line;
}

RuleLine tapeLine(const ClassRules &rules, const BuildingRoofs &building)
{
    RuleLine line =
        newLine("接闪带", rules.tapeClause,
                "建筑物高度超过 " + sheet::inputText(rules.tapeAbove) +
                    " m 时，沿屋顶周边敷设接闪带，设在外墙外表面或屋檐边垂直面上或其外");
    line.verdict = building.tape;
    if (building.tape == Verdict::NotApplicable) {
        line.found = "建筑物高度 " + metres(building.height) + "，不超过 " +
                     sheet::inputText(rules.tapeAbove) + " m";
        line.conclusion = "不要求";
        return line;
    }
    double missing = 0;
    for (const Roof &roof : building.roofs)
        for (const Segment &gap : roof.tapeGaps) {
            const double length = std::hypot(gap.b.x - gap.a.x, gap.b.y - gap.a.y);
            missing += length;
            line.faults.push_back(
                {"屋面 " + metres(roof.height) + " 外边缘有 " + metres(length) + " 无接闪带",
                 {gap.a, gap.b},
                 false,
                 {},
                 roof.parts});
        }
    line.found = "建筑物高度 " + metres(building.height) +
                 (line.faults.empty() ? "；屋顶外边缘均有接闪带"
                                      : "；屋顶外边缘共 " + metres(missing) + " 无接闪带");
    line.conclusion = conclusionOf(line.verdict);
    return line;
}

RuleLine countLine(const ClassRules &rules, const BuildingRoofs &building)
{
    const DownConductorCheck &down = building.down;
    RuleLine line =
        newLine("引下线根数", rules.downClause,
                "专设引下线不少于 " + std::to_string(rules.leastDownConductors) + " 根");
    line.found = "引至地面的引下线 " + std::to_string(down.reachingGround) + " 根";
    if (down.conductors.size() > static_cast<std::size_t>(down.reachingGround))
        line.found +=
            "（另有 " +
            std::to_string(down.conductors.size() - static_cast<std::size_t>(down.reachingGround)) +
            " 根引至下层屋面）";
    line.verdict = verdictOf(down.enough);
    line.conclusion = conclusionOf(line.verdict);
    return line;
}

std::string ringName(const ConductorRing &ring)
{
    switch (ring.kind) {
    case RingKind::Outside:
        return "建筑物外周";
    case RingKind::Courtyard:
        return "内庭院周边";
    case RingKind::Upper:
        break;
    }
    return "高出部分周边";
}

RuleLine spacingLine(const ClassRules &rules, const BuildingRoofs &building)
{
    const DownConductorCheck &down = building.down;
    RuleLine line = newLine("引下线间距", rules.downClause,
                            "沿建筑物四周和内庭院四周均匀布置，间距沿周长计算不大于 " +
                                sheet::inputText(rules.spacingLimit) + " m");
    line.found = down.largestSpacing ? "最大间距 " + metres(*down.largestSpacing) : "最大间距 -";
    line.found +=
        down.averageSpacing ? "，平均间距 " + metres(*down.averageSpacing) : "，平均间距 -";
    bool ringsPass = !down.rings.empty();
    for (const ConductorRing &ring : down.rings) {
        ringsPass = ringsPass && ring.passes;
        for (const Span &span : ring.spans) {
            if (!span.fails) continue;
            Fault fault{ringName(ring) + "：", span.path, false, {}, {}};
            const bool whole = span.from == span.to;
            for (const std::size_t i : {span.from, span.to})
                if (i < down.conductors.size())
                    fault.conductors.push_back(down.conductors[i].conductor);
            if (ring.conductors.size() < 2)
                fault.text += "引下线不足 2 根，按整个周长 " + metres(span.length) + " 计";
            else if (!whole && span.from < down.conductors.size() &&
                     span.to < down.conductors.size())
                fault.text += "引下线 " + std::to_string(down.conductors[span.from].number) + "—" +
                              std::to_string(down.conductors[span.to].number) + " 间距 " +
                              metres(span.length);
            else
                fault.text += "间距 " + metres(span.length);
            fault.text += "，超过 " + sheet::inputText(rules.spacingLimit) + " m";
            line.faults.push_back(std::move(fault));
        }
        if (ring.spans.empty())
            line.faults.push_back(
                {ringName(ring) + "无引下线，按整个周长 " + metres(ring.length) + " 计",
                 ring.ring,
                 true,
                 {},
                 {}});
    }
    line.verdict = verdictOf(down.passes && ringsPass);
    line.conclusion = conclusionOf(line.verdict);
    if (down.longSpanNote)
        line.notes.push_back(
            "平均间距不大于 " + sheet::inputText(rules.spacingLimit) +
            " m：当跨度较大、无法在跨距中间设引下线时，可按 " + std::string(rules.downClause) +
            " 在跨距两端设引下线并减小其他引下线的间距；须核实该跨两端均设有引下线");
    return line;
}

RuleLine rooftopLine(const ClassRules &rules, const BuildingRoofs &building,
                     std::span<const ObjectProtection> protections)
{
    RuleLine line =
        newLine("突出屋面物体", rules.rooftopClause,
                "金属物体与屋面接闪器连接；非金属物体处于屋面接闪器保护范围内（滚球法）");
    if (building.rooftop.empty()) {
        line.found = "屋面无突出物体";
        line.conclusion = "不适用";
        return line;
    }
    int metal = 0, other = 0;
    bool all = true;
    for (const RooftopObject &object : building.rooftop) {
        (object.metal ? metal : other) += 1;
        const bool ok =
            object.object < protections.size() && protections[object.object].isProtected;
        if (!ok) {
            all = false;
            line.faults.push_back({"突出屋面物体不在保护范围内", {}, false, {}, {object.object}});
        }
    }
    line.found = "金属物体 " + std::to_string(metal) + " 个（与接闪器连接），非金属物体 " +
                 std::to_string(other) + " 个（滚球法校核）";
    line.verdict = verdictOf(all);
    line.conclusion = conclusionOf(line.verdict);
    return line;
}

RuleLine sideFlashLine(const ClassRules &rules, const BuildingRoofs &building)
{
    RuleLine line = newLine("防侧击", rules.sideFlashClause, {});
    const SideFlash &side = building.sideFlash;
    line.verdict = side.verdict;
    if (rules.protectionClass == 1) {
        line.asked = "高于 " + sheet::inputText(kSideTapesFrom) + " m 时，从 " +
                     sheet::inputText(kSideTapesFrom) + " m 起每隔不大于 " +
                     sheet::inputText(kSideTapeStep) + " m 沿建筑物四周设水平接闪带";
        if (side.tapes.empty()) {
            line.found = "建筑物高度 " + metres(building.height);
            line.conclusion = "不要求";
            return line;
        }
        int found = 0;
        for (const SideTape &tape : side.tapes) {
            found += tape.found ? 1 : 0;
            for (const Segment &gap : tape.gaps)
                line.faults.push_back({"标高 " + metres(tape.height) + " 处水平接闪带缺失",
                                       {gap.a, gap.b},
                                       false,
                                       {},
                                       building.parts});
        }
        line.found = "应设 " + std::to_string(side.tapes.size()) + " 道，已设 " +
                     std::to_string(found) + " 道";
        line.conclusion = conclusionOf(line.verdict);
        return line;
    }
    line.asked = "高于 " + sheet::inputText(kSideFlashAbove) +
                 " m 的建筑物，其上部占高度 20% 并超过 " + sheet::inputText(kSideFlashAbove) +
                 " m 的部位应防侧击";
    if (side.bandFrom && side.bandTo) {
        line.found = "标高 " + metres(*side.bandFrom) + " 至 " + metres(*side.bandTo) + " 的部位";
        line.conclusion = "应采取防侧击措施";
    } else {
        line.found = "建筑物高度 " + metres(building.height);
        line.conclusion = "不要求";
    }
    return line;
}

} // namespace

std::string classText(const ClassRules &rules)
{
    static constexpr std::string_view kNames[] = {"第一类", "第二类", "第三类"};
    const int i = std::clamp(rules.protectionClass, 1, 3) - 1;
    return std::string(kNames[i]) + "防雷建筑物（hr = " + std::to_string(rules.hr) + " m）";
}

std::string_view verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return "满足";
    case Verdict::Fail:
        return "不满足";
    case Verdict::NotApplicable:
        break;
    }
    return "不适用";
}

std::string twoDecimals(double value)
{
    if (!std::isfinite(value) || std::abs(value) >= 1e12)
        return std::string(sheet::kOutOfRangeText);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    // No "-0.00" for a value that rounds to zero.
    if (std::string_view(text) == "-0.00") return "0.00";
    return text;
}

std::string cellSizeText(const Cell &cell)
{
    return metres(cell.longSide) + " × " + metres(cell.shortSide);
}

std::string_view stateText(BuildingState state)
{
    switch (state) {
    case BuildingState::Checked:
        return "";
    case BuildingState::BadFootprint:
        return "轮廓不是简单多边形，不能校核";
    case BuildingState::BadHeight:
        return "高度不大于 0，不能校核";
    case BuildingState::Unchecked:
        break;
    }
    return "屋面几何不能求出，不能校核";
}

std::vector<RuleLine> buildingRules(const SiteRoofs &site, const BuildingRoofs &building,
                                    std::span<const ObjectProtection> protections)
{
    if (building.state != BuildingState::Checked) return {};
    return {meshLine(site.rules, building),
            tapeLine(site.rules, building),
            countLine(site.rules, building),
            spacingLine(site.rules, building),
            rooftopLine(site.rules, building, protections),
            sideFlashLine(site.rules, building)};
}

std::string_view methodText(Method method)
{
    switch (method) {
    case Method::Mesh:
        return "网格法";
    case Method::Bonded:
        return "金属物与接闪器连接";
    case Method::Sphere:
        break;
    }
    return "滚球法";
}

std::string protectionReason(const SiteRoofs &site, const ObjectProtection &protection,
                             bool sphereProtects)
{
    const std::string building = protection.building && *protection.building < site.buildings.size()
                                     ? site.buildings[*protection.building].name
                                     : std::string();
    switch (protection.method) {
    case Method::Mesh:
        return building + " 屋面接闪网满足 " + std::string(site.rules.meshClause) +
               "，屋面按网格法受保护";
    case Method::Bonded:
        return "金属物体立于屋面并与接闪器连接（" + std::string(site.rules.rooftopClause) + "）";
    case Method::Sphere:
        break;
    }
    return sphereProtects ? "滚球不触及其表面" : "滚球触及其表面";
}

} // namespace calc::roof
