#pragma once

#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

// Pieces that the sheets of the four calculations share.
namespace calc::sheet::parts {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

inline constexpr std::string_view kRollingSphereBasis =
    "《建筑物防雷设计规范》GB 50057-2010 附录D：用滚球法确定接闪器（避雷针）的保护范围。";

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

} // namespace calc::sheet::parts
