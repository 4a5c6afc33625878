#include "dxf/site_collector.h"

#include "dxf/drawing_coordinates.h"
#include "dxf/drawing_text.h"

#include <algorithm>
#include <cmath>

namespace dxf {

QString describe(const Drawing &d, const Source &s)
{
    return describeEntity(d, *s.entity, s.outer, s.layer);
}

std::uint32_t layerNamed(const Drawing &d, const QString &name)
{
    for (std::size_t i = 0; i < d.layers.size(); ++i)
        if (d.layers[i].name == name) return std::uint32_t(i);
    for (std::size_t i = 0; i < d.layers.size(); ++i)
        if (d.layers[i].name.compare(name, Qt::CaseInsensitive) == 0) return std::uint32_t(i);
    QStringList names;
    for (const Layer &layer : d.layers) names.append(layer.name);
    throw Problem{QStringLiteral("图中没有图层「%1」（图中的图层：%2）")
                      .arg(name, names.join(QStringLiteral("、")))};
}

bool Collector::visit(const Placed &p)
{
    const Entity &e = p.entity;
    const Source source{&e, p.outerInsert, p.layer};
    if (e.kind == EntityKind::Text || e.kind == EntityKind::MText) {
        texts.push_back({&e, entityToWorld(d_, p), p.layer});
        return true;
    }
    if (building_[p.layer]) {
        outlines.add(p);
    } else if (p.layer == rods_ && (e.kind == EntityKind::Point || e.kind == EntityKind::Circle ||
                                    e.kind == EntityKind::Insert)) {
        const Vertex &v = d_.vertices[e.first];
        const Vec3 at = entityToWorld(d_, p).apply({v.x, v.y, v.z});
        const double thickness = e.kind == EntityKind::Insert ? 0 : thicknessVector(d_, p).z;
        addConductor({source, true, {at.x, at.y, at.z + std::abs(thickness)}, {}});
        return false; // a rod's block is its symbol, not more rods
    } else if (p.layer == downs_ && (e.kind == EntityKind::Point || e.kind == EntityKind::Circle ||
                                     e.kind == EntityKind::Insert)) {
        const Vertex &v = d_.vertices[e.first];
        const Vec3 at = entityToWorld(d_, p).apply({v.x, v.y, v.z});
        addConductor({source, true, at, {}, false, true});
        return false; // the block is the mark of one conductor
    } else if ((p.layer == wires_ || std::ranges::count(roof_, p.layer) > 0) &&
               (e.kind == EntityKind::Line || e.kind == EntityKind::Polyline)) {
        const auto ends =
            outline(d_, p, tolerance_, std::size_t(lplayout::kMaxConductors) + e.count);
        const bool closed = e.kind == EntityKind::Polyline && (e.flags & flags::kClosed);
        const bool roof = p.layer != wires_;
        for (std::size_t i = 0; i + 1 < ends.size() + (closed ? 1 : 0); ++i)
            addConductor({source, false, ends[i], ends[(i + 1) % ends.size()], roof, false});
    }
    return true;
}

void Collector::requireEachLayer(const SiteOutlines &made) const
{
    const auto taken = [&](std::uint32_t layer, bool rods) {
        return std::ranges::any_of(conductors, [&](const ConductorSeen &c) {
            return c.source.layer == layer && c.rod == rods;
        });
    };
    for (std::size_t layer = 0; layer < building_.size(); ++layer)
        if (building_[layer] &&
            std::ranges::none_of(made.taken,
                                 [&](const SiteOutline &o) { return o.source.layer == layer; }) &&
            std::ranges::none_of(made.notes,
                                 [&](const OutlineNote &n) { return n.source.layer == layer; }))
            throw Problem{QStringLiteral("图层「%1」上没有闭合轮廓（闭合多段线、圆、填充，"
                                         "或能连成闭合的直线和圆弧）")
                              .arg(d_.layers[layer].name)};
    if (rods_ != kNone && !taken(rods_, true))
        throw Problem{
            QStringLiteral("图层「%1」上没有避雷针（点、圆或块参照）").arg(d_.layers[rods_].name)};
    if (wires_ != kNone && !taken(wires_, false))
        throw Problem{
            QStringLiteral("图层「%1」上没有避雷线（直线或多段线）").arg(d_.layers[wires_].name)};
    for (const std::uint32_t layer : roof_)
        if (!taken(layer, false))
            throw Problem{QStringLiteral("图层「%1」上没有接闪带、接闪网（直线或多段线）")
                              .arg(d_.layers[layer].name)};
    if (downs_ != kNone && !taken(downs_, true))
        throw Problem{
            QStringLiteral("图层「%1」上没有引下线（点、圆或块参照）").arg(d_.layers[downs_].name)};
}

} // namespace dxf
