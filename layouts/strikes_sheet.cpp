#include "layouts/strikes_sheet.h"

#include "sheets/sheet_format.h"
#include "sheets/sheet_parts.h"
#include "sheets/strike_count_sheet.h"

#include <cmath>
#include <numbers>

namespace calc {

using namespace sheet;
using namespace sheet::parts;
using layout::BuildingState;
using layout::BuildingStrikes;
using layout::Layout;
using layout::LayoutStrikes;
using layout::SiteState;

namespace {

constexpr std::string_view kPerYear = " 次/a";
constexpr std::string_view kDensityUnit = " 次/(km²·a)";

std::string areaText(double ae) { return quantityText(ae, 4, 6) + " km²"; }

// The sides of a lone part whose footprint is a rectangle (in any direction), if it is one.
struct Rectangle {
    double l, w;
};
std::optional<Rectangle> rectangleOf(const std::vector<layout::Corner> &fp)
{
    if (fp.size() != 4) return std::nullopt;
    const auto side = [&](std::size_t i) {
        const layout::Corner a = fp[i], b = fp[(i + 1) % 4];
        return Vec2{b.x - a.x, b.y - a.y};
    };
    const auto length = [](Vec2 v) { return std::hypot(v.x, v.y); };
    for (std::size_t i = 0; i < 4; ++i) {
        const Vec2 a = side(i), b = side((i + 1) % 4);
        // Square corners, to a part in a thousand million of the sides' lengths.
        if (std::abs(a.x * b.x + a.y * b.y) > 1e-9 * length(a) * length(b)) return std::nullopt;
    }
    return Rectangle{length(side(0)), length(side(1))};
}

std::string widthStep(double h)
{
    return h < 100 ? "√(" + operandText(h) + " × (200 - " + operandText(h) + "))" : operandText(h);
}

// The class clause of GB 50057-2010 that the count and the group settle.
std::string clauseOf(StrikeClass c, BuildingGroup group)
{
    const bool important = group == BuildingGroup::Important;
    if (c == StrikeClass::Second) return important ? "第3.0.3条第9款" : "第3.0.3条第10款";
    if (c == StrikeClass::Third) return important ? "第3.0.4条第2款" : "第3.0.4条第3款";
    return important ? "第3.0.4条第2款的下限" : "第3.0.4条第3款的下限";
}

std::string siteSaid(const LayoutStrikes &strikes)
{
    switch (strikes.site) {
    case SiteState::Ready:
        break;
    case SiteState::NoThunderstormDays:
        return std::string(kNoThunderstormDaysText) + "，不能计算年预计雷击次数。";
    case SiteState::BadThunderstormDays:
        return "年雷暴日应大于 0 且不超过 365，或为城市表中的城市，不能计算年预计雷击次数。";
    case SiteState::BadCorrectionFactor:
        return "校正系数 k 应为 1、1.5、1.7 或 2，不能计算年预计雷击次数。";
    }
    return {};
}

drawing::View buildingPlan(const Layout &layout, const BuildingStrikes &b)
{
    drawing::View view;
    view.title = b.name + " 及其等效面积平面图";
    for (std::size_t part : b.parts) {
        const layout::Object &o = layout.objects[part];
        Path outline{{}, Ink::Building, true};
        double cx = 0, cy = 0;
        for (const layout::Corner &c : o.footprint) {
            outline.points.push_back({c.x, c.y});
            cx += c.x / static_cast<double>(o.footprint.size());
            cy += c.y / static_cast<double>(o.footprint.size());
        }
        view.paths.push_back(std::move(outline));
        view.labels.push_back(
            {{cx, cy}, o.name + " H = " + metres(o.height), Ink::Building, Side::Centre});
    }
    double top = -1e300, middle = 0;
    for (const auto &ring : b.outline) {
        Path line{{}, Ink::EquivalentArea, true};
        for (const layout::Corner &c : ring) {
            line.points.push_back({c.x, c.y});
            if (c.y > top) {
                top = c.y;
                middle = c.x;
            }
        }
        view.paths.push_back(std::move(line));
    }
    if (!b.outline.empty())
        view.labels.push_back(
            {{middle, top}, "Ae = " + areaText(b.ae), Ink::EquivalentArea, Side::Below});
    view.bounds = drawing::boundsOf(view);
    return view;
}

constexpr int kMostBuildingPlans = 3;

void addBuilding(Sheet &sheet, const Layout &layout, const LayoutStrikes &strikes,
                 const BuildingStrikes &b, int &plansDrawn)
{
    std::vector<Block> blocks;
    std::vector<Entry> parts;
    std::vector<Step> steps;
    for (std::size_t i = 0; i < b.parts.size(); ++i) {
        const layout::Object &o = layout.objects[b.parts[i]];
        parts.push_back({o.name + " 高 H", metres(o.height)});
        steps.push_back({o.name + " 等效面积的扩展宽度 D（" +
                             (o.height < 100 ? "H < 100 m" : "H ≥ 100 m") + "）",
                         "D", o.height < 100 ? "√(H·(200 - H))" : "H", widthStep(o.height),
                         metres(b.widths[i])});
    }
    parts.push_back(
        {"建筑物分组", std::string(b.group == BuildingGroup::Important ? kImportantGroupText
                                                                       : kOrdinaryGroupText)});
    blocks.push_back(std::move(parts));

    if (b.state != BuildingState::Measured) {
        blocks.push_back(Paragraph{b.state == BuildingState::BadFootprint
                                       ? "有部分的轮廓不是简单多边形，不能计算等效面积。"
                                   : b.state == BuildingState::BadHeight
                                       ? "有部分的高度不大于 0，不能计算等效面积。"
                                       : "等效面积未能精确到 1 m²，不予给出。"});
        sheet.sections.push_back({"年预计雷击次数：" + b.name, std::move(blocks)});
        return;
    }

    const std::optional<Rectangle> rect =
        b.parts.size() == 1 ? rectangleOf(layout.objects[b.parts[0]].footprint) : std::nullopt;
    if (rect) {
        const double h = layout.objects[b.parts[0]].height;
        const std::string l_ = operandText(rect->l), w_ = operandText(rect->w), h_ = operandText(h);
        const std::string substituted = h < 100
                                            ? "[" + l_ + " × " + w_ + " + 2 × (" + l_ + " + " + w_ +
                                                  ") × " + carriedText(b.widths[0]) + " + π × " +
                                                  h_ + " × (200 - " + h_ + ")] × 10⁻⁶"
                                            : "[" + l_ + " × " + w_ + " + 2 × " + h_ + " × (" + l_ +
                                                  " + " + w_ + ") + π × " + h_ + "²] × 10⁻⁶";
        steps.push_back(
            {"等效面积 Ae（矩形，长 L = " + metres(rect->l) + "，宽 W = " + metres(rect->w) + "）",
             "Ae",
             h < 100 ? "[L·W + 2(L + W)·D + π·H·(200 - H)] × 10⁻⁶"
                     : "[L·W + 2H·(L + W) + π·H²] × 10⁻⁶",
             substituted, areaText(b.ae)});
    } else {
        steps.push_back({"等效面积 Ae：各部分轮廓按其 D 向外扩展（转角为圆弧）后的并集所围面积，"
                         "其中的空洞计入",
                         "Ae", "外扩轮廓所围面积", "见等效面积平面图", areaText(b.ae)});
    }
    if (strikes.site == SiteState::Ready && b.n) {
        steps.push_back(
            {"年预计雷击次数 N", "N", "k·Ng·Ae",
             inputText(strikes.k) + " × " + quantityText(strikes.ng) + " × " + carriedText(b.ae),
             quantityText(*b.n) + std::string(kPerYear)});
        blocks.push_back(std::move(steps));
        blocks.push_back(
            Paragraph{strikeClassVerdict(*b.n, b.group, "N") + "（GB 50057-2010 " +
                      clauseOf(b.strikeClass, b.group) + "，" +
                      std::string(b.group == BuildingGroup::Important ? kImportantGroupText
                                                                      : kOrdinaryGroupText) +
                      "）。"});
    } else {
        blocks.push_back(std::move(steps));
        blocks.push_back(Paragraph{siteSaid(strikes)});
    }
    blocks.push_back(Paragraph{std::string(kNeighboursNotReduced)});
    sheet.sections.push_back({"年预计雷击次数：" + b.name, std::move(blocks)});
    // A rectangle's area stands in its closed form; any other outline is drawn with the line its
    // area is measured inside, a few at the most so that the drawing stays legible.
    if (!rect && plansDrawn < kMostBuildingPlans) {
        sheet.drawing.views.push_back(buildingPlan(layout, b));
        ++plansDrawn;
    }
}

} // namespace

void addStrikeSections(Sheet &sheet, const Layout &layout, const LayoutStrikes &strikes)
{
    if (strikes.buildings.empty()) return;
    std::vector<Entry> site;
    if (strikes.site == SiteState::Ready) {
        const std::string city = layout.site.thunderstormDays ? std::string() : layout.site.city;
        site.push_back({"年雷暴日 Td",
                        inputText(strikes.td) + " d/a" + (city.empty() ? "" : "（" + city + "）")});
        site.push_back({"地闪密度 Ng", "0.1·Td = 0.1 × " + inputText(strikes.td) + " = " +
                                           quantityText(strikes.ng) + std::string(kDensityUnit)});
    } else {
        site.push_back({"年雷暴日 Td", std::string(kNoThunderstormDaysText)});
    }
    site.push_back({"校正系数 k", inputText(strikes.k)});
    sheet.sections.push_back(
        {"年预计雷击次数（GB 50057-2010 附录A）",
         {Paragraph{
              "《建筑物防雷设计规范》GB 50057-2010 附录A：N = k·Ng·Ae，Ng = 0.1·Td；"
              "各部分的每边按其高度 H 外扩 D = √(H(200 - H))（H < 100 m）或 D = H"
              "（H ≥ 100 m），Ae 为各点最大外扩端连线所围面积。按雷击次数的防雷类别据第3.0.3条、"
              "第3.0.4条判定。"},
          std::move(site)}});
    int plansDrawn = 0;
    for (const BuildingStrikes &b : strikes.buildings)
        addBuilding(sheet, layout, strikes, b, plansDrawn);
}

} // namespace calc
