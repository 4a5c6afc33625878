#include "rendering/sheet_rendering.h"

#include "calc/visit.h"

#include <QStringList>

#include <optional>
#include <string>
#include <variant>

namespace rendering {

namespace {

using namespace calc::sheet;

// Every text of the sheet goes in escaped: it may hold what the user typed.
QString text(const std::string &s) { return QString::fromStdString(s).toHtmlEscaped(); }

QString cell(const std::string &s, const char *attributes = "")
{
    return QStringLiteral("<td%1>%2</td>").arg(QString::fromLatin1(attributes), text(s));
}

QString entriesHtml(const std::vector<Entry> &entries)
{
    QString html =
        QStringLiteral("<table class=\"entries\" width=\"100%\" border=\"1\" "
                       "cellspacing=\"0\" cellpadding=\"4\" style=\"border-collapse: collapse;\">");
    for (const Entry &entry : entries)
        html += QStringLiteral("<tr>") + cell(entry.label, " width=\"45%\"") + cell(entry.value) +
                QStringLiteral("</tr>");
    return html + QStringLiteral("</table>");
}

// Each step as an engineer writes it: what it gives, then
//   ro = √(h·(2hr - h))
//      = √(30 × (2 × 60 - 30))
//      = 51.962 m
// with the equals signs one under the other.
QString stepsHtml(const std::vector<Step> &steps)
{
    QString html = QStringLiteral("<table class=\"steps\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const Step &step : steps) {
        html += QStringLiteral("<tr><td colspan=\"2\" class=\"what\">") + text(step.what) +
                QStringLiteral("：</td></tr>");
        html += QStringLiteral("<tr><td align=\"right\" class=\"symbol\">") + text(step.symbol) +
                QStringLiteral("</td><td>= ") + text(step.formula) + QStringLiteral("</td></tr>");
        if (!step.substituted.empty() && step.substituted != step.formula)
            html += QStringLiteral("<tr><td></td><td>= ") + text(step.substituted) +
                    QStringLiteral("</td></tr>");
        html += QStringLiteral("<tr><td></td><td>= <b>") + text(step.value) +
                QStringLiteral("</b></td></tr>");
    }
    return html + QStringLiteral("</table>");
}

QString tableHtml(const Table &table)
{
    QString html =
        QStringLiteral("<table class=\"grid\" width=\"100%\" border=\"1\" cellspacing=\"0\" "
                       "cellpadding=\"4\" style=\"border-collapse: collapse;\">");
    html += QStringLiteral("<tr>");
    for (const std::string &head : table.header) html += cell(head, " class=\"head\"");
    html += QStringLiteral("</tr>");
    for (const auto &row : table.rows) {
        html += QStringLiteral("<tr>");
        for (const std::string &value : row) html += cell(value);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// A paragraph that states the error outcome's message stands out in red.
QString blockHtml(const Block &block, const std::optional<std::string> &error)
{
    return std::visit(
        calc::Overloaded{
            [&](const Paragraph &p) {
                const bool states = error && p.text.find(*error) != std::string::npos;
                return (states ? QStringLiteral("<p style=\"color: #c00000; font-weight: bold;\">")
                               : QStringLiteral("<p>")) +
                       text(p.text) + QStringLiteral("</p>");
            },
            [](const std::vector<Entry> &entries) { return entriesHtml(entries); },
            [](const std::vector<Step> &steps) { return stepsHtml(steps); },
            [](const Table &table) { return tableHtml(table); }},
        block);
}

QString figuresHtml(const calc::drawing::Drawing &drawing, const QString &drawingSource)
{
    QStringList titles;
    for (const auto &view : drawing.views) titles << text(view.title);
    QString html =
        QStringLiteral("<p class=\"figures\">附图：") +
        (titles.isEmpty() ? text(drawing.emptyReason) : titles.join(QStringLiteral("；"))) +
        QStringLiteral("</p>");
    if (!drawingSource.isEmpty())
        html += QStringLiteral("<p align=\"center\"><img src=\"%1\"></p>")
                    .arg(drawingSource.toHtmlEscaped());
    return html;
}

// The head of a sheet's HTML document, with the styles of its headings, steps and tables.
QString documentHead(const std::string &title)
{
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title><style>"
                          "h1 { font-size: x-large; text-align: center; margin-bottom: 0.2em; }"
                          "h2 { font-size: large; margin-top: 1em; margin-bottom: 0.4em; }"
                          "p.date { text-align: center; }"

                          "td.what { padding-top: 0.5em; }"
                          "td.symbol { white-space: nowrap; }"
                          "td.head { font-weight: bold; background-color: #eeeeee; }"
                          "</style></head><body>")
        .arg(text(title));
}

} // namespace

QString sheetHtml(const Sheet &sheet, const QString &drawingSource)
{
    QString html = documentHead(sheet.title);
    html += QStringLiteral("<h1 align=\"center\">") + text(sheet.title) + QStringLiteral("</h1>");
    if (!sheet.date.empty())
        html += QStringLiteral("<p class=\"date\" align=\"center\">日期：") + text(sheet.date) +
                QStringLiteral("</p>");
    for (std::size_t i = 0; i < sheet.sections.size(); ++i) {
        const Section &section = sheet.sections[i];
        html += QStringLiteral("<h2>") + text(sectionNumber(i)) + text(section.heading) +
                QStringLiteral("</h2>");
        for (const Block &block : section.blocks) html += blockHtml(block, sheet.error);
    }
    html += figuresHtml(sheet.drawing, drawingSource);
    return html + QStringLiteral("</body></html>");
}

QString blocksHtml(const std::vector<Block> &blocks)
{
    QString html = documentHead({});
    for (const Block &block : blocks) html += blockHtml(block, std::nullopt);
    return html + QStringLiteral("</body></html>");
}

} // namespace rendering
