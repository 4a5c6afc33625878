#include "dxf/site_layers.h"

#include "dxf/drawing_walk.h"

#include <limits>

namespace dxf {

namespace {

void count(const Drawing &d, std::uint32_t first, std::uint32_t n, const std::uint32_t *insertLayer,
           std::uint64_t copies, std::vector<LayerSummary> &out)
{
    for (std::uint32_t i = first; i < first + n; ++i) {
        const Entity &e = d.entities[i];
        const std::uint32_t layer = insertLayer && e.layer == d.zeroLayer ? *insertLayer : e.layer;
        LayerCounts &c = out[layer].counts;
        switch (e.kind) {
        case EntityKind::Polyline:
            (isClosedOutline(d, e) ? c.closedOutlines : c.lines) += copies;
            break;
        case EntityKind::Line:
            c.lines += copies;
            break;
        case EntityKind::Circle:
            c.circles += copies;
            break;
        case EntityKind::Point:
            c.points += copies;
            break;
        case EntityKind::Text:
        case EntityKind::MText:
            c.texts += copies;
            break;
        case EntityKind::Arc:
            c.arcs += copies;
            break;
        case EntityKind::Spline:
            c.splines += copies;
            break;
        case EntityKind::Hatch:
            if (e.extra == 0) c.hatches += copies;
            break;
        case EntityKind::Insert: {
            c.inserts += copies;
            const InsertPlacement &ip = d.inserts[e.extra];
            if (ip.block < 0 || d.blocks[std::size_t(ip.block)].external) break;
            const Block &block = d.blocks[std::size_t(ip.block)];
            // The drawing's check on its size bounds copies by kMaxExpandedEntities.
            count(d, block.first, block.count, &layer,
                  copies * std::uint64_t(ip.columns) * std::uint64_t(ip.rows), out);
            break;
        }
        }
    }
}

} // namespace

namespace {

bool flat(const Drawing &d, const Entity &e, std::uint32_t count)
{
    for (std::uint32_t i = 1; i < count; ++i)
        if (d.vertices[e.first + i].z != d.vertices[e.first].z) return false;
    return true;
}

} // namespace

const std::vector<CountColumn> &countColumns()
{
    static const std::vector<CountColumn> columns = {
        {"闭合轮廓", "闭合且处于同一水平面的多段线", &LayerCounts::closedOutlines},
        {"直线", "直线、不闭合的多段线和不在同一水平面的三维多段线", &LayerCounts::lines},
        {"圆弧", "圆弧", &LayerCounts::arcs},
        {"圆", "圆", &LayerCounts::circles},
        {"样条", "样条曲线", &LayerCounts::splines},
        {"填充", "图案填充，每个填充计一次", &LayerCounts::hatches},
        {"点", "点", &LayerCounts::points},
        {"文字", "单行文字、多行文字和属性", &LayerCounts::texts},
        {"块参照", "块参照；阵列（MINSERT）计一次", &LayerCounts::inserts},
    };
    return columns;
}

bool isClosedOutline(const Drawing &d, const Entity &e)
{
    if (e.kind != EntityKind::Polyline || e.count < 2) return false;
    if ((e.flags & flags::kThreeD) && !flat(d, e, e.count)) return false;
    if (e.flags & flags::kClosed) return true;
    const Vertex &a = d.vertices[e.first], &b = d.vertices[e.first + e.count - 1];
    return e.count >= 4 && a.x == b.x && a.y == b.y;
}

bool isClosedSpline(const Drawing &d, const Entity &e)
{
    if (e.kind != EntityKind::Spline) return false;
    const SplineData &s = d.splines[e.extra];
    const std::uint32_t points = s.controlCount > 0 ? s.controlCount : e.count;
    if (!flat(d, e, points)) return false;
    if (e.flags & flags::kClosed) return true;
    const Vertex &a = d.vertices[e.first], &b = d.vertices[e.first + points - 1];
    return points >= 4 && a.x == b.x && a.y == b.y;
}

std::vector<LayerSummary> layerSummaries(const Drawing &d)
{
    std::vector<LayerSummary> out;
    out.reserve(d.layers.size());
    for (const Layer &layer : d.layers) out.push_back({layer.name, layer.colour, layer.shown, {}});
    count(d, d.modelFirst, std::uint32_t(d.modelSize()), nullptr, 1, out);
    return out;
}

Preview preview(const Drawing &d)
{
    // No tolerance: each arc gets as many of the few corners as there are.
    constexpr std::size_t kCorners = 32;
    constexpr double kFine = std::numeric_limits<double>::min();
    Preview p;
    walkModel(d, [&](const Placed &placed) {
        const Entity &e = placed.entity;
        if (e.kind == EntityKind::Point || e.kind == EntityKind::Text ||
            e.kind == EntityKind::MText || e.kind == EntityKind::Insert)
            return true;
        const auto corners = outline(d, placed, kFine, std::max<std::size_t>(kCorners, e.count));
        p.paths.push_back({placed.layer, std::uint32_t(p.points.size()),
                           std::uint32_t(corners.size()),
                           e.kind == EntityKind::Circle || (e.flags & flags::kClosed) != 0});
        for (const Vec3 &c : corners) p.points.push_back({c.x, c.y});
        return true;
    });
    return p;
}

} // namespace dxf
