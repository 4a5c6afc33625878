#include "sheets/sheet.h"

#include <string_view>

namespace calc::sheet {
namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

void appendBlock(std::string &text, const Block &block)
{
    std::visit(Overloaded{
                   [&](const Paragraph &paragraph) { text += "  " + paragraph.text + "\n"; },
                   [&](const std::vector<Entry> &entries) {
                       for (const Entry &entry : entries)
                           text += "  " + entry.label + "：" + entry.value + "\n";
                   },
                   [&](const std::vector<Step> &steps) {
                       int n = 0;
                       for (const Step &step : steps) {
                           text += "  " + std::to_string(++n) + ". " + step.what + "\n";
                           text += "     " + step.symbol + " = " + step.formula + "\n";
                           text += "     = " + step.substituted + "\n";
                           text += "     = " + step.value + "\n";
                       }
                   },
                   [&](const Table &table) {
                       const auto row = [&](const std::vector<std::string> &cells) {
                           text += "  ";
                           for (std::size_t i = 0; i < cells.size(); ++i)
                               text += (i > 0 ? " | " : "") + cells[i];
                           text += "\n";
                       };
                       row(table.header);
                       for (const auto &cells : table.rows) row(cells);
                   },
               },
               block);
}

} // namespace

std::string sectionNumber(std::size_t index)
{
    static constexpr std::string_view digits[] = {"",   "一", "二", "三", "四",
                                                  "五", "六", "七", "八", "九"};
    const std::size_t n = index + 1;
    std::string text;
    if (n >= 100) return std::to_string(n) + "、";
    if (n >= 10) {
        if (n >= 20) text += digits[n / 10];
        text += "十";
    }
    text += digits[n % 10];
    return text + "、";
}

std::string plainText(const Sheet &sheet)
{
    std::string text = sheet.title + "\n";
    text += "日期：" + sheet.date + "\n";
    for (std::size_t i = 0; i < sheet.sections.size(); ++i) {
        const Section &section = sheet.sections[i];
        text += "\n" + sectionNumber(i) + section.heading + "\n";
        for (const Block &block : section.blocks) appendBlock(text, block);
    }
    text += "\n";
    if (sheet.drawing.views.empty()) {
        text += "附图：" + sheet.drawing.emptyReason + "\n";
    } else {
        text += "附图：";
        for (std::size_t i = 0; i < sheet.drawing.views.size(); ++i)
            text += (i > 0 ? "；" : "") + sheet.drawing.views[i].title;
        text += "\n";
    }
    return text;
}

const Section *findSection(const Sheet &sheet, std::string_view heading)
{
    for (const Section &section : sheet.sections)
        if (section.heading == heading) return &section;
    return nullptr;
}

} // namespace calc::sheet
