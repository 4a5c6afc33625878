#include "designer/layout_edits.h"

#include "designer/layout_tables.h"

#include <algorithm>
#include <cmath>

namespace designer {

using calc::layout::Layout;
using calc::layout::Rod;
using calc::layout::Wire;

namespace {

bool withinSite(double x, double y)
{
    return std::abs(x) <= kMaxCoordinate && std::abs(y) <= kMaxCoordinate;
}

bool validIndex(int index, std::size_t size)
{
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

EditResult refused(const QString &why) { return {std::nullopt, why}; }

} // namespace

EditResult withDrawnWire(const Layout &layout, QPointF from, QPointF to)
{
    if (from == to) return refused(QStringLiteral("避雷线两端重合，未添加避雷线"));
    if (!withinSite(from.x(), from.y()) || !withinSite(to.x(), to.y()))
        return refused(QStringLiteral("端点超出场地范围，未添加避雷线"));
    double za = calc::layout::kNewWireHeight, zb = calc::layout::kNewWireHeight;
    for (const auto &c : layout.conductors)
        if (const auto *w = std::get_if<Wire>(&c)) {
            za = w->a.z;
            zb = w->b.z;
        }
    Layout after = layout;
    after.conductors.push_back(Wire{{from.x(), from.y(), za}, {to.x(), to.y(), zb}});
    return {after, {}};
}

std::optional<Layout> withMoved(const Layout &layout, const QList<int> &conductors,
                                const QList<int> &objects, QPointF offset)
{
    Layout after = layout;
    const auto shift = [&](double &x, double &y) {
        x += offset.x();
        y += offset.y();
        return withinSite(x, y);
    };
    for (int i : conductors) {
        if (!validIndex(i, after.conductors.size())) return std::nullopt;
        auto &c = after.conductors[static_cast<std::size_t>(i)];
        if (auto *rod = std::get_if<Rod>(&c)) {
            if (!shift(rod->x, rod->y)) return std::nullopt;
        } else {
            auto &w = std::get<Wire>(c);
            if (!shift(w.a.x, w.a.y) || !shift(w.b.x, w.b.y)) return std::nullopt;
        }
    }
    for (int i : objects) {
        if (!validIndex(i, after.objects.size())) return std::nullopt;
        for (auto &corner : after.objects[static_cast<std::size_t>(i)].footprint)
            if (!shift(corner.x, corner.y)) return std::nullopt;
    }
    return after;
}

EditResult withCornerMoved(const Layout &layout, int object, int corner, QPointF at)
{
    if (!validIndex(object, layout.objects.size()))
        return refused(QStringLiteral("未修改被保护物轮廓"));
    Layout after = layout;
    auto &footprint = after.objects[static_cast<std::size_t>(object)].footprint;
    if (!validIndex(corner, footprint.size())) return refused(QStringLiteral("未修改被保护物轮廓"));
    if (!withinSite(at.x(), at.y()))
        return refused(QStringLiteral("轮廓超出场地范围，未修改被保护物轮廓"));
    footprint[static_cast<std::size_t>(corner)] = {at.x(), at.y()};
    if (!calc::layout::isSimplePolygon(footprint))
        return refused(QStringLiteral("轮廓自相交，未修改被保护物轮廓"));
    return {after, {}};
}

Layout withoutItems(const Layout &layout, QList<int> conductors, QList<int> objects)
{
    // From the last to the first, so that each index still names its item.
    const auto erase = [](auto &items, QList<int> &indices) {
        std::sort(indices.begin(), indices.end(), std::greater<>());
        indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
        for (int i : indices)
            if (validIndex(i, items.size())) items.erase(items.begin() + i);
    };
    Layout after = layout;
    erase(after.conductors, conductors);
    erase(after.objects, objects);
    return after;
}

QString moveName(const Layout &layout, const QList<int> &conductors, const QList<int> &objects)
{
    if (conductors.size() + objects.size() != 1) return QStringLiteral("移动所选");
    if (!objects.isEmpty()) return QStringLiteral("移动被保护物");
    const int i = conductors.front();
    const bool rod = validIndex(i, layout.conductors.size()) &&
                     std::holds_alternative<Rod>(layout.conductors[static_cast<std::size_t>(i)]);
    return rod ? QStringLiteral("移动避雷针") : QStringLiteral("移动避雷线");
}

} // namespace designer
