#include "dxf/height_text.h"

#include "project/project_file.h"

#include <QRegularExpression>

namespace dxf {

namespace {

const QString kNumber = QStringLiteral("([0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)");

} // namespace

std::optional<HeightText> readHeightText(const QString &raw)
{
    // Full-width digits and signs as their ASCII twins; spaces do not count.
    QString text = raw.normalized(QString::NormalizationForm_KC).simplified();
    text.remove(QLatin1Char(' '));
    if (text.isEmpty()) return std::nullopt;
    using Kind = HeightText::Kind;
    // Metres, said so by a prefix or by the unit.
    static const QRegularExpression prefixed(QStringLiteral("^(?:[Hh]|(?:建筑)?高度?)[=:]?") +
                                             kNumber + QStringLiteral("(?:[mM]|米)?$"));
    static const QRegularExpression unit(QStringLiteral("^") + kNumber +
                                         QStringLiteral("(?:[mM]|米)$"));
    for (const QRegularExpression *re : {&prefixed, &unit})
        if (const auto m = re->match(text); m.hasMatch())
            return HeightText{Kind::Metres, m.captured(1).toDouble()};
    // Storeys: "6F", "6层", "18+1F" (a storey on top counts), "6/-1" and "6F/-1F" (above / below).
    static const QRegularExpression storeys(
        QStringLiteral("^([0-9]+)(?:\\+([0-9]+))?(?:[Ff]|层)$"));
    if (const auto m = storeys.match(text); m.hasMatch())
        return HeightText{Kind::Storeys, m.captured(1).toDouble() + m.captured(2).toDouble()};
    static const QRegularExpression aboveBelow(
        QStringLiteral("^([0-9]+)(?:[Ff]|层)?/-[0-9]+(?:[Ff]|层)?$"));
    if (const auto m = aboveBelow.match(text); m.hasMatch())
        return HeightText{Kind::Storeys, m.captured(1).toDouble()};
    // A bare number: whole, the storeys (or metres, as the rules say); with a decimal point,
    // metres.
    static const QRegularExpression whole(QStringLiteral("^[0-9]+$"));
    if (whole.match(text).hasMatch()) return HeightText{Kind::Bare, text.toDouble()};
    static const QRegularExpression decimal(QStringLiteral("^") + kNumber + QStringLiteral("$"));
    if (const auto m = decimal.match(text); m.hasMatch())
        return HeightText{Kind::Metres, m.captured(1).toDouble()};
    return std::nullopt;
}

std::optional<double> HeightRules::metres(const HeightText &h) const
{
    const bool storeys =
        h.kind == HeightText::Kind::Storeys || (h.kind == HeightText::Kind::Bare && !bareMetres);
    if (storeys && !(h.value >= 1 && h.value <= kMaxStoreys)) return std::nullopt;
    const double m = storeys ? h.value * storeyHeight + parapet : h.value;
    if (!(m > 0 && m <= lplayout::kMaxHeight)) return std::nullopt;
    return m;
}

} // namespace dxf
