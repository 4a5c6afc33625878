#include "sheets/rod_height_sheet.h"

#include "calc/numeric.h"
#include "calc/rod_height.h"
#include "sheets/sheet_format.h"
#include "sheets/sheet_parts.h"

#include <algorithm>
#include <cmath>

namespace calc {

using namespace sheet;
using namespace sheet::parts;

namespace {

constexpr std::string_view kNoDrawing = "当前输入没有计算结果，不能绘制避雷针高度图。";

drawing::View section(double hx, double d, int hr, const rod_height::RodHeightOk &ok)
{
    drawing::View view;
    view.title = "避雷针高度剖面图（滚球半径 hr = " + inputText(hr) + " m）";
    const double ro = std::sqrt((2 * hr - ok.x2) * ok.x2);
    const double size = std::max({ro, ok.x1, hx, std::abs(d), 1.0});
    const double width = 0.08 * size;
    const double reach = std::max(ro, std::abs(d) + width) + 0.15 * size;
    addGround(view, -reach, reach);

    // x1 dashed first, so that the solid rod of height x2 is drawn over it.
    Path tall{{{0, 0}, {0, ok.x1}}, Ink::Construction};
    tall.dashed = true;
    view.paths.push_back(std::move(tall));
    view.labels.push_back({{0, ok.x1}, "x1 = " + metres(ok.x1), Ink::Construction, Side::Left});

    // The rod of height x2: its arc passes through the object's top corner at (d, hx).
    addRodSection(view, 0, ok.x2, hr);
    view.labels.push_back({{0, ok.x2}, "x2 = " + metres(ok.x2), Ink::Rod, Side::Left});

    // The object: a column whose outer top corner is the covered point (d, hx).
    const bool outside = hx > ok.x2;
    const double inner = d >= 0 ? std::max(d - width, 0.0) : std::min(d + width, 0.0);
    view.paths.push_back(Path{{{inner, 0}, {inner, hx}, {d, hx}, {d, 0}},
                              outside ? Ink::ObjectOutside : Ink::Object,
                              true});
    view.labels.push_back({{d, hx},
                           "被保护物 hx = " + metres(hx),
                           outside ? Ink::ObjectOutside : Ink::Object,
                           d >= 0 ? Side::AboveRight : Side::AboveLeft});
    const double below = -0.08 * size;
    addDimension(view, {0, below}, {d, below}, "d = " + metres(d), Side::Below);
    view.bounds = drawing::boundsOf(view);
    return view;
}

void fill(Sheet &sheet, std::string_view hxText, std::string_view distanceText,
          std::int16_t classIndex, const rod_height::RodHeightOk &ok)
{
    const double hx = numberFromText(hxText);
    const double d = numberFromText(distanceText);
    const int hr = rollingSphereRadius(classIndex);
    // The same arithmetic, in the same order, as the calculation.
    const double q = std::sqrt((2 * hr - hx) * hx);
    const double a = d + q;
    const double discriminant = (2.0 * hr) * (2.0 * hr) - 4 * (a * a);

    addRollingSphereBasis(
        sheet, "单支避雷针在 hx 高度上的保护半径 rx = √(h·(2hr - h)) - √(hx·(2hr - hx))；"
               "令 rx 等于被保护物到针的距离 d，解出针高 h 的两个根 x1、x2。");
    addInputs(
        sheet,
        {{std::string(rod_height::kHxName), typedMetres(hxText)},
         {std::string(rod_height::kDistanceName) + "（下式记作 d）", typedMetres(distanceText)}},
        classIndex);

    const std::string hr_ = inputText(hr);
    std::vector<Step> steps;
    steps.push_back({"被保护物高度处的中间量 q", "q", "√(hx·(2hr - hx))",
                     "√(" + operandText(hx) + " × (2 × " + hr_ + " - " + operandText(hx) + "))",
                     metres(q)});
    steps.push_back({"中间量 A", "A", "d + q", inputText(d) + " + " + carriedText(q), metres(a)});
    steps.push_back(
        {"判别式 Δ", "Δ", "(2hr)² - 4A²",
         "(2 × " + hr_ + ")² - 4 × " + (a < 0 ? "(" + carriedText(a) + ")" : carriedText(a)) + "²",
         lengthText(discriminant) + " m²"});
    const std::string root = "√" + carriedText(discriminant);
    steps.push_back({"较大的针高 x1", "x1", "(2hr + √Δ) / 2",
                     "(2 × " + hr_ + " + " + root + ") / 2", metres(ok.x1)});
    steps.push_back({"较小的针高 x2", "x2", "(2hr - √Δ) / 2",
                     "(2 × " + hr_ + " - " + root + ") / 2", metres(ok.x2)});
    sheet.sections.push_back({std::string(kCalculationHeading), {std::move(steps)}});

    sheet.sections.push_back({std::string(kResultHeading),
                              {std::vector<Entry>{{"x1（较大的针高）", metres(ok.x1)},
                                                  {"x2（较小的针高）", metres(ok.x2)}}}});

    std::vector<Block> conclusion;
    conclusion.push_back(
        Paragraph{"针高 x1 = " + metres(ok.x1) + " 与 x2 = " + metres(ok.x2) + " 都使距针 " +
                  inputText(d) + " m 处高 " + inputText(hx) +
                  " m 的被保护物恰好处在保护范围的边界上（在 hx 高度上的保护半径正好等于 d）。"});
    if (ok.x1 > ok.x2) {
        conclusion.push_back(Paragraph{
            "通常取较小的 x2 = " + metres(ok.x2) + "，它不超过滚球半径 hr = " + hr_ +
            " m；x1 大于 hr，而针高超过 hr 时按 hr 计算保护范围，加高到 x1 并不扩大保护范围。"
            "针高不低于 x2 时，被保护物都处在保护范围之内。"});
    } else {
        conclusion.push_back(Paragraph{"两个针高相等，都等于滚球半径 hr = " + hr_ +
                                       " m：被保护物只在此针高下恰好受到保护。"});
    }
    if (d < 0)
        conclusion.push_back(
            Paragraph{"距离输入为负值，没有实际意义；以上只是公式的解，不能据此选定针高。"});
    sheet.sections.push_back({std::string(kConclusionHeading), std::move(conclusion)});

    sheet.drawing.views.push_back(section(hx, d, hr, ok));
}

} // namespace

Sheet rodHeightSheet(std::string_view hxText, std::string_view distanceText,
                     std::int16_t classIndex, std::string date)
{
    using namespace rod_height;
    Sheet sheet = newSheet(kRodHeightSheetName, std::move(date));
    const RodHeightOutcome outcome = computeRodHeight(hxText, distanceText, classIndex);
    visitOutcome(sheet, outcome, kNoDrawing,
                 [&](const RodHeightOk &ok) { fill(sheet, hxText, distanceText, classIndex, ok); });
    return sheet;
}

} // namespace calc
