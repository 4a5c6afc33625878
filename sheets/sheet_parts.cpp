#include "sheets/sheet_parts.h"

#include "calc/numeric.h"
#include "sheets/sheet_format.h"

#include <cmath>

namespace calc::sheet::parts {

using drawing::Ink;
using drawing::Path;
using drawing::Turn;
using drawing::Vec2;

Sheet newSheet(std::string_view calculationName, std::string date)
{
    Sheet sheet;
    sheet.calculationName = calculationName;
    sheet.title = sheet.calculationName + "计算书";
    sheet.date = std::move(date);
    return sheet;
}

void setError(Sheet &sheet, std::string_view message, std::string_view drawingReason)
{
    sheet.error = std::string(message);
    sheet.sections.push_back({std::string(kResultHeading),
                              {Paragraph{"当前输入不能得出计算结果：" + std::string(message)}}});
    sheet.drawing.views.clear();
    sheet.drawing.emptyReason = drawingReason;
}

std::string typedMetres(std::string_view text) { return std::string(text) + " m"; }

std::string metres(double x) { return lengthText(x) + " m"; }

std::vector<Entry> classEntries(std::int16_t classIndex)
{
    const int hr = rollingSphereRadius(classIndex);
    if (hr == 0)
        return {{"防雷类别", "未选定（类别框中是输入的文字）"},
                {"滚球半径 hr", "0 m（未选定类别时按 0 计）"}};
    return {
        {"防雷类别", std::string(kProtectionClassEntries[static_cast<std::size_t>(classIndex)])},
        {"滚球半径 hr", inputText(hr) + " m"}};
}

RodHeight rodHeight(double typed, int hr)
{
    const bool limited = typed > hr;
    return {typed, limited ? hr : typed, limited};
}

void addRollingSphereBasis(Sheet &sheet, std::string_view rest)
{
    sheet.sections.push_back({std::string(kBasisHeading),
                              {Paragraph{std::string(kRollingSphereBasis) + std::string(rest)}}});
}

void addInputs(Sheet &sheet, std::vector<Entry> inputs, std::int16_t classIndex)
{
    for (Entry &entry : classEntries(classIndex)) inputs.push_back(std::move(entry));
    sheet.sections.push_back({std::string(kInputHeading), {std::move(inputs)}});
}

std::vector<Step> openingSteps(const RodHeight &rod, int hr)
{
    std::vector<Step> steps;
    if (rod.limited) steps.push_back(rodLimitStep(rod.typed, hr));
    return steps;
}

std::vector<Block> openingConclusion(const RodHeight &rod, int hr)
{
    std::vector<Block> conclusion;
    if (rod.limited) conclusion.push_back(rodLimitConclusion(rod.typed, hr));
    return conclusion;
}

Step rodLimitStep(double typedHeight, int hr)
{
    return {"计算用针高 h（针高大于滚球半径时取 hr）", "h", "hr",
            inputText(hr) + "（输入 " + inputText(typedHeight) + " > " + inputText(hr) + "）",
            metres(hr)};
}

Paragraph rodLimitConclusion(double typedHeight, int hr)
{
    return {"避雷针高度 " + inputText(typedHeight) + " m 大于滚球半径 hr = " + inputText(hr) +
            " m：高出 hr 的部分不增大保护范围，按 h = hr = " + inputText(hr) + " m 计算。"};
}

void addRodSection(drawing::View &view, double rodX, double h, int hr)
{
    const double ro = std::sqrt((2 * hr - h) * h);
    const Vec2 tip{rodX, h};
    const Vec2 leftFoot{rodX - ro, 0};
    const Vec2 rightFoot{rodX + ro, 0};
    // Each arc belongs to the sphere resting on the ground that touches the
    // tip: centre hr above the ground, ro to the side.
    const Vec2 leftCentre{rodX - ro, static_cast<double>(hr)};
    const Vec2 rightCentre{rodX + ro, static_cast<double>(hr)};
    std::vector<Vec2> left =
        drawing::arcBetween(leftCentre, hr, leftFoot, tip, Turn::Anticlockwise);
    std::vector<Vec2> right =
        drawing::arcBetween(rightCentre, hr, tip, rightFoot, Turn::Anticlockwise);

    Path zone{left, Ink::ZoneFill, true, true};
    zone.points.insert(zone.points.end(), right.begin() + 1, right.end());
    view.paths.push_back(std::move(zone));
    view.paths.push_back(Path{std::move(left), Ink::Arc});
    view.paths.push_back(Path{std::move(right), Ink::Arc});
    view.paths.push_back(Path{{{rodX, 0}, tip}, Ink::Rod});
}

void addDimension(drawing::View &view, Vec2 a, Vec2 b, std::string text, drawing::Side side)
{
    Path line{{a, b}, Ink::Dimension};
    line.arrowAtStart = true;
    line.arrowAtEnd = true;
    view.paths.push_back(std::move(line));
    view.labels.push_back(
        {{a.x / 2 + b.x / 2, a.y / 2 + b.y / 2}, std::move(text), Ink::Dimension, side});
}

void addGround(drawing::View &view, double x0, double x1)
{
    view.paths.push_back(Path{{{x0, 0}, {x1, 0}}, Ink::Ground});
}

} // namespace calc::sheet::parts
