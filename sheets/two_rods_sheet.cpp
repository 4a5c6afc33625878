#include "sheets/two_rods_sheet.h"

#include "calc/numeric.h"
#include "sheets/sheet_format.h"
#include "sheets/sheet_parts.h"
#include "calc/two_rods.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calc {

using namespace sheet;
using namespace sheet::parts;
using drawing::Turn;

namespace {

constexpr std::string_view kNoDrawing = "当前输入没有计算结果，不能绘制保护范围图。";
constexpr std::string_view kTooFarDrawing =
    "两针相距过远，不构成联合保护，没有联合保护范围图；请按单支避雷针方法计算。";
constexpr std::string_view kTooFarConclusion =
    "两针间距离不小于单支针地面保护半径 ro 的两倍，两针不能形成联合保护，"
    "应按单支避雷针方法分别计算每支针的保护范围。";

drawing::View section(double h, double d, int hr, double ro, const two_rods::TwoRodsOk &ok)
{
    const double a = std::abs(d) / 2;
    drawing::View view;
    view.title = "双根等高避雷针保护范围剖面图（通过两针的竖直面，hr = " + inputText(hr) + " m）";
    const double size = std::max({a + ro, h, 1.0});
    addGround(view, -a - ro - 0.15 * size, a + ro + 0.15 * size);

    const Vec2 leftTip{-a, h};
    const Vec2 rightTip{a, h};
    const Vec2 leftFoot{-a - ro, 0};
    const Vec2 rightFoot{a + ro, 0};
    const double hrMetres = hr;
    // Outside the rods each rod's own arc; between them the section of the
    // sphere that rests on the ground and touches both tips: centre hr above
    // the middle, lowest point hx.
    std::vector<Vec2> left =
        drawing::arcBetween({-a - ro, hrMetres}, hr, leftFoot, leftTip, Turn::Anticlockwise);
    const double middleRadius = std::sqrt((hr - h) * (hr - h) + a * a);
    // In two halves, so that the lowest point (0, hx) is a point of the path.
    const Vec2 lowest{0, ok.hx};
    std::vector<Vec2> middle =
        drawing::arcBetween({0, hrMetres}, middleRadius, leftTip, lowest, Turn::Anticlockwise);
    const std::vector<Vec2> rising =
        drawing::arcBetween({0, hrMetres}, middleRadius, lowest, rightTip, Turn::Anticlockwise);
    middle.insert(middle.end(), rising.begin() + 1, rising.end());
    std::vector<Vec2> right =
        drawing::arcBetween({a + ro, hrMetres}, hr, rightTip, rightFoot, Turn::Anticlockwise);

    Path zone{left, Ink::ZoneFill, true, true};
    zone.points.insert(zone.points.end(), middle.begin() + 1, middle.end());
    zone.points.insert(zone.points.end(), right.begin() + 1, right.end());
    view.paths.push_back(std::move(zone));
    view.paths.push_back(Path{std::move(left), Ink::Arc});
    view.paths.push_back(Path{std::move(middle), Ink::Arc});
    view.paths.push_back(Path{std::move(right), Ink::Arc});
    view.paths.push_back(Path{{{-a, 0}, leftTip}, Ink::Rod});
    view.paths.push_back(Path{{{a, 0}, rightTip}, Ink::Rod});

    view.labels.push_back({leftTip, "h = " + metres(h), Ink::Rod, Side::AboveLeft});
    addDimension(view, {0, 0}, {0, ok.hx}, "hx = " + metres(ok.hx), Side::Right);
    const double below = -0.08 * size;
    addDimension(view, {-a, below}, {a, below}, "D = " + metres(2 * a), Side::Below);
    view.bounds = drawing::boundsOf(view);
    return view;
}

drawing::View plan(double d, double ro, const two_rods::TwoRodsOk &ok)
{
    const double a = std::abs(d) / 2;
    drawing::View view;
    view.title = "地面保护范围平面图";
    // The two ground circles cross at the middle, bo either side of it; their
    // union is the protected ground.
    const double phi = std::atan2(ok.bo, a);
    const double pi = std::numbers::pi;
    Path zone{drawing::arcPoints({-a, 0}, ro, phi, 2 * pi - phi), Ink::ZoneFill, true, true};
    const std::vector<Vec2> right = drawing::arcPoints({a, 0}, ro, phi - pi, pi - phi);
    zone.points.insert(zone.points.end(), right.begin(), right.end());
    view.paths.push_back(std::move(zone));
    Path leftCircle{drawing::arcPoints({-a, 0}, ro, 0, 2 * pi), Ink::Arc, true};
    Path rightCircle{drawing::arcPoints({a, 0}, ro, 0, 2 * pi), Ink::Arc, true};
    view.paths.push_back(std::move(leftCircle));
    view.paths.push_back(std::move(rightCircle));
    Path axis{{{-a - ro, 0}, {a + ro, 0}}, Ink::Construction};
    axis.dashed = true;
    view.paths.push_back(std::move(axis));
    addDimension(view, {0, 0}, {0, ok.bo}, "bo = " + metres(ok.bo), Side::Right);
    view.markers.push_back({{-a, 0}, Ink::Rod});
    view.markers.push_back({{a, 0}, Ink::Rod});
    view.labels.push_back({{-a - ro, 0}, "ro = " + metres(ro), Ink::Arc, Side::AboveLeft});
    view.bounds = drawing::boundsOf(view);
    return view;
}

void fill(Sheet &sheet, std::string_view hText, std::string_view dText, std::int16_t classIndex,
          const two_rods::TwoRodsOk &ok)
{
    const double d = numberFromText(dText);
    const int hr = rollingSphereRadius(classIndex);
    const RodHeight rod = rodHeight(numberFromText(hText), hr);
    const double h = rod.h;
    const double ro = std::sqrt((2 * hr - h) * h);

    addRollingSphereBasis(
        sheet, "两支等高避雷针：两针间距离小于单支针地面保护半径 ro 的两倍时构成联合保护；"
               "针高 h 大于滚球半径 hr 时按 h = hr 计算。");
    addInputs(sheet,
              {{std::string(two_rods::kHName), typedMetres(hText)},
               {std::string(two_rods::kDName), typedMetres(dText)}},
              classIndex);

    const std::string h_ = operandText(h);
    const std::string hr_ = inputText(hr);
    const std::string half = "(" + operandText(d) + " / 2)²";
    std::vector<Step> steps = openingSteps(rod, hr);
    steps.push_back({"单支针地面上的保护半径 ro", "ro", "√(h·(2hr - h))",
                     "√(" + h_ + " × (2 × " + hr_ + " - " + h_ + "))", metres(ro)});
    steps.push_back({"联合保护的界限 2ro（|D| 小于它时构成联合保护）", "2ro", "2√(h·(2hr - h))",
                     "2 × " + carriedText(ro), metres(2 * ro)});
    steps.push_back({"两针中点处地面上保护范围的一侧宽度 bo", "bo", "√(h·(2hr - h) - (D/2)²)",
                     "√(" + h_ + " × (2 × " + hr_ + " - " + h_ + ") - " + half + ")",
                     metres(ok.bo)});
    steps.push_back({"两针中点处保护范围上边线的高度 hx", "hx", "hr - √((hr - h)² + (D/2)²)",
                     hr_ + " - √((" + hr_ + " - " + h_ + ")² + " + half + ")", metres(ok.hx)});
    sheet.sections.push_back({std::string(kCalculationHeading), {std::move(steps)}});

    sheet.sections.push_back(
        {std::string(kResultHeading),
         {std::vector<Entry>{{"hx（两针中点处保护范围上边线的高度）", metres(ok.hx)},
                             {"bo（两针中点处地面上保护范围的一侧宽度）", metres(ok.bo)},
                             {"ro（单支针地面上的保护半径）", metres(ro)}}}});

    std::vector<Block> conclusion = openingConclusion(rod, hr);
    if (d < 0)
        conclusion.push_back(
            Paragraph{"针间距离输入为负值，按其绝对值 " + inputText(std::abs(d)) + " m 计算。"});
    conclusion.push_back(Paragraph{
        "两针相距 " + inputText(std::abs(d)) + " m，小于 2ro = " + metres(2 * ro) +
        "，构成联合保护。在通过两针的竖直面内，两针之间保护范围的上边线在中点处最低，高 hx = " +
        metres(ok.hx) + "；在地面上，中点处沿两针连线的垂直方向向两侧各 bo = " + metres(ok.bo) +
        " 的范围受到保护。"});
    sheet.sections.push_back({std::string(kConclusionHeading), std::move(conclusion)});

    sheet.drawing.views.push_back(section(h, d, hr, ro, ok));
    sheet.drawing.views.push_back(plan(d, ro, ok));
}

} // namespace

Sheet twoRodsSheet(std::string_view hText, std::string_view dText, std::int16_t classIndex,
                   std::string date)
{
    using namespace two_rods;
    Sheet sheet = newSheet(kTwoRodsSheetName, std::move(date));
    const TwoRodsOutcome outcome = computeTwoRods(hText, dText, classIndex);
    visitOutcome(
        sheet, outcome, kNoDrawing,
        [&](const TwoRodsOk &ok) { fill(sheet, hText, dText, classIndex, ok); },
        [&](const TwoRodsTooFar &kind) {
            setError(sheet, kind.message, kTooFarDrawing);
            sheet.sections.push_back(
                {std::string(kConclusionHeading), {Paragraph{std::string(kTooFarConclusion)}}});
        });
    return sheet;
}

} // namespace calc
