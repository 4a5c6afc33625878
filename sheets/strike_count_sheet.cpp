#include "sheets/strike_count_sheet.h"

#include "calc/numeric.h"
#include "sheets/sheet_format.h"
#include "sheets/sheet_parts.h"
#include "calc/strike_count.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calc {

using namespace sheet;
using namespace sheet::parts;

namespace {

constexpr std::string_view kNoDrawing = "当前输入没有计算结果，不能绘制等效面积图。";
constexpr std::string_view kPerYear = " 次/a";
constexpr std::string_view kDensityUnit = " 次/(km²·a)";
constexpr double kWindowPi = 3.141;

// The equivalent area in km² by the window's formulas with the given π; for a
// building below 100 m, in the calculation's own order of operations.
double equivalentArea(double l, double w, double h, double pi)
{
    if (h < 100) {
        const double s = std::sqrt(h * (200 - h));
        return ((l * w + (2 * (l + w)) * s) + (pi * s) * s) / 1000000;
    }
    return ((l * w + (2 * h) * (l + w)) + (pi * h) * h) / 1000000;
}

std::string areaFormula(double h)
{
    return h < 100 ? "[L·W + 2(L + W)·D + π·H·(200 - H)] × 10⁻⁶"
                   : "[L·W + 2H·(L + W) + π·H²] × 10⁻⁶";
}

std::string areaSubstituted(double l, double w, double h, std::string_view pi)
{
    const std::string l_ = operandText(l), w_ = operandText(w), h_ = operandText(h);
    if (h < 100)
        return "[" + l_ + " × " + w_ + " + 2 × (" + l_ + " + " + w_ + ") × " +
               carriedText(std::sqrt(h * (200 - h))) + " + " + std::string(pi) + " × " + h_ +
               " × (200 - " + h_ + ")] × 10⁻⁶";
    return "[" + l_ + " × " + w_ + " + 2 × " + h_ + " × (" + l_ + " + " + w_ + ") + " +
           std::string(pi) + " × " + h_ + "²] × 10⁻⁶";
}

// Shows n with enough digits that the text, read back, stands on the same side
// of each threshold as n itself (0.0500001 is not shown as "0.05000").
std::string countAgainst(double n, double lower, double upper)
{
    const auto sameSide = [](double shown, double n, double threshold) {
        return (shown > threshold) == (n > threshold) && (shown < threshold) == (n < threshold);
    };
    for (int digits = 4; digits < 17; ++digits) {
        const std::string text = quantityText(n, digits);
        const double shown = numberFromText(text);
        if (sameSide(shown, n, lower) && sameSide(shown, n, upper)) return text;
    }
    return quantityText(n, 17);
}

// A group's row of the class table: its limits and the class that n gives it.
std::vector<std::string> classRow(std::string_view groupText, double n, BuildingGroup group)
{
    const StrikeCountLimits limits = strikeCountLimits(group);
    const std::string lower(limits.lowerText), upper(limits.upperText);
    return {std::string(groupText), "N′ > " + upper, lower + " ≤ N′ ≤ " + upper,
            std::string(strikeClassText(classByStrikeCount(n, group)))};
}

drawing::View plan(double l, double w, double h, double ae)
{
    drawing::View view;
    view.title = "建筑物及其等效面积平面图";
    const double e = expansionWidth(h);
    const double x = l / 2;
    const double y = w / 2;
    view.paths.push_back(Path{{{-x, -y}, {x, -y}, {x, y}, {-x, y}}, Ink::Building, true});
    // Each side moved out by e, joined by quarter circles of radius e about the
    // building's corners.
    const double pi = std::numbers::pi;
    const Vec2 corners[] = {{x, -y}, {x, y}, {-x, y}, {-x, -y}};
    Path outline{{}, Ink::EquivalentArea, true};
    for (int i = 0; i < 4; ++i) {
        const double from = -pi / 2 + i * pi / 2;
        const std::vector<Vec2> arc = drawing::arcPoints(corners[i], e, from, from + pi / 2);
        outline.points.insert(outline.points.end(), arc.begin(), arc.end());
    }
    view.paths.push_back(std::move(outline));

    addDimension(view, {x, 0}, {x + e, 0}, (h < 100 ? "D = " + metres(e) : "H = " + metres(e)),
                 Side::Above);
    view.labels.push_back({{0, -y}, "L = " + metres(l), Ink::Building, Side::Above});
    view.labels.push_back({{-x, 0}, "W = " + metres(w), Ink::Building, Side::Right});
    view.labels.push_back(
        {{0, y + e}, "Ae = " + quantityText(ae) + " km²", Ink::EquivalentArea, Side::Below});
    view.bounds = drawing::boundsOf(view);
    return view;
}

void fill(Sheet &sheet, std::string_view lText, std::string_view wText, std::string_view hText,
          std::int16_t settingIndex, std::int16_t cityIndex, const strike_count::StrikeCountOk &ok)
{
    using strike_count::kCities;
    using strike_count::kSettings;
    const double l = numberFromText(lText);
    const double w = numberFromText(wText);
    const double h = numberFromText(hText);
    // An Ok outcome has a valid entry in both lists (otherwise the count is 0).
    const auto &setting = kSettings[static_cast<std::size_t>(settingIndex)];
    const auto &city = kCities[static_cast<std::size_t>(cityIndex)];
    const double td = thunderstormDays(cityIndex);
    const double ae = equivalentArea(l, w, h, kWindowPi);
    const double ng2 = groundFlashDensity(td);
    const double ae2 = equivalentArea(l, w, h, std::numbers::pi);
    const double n2 = (setting.k * ng2) * ae2;

    sheet.sections.push_back(
        {std::string(kBasisHeading),
         {Paragraph{"《建筑物防雷设计规范》GB 50057 附录A：建筑物年预计雷击次数 N = k·Ng·Ae。"
                    "本程序的 Ng 取城市表列值，π 取 3.141；另按 GB 50057-2010 附录A（Ng = 0.1·Td）"
                    "核对，并据第3.0.3条、第3.0.4条判定按雷击次数的防雷类别。"}}});

    sheet.sections.push_back(
        {std::string(kInputHeading),
         {std::vector<Entry>{
             {"长 L", typedMetres(lText)},
             {"宽 W", typedMetres(wText)},
             {"高 H", typedMetres(hText)},
             {"校正系数", std::string(setting.text) + "（k = " + inputText(setting.k) + "）"},
             {"城市", std::string(city.text)},
             {"年雷暴日 Td", inputText(td) + " d/a"},
             {"地闪密度 Ng（表列值）", inputText(city.ng) + std::string(kDensityUnit)},
         }}});

    std::vector<Step> steps;
    if (h < 100)
        steps.push_back({"等效面积的扩展宽度 D（H < 100 m）", "D", "√(H·(200 - H))",
                         "√(" + operandText(h) + " × (200 - " + operandText(h) + "))",
                         metres(std::sqrt(h * (200 - h)))});
    steps.push_back(
        {std::string("等效面积 Ae（") + (h < 100 ? "H < 100 m" : "H ≥ 100 m") + "，π 取 3.141）",
         "Ae", areaFormula(h), areaSubstituted(l, w, h, "3.141"), quantityText(ae) + " km²"});
    steps.push_back({"年预计雷击次数 N", "N", "k·Ng·Ae",
                     inputText(setting.k) + " × " + inputText(city.ng) + " × " + carriedText(ae),
                     quantityText(ok.count) + std::string(kPerYear)});
    sheet.sections.push_back({std::string(kCalculationHeading), {std::move(steps)}});

    sheet.sections.push_back(
        {std::string(kResultHeading),
         {std::vector<Entry>{
             {"Ae（等效面积）", quantityText(ae) + " km²"},
             {"N（年预计雷击次数）", quantityText(ok.count) + std::string(kPerYear)},
             {"窗口显示的 N（三位小数）", ok.countText + std::string(kPerYear)}}}});

    sheet.sections.push_back(
        {std::string(kConclusionHeading),
         {Paragraph{"该建筑物按表列地闪密度 Ng = " + inputText(city.ng) +
                    std::string(kDensityUnit) + " 计算的年预计雷击次数为 N = " +
                    quantityText(ok.count) + std::string(kPerYear) + "。"}}});

    std::vector<Step> check;
    check.push_back({"地闪密度 Ng′（GB 50057-2010）", "Ng′", "0.1·Td", "0.1 × " + inputText(td),
                     quantityText(ng2) + std::string(kDensityUnit)});
    check.push_back({"等效面积 Ae′（π 取精确值）", "Ae′", areaFormula(h),
                     areaSubstituted(l, w, h, "π"), quantityText(ae2) + " km²"});
    check.push_back({"年预计雷击次数 N′", "N′", "k·Ng′·Ae′",
                     inputText(setting.k) + " × " + quantityText(ng2) + " × " + carriedText(ae2),
                     quantityText(n2) + std::string(kPerYear)});
    Table sideBySide{
        {"项目", "本程序（Ng 取表列值，π = 3.141）", "GB 50057-2010（Ng = 0.1·Td，π 取精确值）"},
        {{"Ng（次/(km²·a)）", inputText(city.ng), quantityText(ng2)},
         {"Ae（km²）", quantityText(ae), quantityText(ae2)},
         {"N（次/a）", quantityText(ok.count), quantityText(n2)}}};
    Table classes{{"建筑物", "第二类防雷建筑物", "第三类防雷建筑物", "按 N′ 判定"},
                  {classRow(kImportantGroupText, n2, BuildingGroup::Important),
                   classRow(kOrdinaryGroupText, n2, BuildingGroup::Ordinary)}};
    sheet.sections.push_back(
        {std::string(kCrossCheckHeading),
         {std::move(check), std::move(sideBySide), std::move(classes),
          Paragraph{std::string(kImportantGroupText) + "：" +
                    strikeClassVerdict(n2, BuildingGroup::Important) + "。"},
          Paragraph{std::string(kOrdinaryGroupText) + "：" +
                    strikeClassVerdict(n2, BuildingGroup::Ordinary) + "。"},
          Paragraph{"以上只判定 GB 50057-2010 第3.0.3条、第3.0.4条中按年预计雷击次数划分的条件；"
                    "建筑物的防雷类别还须按这两条的其他各款及第3.0.2条综合确定。"}}});

    sheet.drawing.views.push_back(plan(l, w, h, ae));
}

} // namespace

