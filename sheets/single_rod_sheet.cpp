#include "sheets/single_rod_sheet.h"

#include "sheets/sheet_format.h"
#include "sheets/sheet_parts.h"
#include "calc/single_rod.h"

#include <algorithm>
#include <cmath>

namespace calc {

using namespace sheet;
using namespace sheet::parts;

namespace {

constexpr std::string_view kNoDrawing = "当前输入没有计算结果，不能绘制保护范围图。";

std::string rootText(double h, int hr)
{
    return "√(" + operandText(h) + " × (2 × " + inputText(hr) + " - " + operandText(h) + "))";
}

drawing::View section(double hx, double h, int hr, const single_rod::SingleRodOk &ok)
{
    drawing::View view;
    view.title = "单根避雷针保护范围剖面图（滚球半径 hr = " + inputText(hr) + " m）";
    const double size = std::max({ok.ro, h, hx, 1.0});
    const double reach = std::max(ok.ro, std::abs(ok.rx)) + 0.2 * size;
    addGround(view, -reach, reach);
    addRodSection(view, 0, h, hr);

    // The object: a column whose outer top corner lies on the zone's boundary at
    // hx, or, when it is taller than the rod, a column beside the rod in red.
    const bool outside = ok.hxAboveH || !(ok.rx > 0);
    const double width = 0.1 * size;
    const double outer = outside ? 0.3 * size + width : std::max(ok.rx, 0.0);
    const double inner = std::max(outer - width, 0.0);
    view.paths.push_back(Path{{{inner, 0}, {inner, hx}, {outer, hx}, {outer, 0}},
                              outside ? Ink::ObjectOutside : Ink::Object,
                              true});
    view.labels.push_back({{outer, hx},
                           "被保护物 hx = " + metres(hx),
                           outside ? Ink::ObjectOutside : Ink::Object,
                           Side::AboveRight});

    // The level of hx across the drawing, and rx along it where it is a radius.
    Path level{{{-reach, hx}, {reach, hx}}, Ink::Construction};
    level.dashed = true;
    view.paths.push_back(std::move(level));
    if (!outside && ok.rx > 0) {
        addDimension(view, {0, hx}, {ok.rx, hx}, "rx = " + metres(ok.rx), Side::Above);
    } else {
        view.labels.push_back({{-reach, hx},
                               "rx = " + metres(ok.rx) + "（不受保护）",
                               Ink::ObjectOutside,
                               Side::AboveRight});
    }

    const double below = -0.08 * size;
    addDimension(view, {0, below}, {ok.ro, below}, "ro = " + metres(ok.ro), Side::Below);
    view.labels.push_back({{0, h}, "h = " + metres(h), Ink::Rod, Side::AboveLeft});
    view.bounds = drawing::boundsOf(view);
    return view;
}

void fill(Sheet &sheet, std::string_view hxText, std::string_view hText, std::int16_t classIndex,
          const single_rod::SingleRodOk &ok)
{
    const double hx = numberFromText(hxText);
    const int hr = rollingSphereRadius(classIndex);
    const RodHeight rod = rodHeight(numberFromText(hText), hr);
    const double h = rod.h;

    addRollingSphereBasis(
        sheet, "单支避雷针：ro = √(h·(2hr - h))，rx = √(h·(2hr - h)) - √(hx·(2hr - hx))；"
               "针高 h 大于滚球半径 hr 时按 h = hr 计算。");
    addInputs(sheet,
              {{std::string(single_rod::kHxName), typedMetres(hxText)},
               {std::string(single_rod::kHName), typedMetres(hText)}},
              classIndex);

    std::vector<Step> steps = openingSteps(rod, hr);
    steps.push_back(
        {"避雷针在地面上的保护半径 ro", "ro", "√(h·(2hr - h))", rootText(h, hr), metres(ok.ro)});
    steps.push_back({"避雷针在 hx 高度的 xx' 平面上的保护半径 rx", "rx",
                     "√(h·(2hr - h)) - √(hx·(2hr - hx))",
                     rootText(h, hr) + " - " + rootText(hx, hr), metres(ok.rx)});
    sheet.sections.push_back({std::string(kCalculationHeading), {std::move(steps)}});

    sheet.sections.push_back(
        {std::string(kResultHeading),
         {std::vector<Entry>{{"rx（避雷针在hx高度的xx'平面上的保护半径）", metres(ok.rx)},
                             {"ro（避雷针在地面上的保护半径）", metres(ok.ro)}}}});

    std::vector<Block> conclusion = openingConclusion(rod, hr);
    const std::string hxSaid = "被保护物高度 hx = " + inputText(hx) + " m";
    const std::string hSaid = "避雷针计算高度 h = " + inputText(h) + " m";
    if (ok.hxAboveH && ok.rx < 0) {
        conclusion.push_back(
            Paragraph{hxSaid + " 大于" + hSaid + "，rx = " + metres(ok.rx) +
                      " 为负值：被保护物在其高度上不受此针保护，应加高避雷针或另设接闪器。"});
    } else if (ok.hxAboveH) {
        conclusion.push_back(Paragraph{hxSaid + " 大于" + hSaid +
                                       "：被保护物在其高度上不受此针保护；公式给出的 rx = " +
                                       metres(ok.rx) + " 不是保护半径。"});
    } else if (!(ok.rx > 0)) {
        conclusion.push_back(
            Paragraph{hxSaid + " 与" + hSaid +
                      " 相同，在 hx 高度上保护半径为零：被保护物在其高度上不受此针保护。"});
    } else {
        conclusion.push_back(Paragraph{
            "在 hx = " + inputText(hx) + " m 的高度上，距针水平距离不大于 rx = " + metres(ok.rx) +
            " 的范围受此针保护；地面上的保护半径为 ro = " + metres(ok.ro) +
            "。被保护物在 hx 高度上的各点都在半径 rx 之内时，即处在保护范围之内。"});
    }
    sheet.sections.push_back({std::string(kConclusionHeading), std::move(conclusion)});

    sheet.drawing.views.push_back(section(hx, h, hr, ok));
}

} // namespace

Sheet singleRodSheet(std::string_view hxText, std::string_view hText, std::int16_t classIndex,
                     std::string date)
{
    using namespace single_rod;
    Sheet sheet = newSheet(kSingleRodSheetName, std::move(date));
    const SingleRodOutcome outcome =
        computeSingleRod(hxText, hText, classIndex, ResultTextStyle::RoundToThree);
    visitOutcome(sheet, outcome, kNoDrawing,
                 [&](const SingleRodOk &ok) { fill(sheet, hxText, hText, classIndex, ok); });
    return sheet;
}

} // namespace calc
