#pragma once

#include "sheets/drawing.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A calculation sheet as plain data: what an engineer hands in with a design
// (basis, inputs, each formula with its values, results, conclusion, drawing).
// Layouts for the screen, paper, PDF and the clipboard are built from it; texts
// are UTF-8 and every number in them is already written out.
namespace calc::sheet {

struct Paragraph {
    std::string text;
};

// "被保护物高度 hx" | "10 m"
struct Entry {
    std::string label;
    std::string value;
};

// One formula, laid out as "symbol = formula = substituted = value": what it
// gives ("避雷针在地面上的保护半径 ro"), the symbol ("ro"), the formula
// ("√(h·(2hr - h))"), the formula with the numbers put in ("√(30 × (2 × 60 - 30))")
// and the value with its unit ("51.962 m").
struct Step {
    std::string what;
    std::string symbol;
    std::string formula;
    std::string substituted;
    std::string value;
};

struct Table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows; // each as long as the header
};

using Block = std::variant<Paragraph, std::vector<Entry>, std::vector<Step>, Table>;

// Section headings, in the order in which they appear where present. A layout
// numbers the sections in order (sectionNumber).
inline constexpr std::string_view kBasisHeading = "依据";
inline constexpr std::string_view kInputHeading = "输入";
inline constexpr std::string_view kCalculationHeading = "计算";
inline constexpr std::string_view kResultHeading = "结果";
inline constexpr std::string_view kConclusionHeading = "结论";
inline constexpr std::string_view kCrossCheckHeading = "核对（GB 50057-2010）";

struct Section {
    std::string heading;
    std::vector<Block> blocks;
};

struct Sheet {
    std::string title; // "单根避雷针保护范围计算书": calculationName + "计算书"
    std::string calculationName; // "单根避雷针保护范围"; the PDF is "<name>计算书.pdf"
    std::string date;            // as the caller passed it, e.g. "2026-12-07"
    std::vector<Section> sections;
    // The error outcome's message when the inputs give no numbers; the sections
    // already show it, this is for a layout that marks the sheet as such.
    std::optional<std::string> error;
    drawing::Drawing drawing;
};

// "一、", "二、", … "十、", "十一、": the number of the index-th section (from 0).
std::string sectionNumber(std::size_t index);

// The sheet as plain text for the clipboard, readable in a plain editor: title,
// date, numbered sections, steps as "symbol = formula", "= substituted", "= value", tables
// with cells separated by " | ", and a line naming the figures or why there
// are none. Lines end with "\n".
std::string plainText(const Sheet &sheet);

// The section with this heading, or nullptr.
const Section *findSection(const Sheet &sheet, std::string_view heading);

} // namespace calc::sheet