std::string strikeClassVerdict(double n, BuildingGroup group, std::string_view symbol)
{
    const std::string name(symbol);
    const StrikeCountLimits limits = strikeCountLimits(group);
    const std::string upperText(limits.upperText), lowerText(limits.lowerText);
    const StrikeClass c = classByStrikeCount(n, group);
    std::string said = name + " = " + countAgainst(n, limits.lower, limits.upper);
    if (c == StrikeClass::Second) said += " > " + upperText;
    if (c == StrikeClass::Third) said += "，" + lowerText + " ≤ " + name + " ≤ " + upperText;
    if (c == StrikeClass::NotByCount) said += " < " + lowerText;
    return said + "，" + std::string(strikeClassText(c));
}

Sheet strikeCountSheet(std::string_view lengthText, std::string_view widthText,
                       std::string_view heightText, std::int16_t settingIndex,
                       std::int16_t cityIndex, std::string date)
{
    using namespace strike_count;
    Sheet sheet = newSheet(kStrikeCountSheetName, std::move(date));
    const StrikeCountOutcome outcome =
        computeStrikeCount(lengthText, widthText, heightText, settingIndex, cityIndex);
    visitOutcome(
        sheet, outcome, kNoDrawing,
        [&](const StrikeCountOk &ok) {
            fill(sheet, lengthText, widthText, heightText, settingIndex, cityIndex, ok);
        },
        [&](const StrikeCountZero &kind) {
            setError(sheet, kind.message, kNoDrawing);
            sheet.sections.push_back(
                {std::string(kConclusionHeading),
                 {Paragraph{"年预计雷击次数按三位小数舍入后为零：校正系数或城市未选定有效项，"
                            "或建筑物尺寸过小。"}}});
        });
    return sheet;
}

} // namespace calc
