#pragma once

#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Pieces that the sheets of the four calculations share.
namespace calc::sheet::parts {

// The drawing types every sheet's builder draws with.
using drawing::Ink;
using drawing::Path;
using drawing::Side;
using drawing::Vec2;

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

inline constexpr std::string_view kRollingSphereBasis =
    "《建筑物防雷设计规范》GB 50057-2010 附录D：用滚球法确定接闪器（避雷针）的保护范围。";

// Visits an outcome with the given handlers; every alternative none of them
// takes is an error kind, and makes the sheet one of that error (setError) with
// noDrawing as the drawing's reason.
template <class Outcome, class... Handlers>
void visitOutcome(Sheet &sheet, const Outcome &outcome, std::string_view noDrawing,
                  Handlers... handlers);

// A sheet with its title, name and date and nothing else yet.
Sheet newSheet(std::string_view calculationName, std::string date);

// Makes the sheet one of an error outcome: the message under 结果, no numbers,
// and a drawing that says in words why there is none.
void setError(Sheet &sheet, std::string_view message, std::string_view drawingReason);

// "10 m": a field's text exactly as typed, with the unit.
std::string typedMetres(std::string_view text);

// "51.962 m": a computed length.
std::string metres(double x);

// The class list's entry and its hr; for no valid entry, says so and gives hr 0.
std::vector<Entry> classEntries(std::int16_t classIndex);

// A rod's height as the sheet computes with it: the typed one, or hr when the
// typed one is taller.
struct RodHeight {
    double typed;
    double h;
    bool limited;
};
RodHeight rodHeight(double typed, int hr);

// The 计算依据 section: the rolling-sphere basis, then what this calculation adds.
void addRollingSphereBasis(Sheet &sheet, std::string_view rest);

// The 已知条件 section: the calculation's own entries, then the class and its hr.
void addInputs(Sheet &sheet, std::vector<Entry> inputs, std::int16_t classIndex);

// The first steps and the first conclusion of a sheet with a rod: the limit to
// hr when the rod is taller, else nothing.
std::vector<Step> openingSteps(const RodHeight &rod, int hr);
std::vector<Block> openingConclusion(const RodHeight &rod, int hr);

// The step that limits a rod taller than hr to hr.
Step rodLimitStep(double typedHeight, int hr);

// The conclusion for a rod taller than hr.
Paragraph rodLimitConclusion(double typedHeight, int hr);

// One rod of height h (at most hr) at x = rodX seen in a vertical section: its
// zone (filled), the two arcs from the tip to the ground at rodX ± ro and the
// rod itself, appended to view.
void addRodSection(drawing::View &view, double rodX, double h, int hr);

// A dimension line from a to b with arrows at both ends and its text at the
// middle on the given side.
void addDimension(drawing::View &view, drawing::Vec2 a, drawing::Vec2 b, std::string text,
                  drawing::Side side);

// The ground line from x0 to x1.
void addGround(drawing::View &view, double x0, double x1);

template <class Outcome, class... Handlers>
void visitOutcome(Sheet &sheet, const Outcome &outcome, std::string_view noDrawing,
                  Handlers... handlers)
{
    std::visit(Overloaded{handlers...,
                          [&](const auto &kind) { setError(sheet, kind.message, noDrawing); }},
               outcome);
}

} // namespace calc::sheet::parts
