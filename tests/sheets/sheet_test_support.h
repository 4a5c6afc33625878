#pragma once

#include "sheets/sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Lookups into a built sheet, so that the tests read like the sheet does.
namespace sheet_test {

using namespace calc::sheet;
using calc::drawing::Ink;
using calc::drawing::Path;
using calc::drawing::Vec2;
using calc::drawing::View;

// Every step of every section, in order.
inline std::vector<Step> allSteps(const Sheet &sheet)
{
    std::vector<Step> steps;
    for (const Section &section : sheet.sections)
        for (const Block &block : section.blocks)
            if (const auto *list = std::get_if<std::vector<Step>>(&block))
                steps.insert(steps.end(), list->begin(), list->end());
    return steps;
}

// The value of the step with this symbol, or "(none)".
inline std::string stepValue(const Sheet &sheet, std::string_view symbol)
{
    for (const Step &step : allSteps(sheet))
        if (step.symbol == symbol) return step.value;
    return "(none)";
}

inline std::optional<Step> findStep(const Sheet &sheet, std::string_view symbol)
{
    for (const Step &step : allSteps(sheet))
        if (step.symbol == symbol) return step;
    return std::nullopt;
}

// The value of the first entry under the heading whose label starts with prefix.
inline std::string entryValue(const Sheet &sheet, std::string_view heading, std::string_view prefix)
{
    if (const Section *section = findSection(sheet, heading))
        for (const Block &block : section->blocks)
            if (const auto *entries = std::get_if<std::vector<Entry>>(&block))
                for (const Entry &entry : *entries)
                    if (entry.label.starts_with(prefix)) return entry.value;
    return "(none)";
}

// The paragraphs of a section joined into one text.
inline std::string paragraphs(const Sheet &sheet, std::string_view heading)
{
    std::string text;
    if (const Section *section = findSection(sheet, heading))
        for (const Block &block : section->blocks)
            if (const auto *paragraph = std::get_if<Paragraph>(&block)) text += paragraph->text;
    return text;
}

inline bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

// Everything a reader can see: the plain text and every text of the drawing.
inline std::string everyText(const Sheet &sheet)
{
    std::string text = plainText(sheet);
    for (const View &view : sheet.drawing.views) {
        text += view.title + "\n";
        for (const auto &label : view.labels) text += label.text + "\n";
    }
    return text;
}

inline std::vector<const Path *> pathsOf(const View &view, Ink ink)
{
    std::vector<const Path *> found;
    for (const Path &path : view.paths)
        if (path.ink == ink) found.push_back(&path);
    return found;
}

inline bool near(Vec2 a, Vec2 b, double tolerance = 1e-9)
{
    return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

// The largest distance from centre of any point of the path, minus radius, in size.
inline double radiusError(const Path &path, Vec2 centre, double radius)
{
    double worst = 0;
    for (Vec2 p : path.points)
        worst = std::max(worst, std::abs(std::hypot(p.x - centre.x, p.y - centre.y) - radius));
    return worst;
}

} // namespace sheet_test
