#include "dxf/site_outlines.h"

#include "dxf/outline_joining.h"
#include "dxf/outline_mending.h"
#include "dxf/site_layers.h"
#include "project/project_file.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dxf {

using calc::layout::Corner;

namespace {

QString kindName(const Entity &e)
{
    switch (e.kind) {
    case EntityKind::Line:
        return QStringLiteral("直线");
    case EntityKind::Polyline:
        return (e.flags & flags::kThreeD) ? QStringLiteral("三维多段线") : QStringLiteral("多段线");
    case EntityKind::Circle:
        return QStringLiteral("圆");
    case EntityKind::Point:
        return QStringLiteral("点");
    case EntityKind::Text:
    case EntityKind::MText:
        return QStringLiteral("文字");
    case EntityKind::Arc:
        return QStringLiteral("圆弧");
    case EntityKind::Hatch:
        return QStringLiteral("填充");
    case EntityKind::Spline:
        return QStringLiteral("样条曲线");
    case EntityKind::Insert:
        break;
    }
    return QStringLiteral("块参照");
}

QString ident(const Entity &e)
{
    if (e.handle.empty()) return QStringLiteral("（第 %1 行）").arg(e.line);
    return QStringLiteral("（句柄 %1，第 %2 行）")
        .arg(QString::fromLatin1(e.handle.data(), qsizetype(e.handle.size())))
        .arg(e.line);
}

QString inInsert(const Entity *outer)
{
    return outer ? QStringLiteral("，在块参照") + ident(*outer) + QStringLiteral("之中")
                 : QString();
}

double mostZ(const std::vector<Vec3> &corners)
{
    double z = -std::numeric_limits<double>::infinity();
    for (const Vec3 &c : corners) z = std::max(z, c.z);
    return z;
}

std::vector<Corner> flat(const std::vector<Vec3> &corners)
{
    std::vector<Corner> out;
    out.reserve(corners.size());
    for (const Vec3 &c : corners) out.push_back({c.x, c.y});
    return out;
}

struct Box {
    double minX, minY, maxX, maxY;
    explicit Box(const std::vector<Corner> &ring)
        : minX(INFINITY), minY(INFINITY), maxX(-INFINITY), maxY(-INFINITY)
    {
        for (const Corner &c : ring) {
            minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
        }
    }
    bool within(const Box &o, double t) const
    {
        return minX >= o.minX - t && maxX <= o.maxX + t && minY >= o.minY - t && maxY <= o.maxY + t;
    }
};

} // namespace

QString describeEntity(const Drawing &d, const Entity &e, const Entity *outer, std::uint32_t layer)
{
    return QStringLiteral("图层「%1」上的%2").arg(d.layers[layer].name, kindName(e)) + ident(e) +
           inInsert(outer);
}

QString describeOutline(const Drawing &d, const OutlineSource &s)
{
    if (s.pieces <= 1) return describeEntity(d, *s.entity, s.outer, s.layer);
    return QStringLiteral("图层「%1」上由 %2 段线连成的轮廓（首段为%3%4%5）")
        .arg(d.layers[s.layer].name)
        .arg(s.pieces)
        .arg(kindName(*s.entity), ident(*s.entity), inInsert(s.outer));
}

OutlineMaker::OutlineMaker(const Drawing &d, double chordTolerance, double joinTolerance)
    : d_(d), chordTolerance_(chordTolerance), joinTolerance_(joinTolerance)
{}

Vec3 OutlineMaker::local(const Vec3 &world)
{
    if (!haveOrigin_) {
        origin_ = {world.x, world.y, 0};
        haveOrigin_ = true;
    }
    return {world.x - origin_.x, world.y - origin_.y, world.z};
}

void OutlineMaker::add(const Placed &p)
{
    const Entity &e = p.entity;
    const OutlineSource source{&e, p.outerInsert, p.layer, 1};
    const bool closed = e.kind == EntityKind::Circle || e.kind == EntityKind::Hatch ||
                        isClosedOutline(d_, e) || isClosedSpline(d_, e);
    const bool piece = e.kind == EntityKind::Line || e.kind == EntityKind::Arc ||
                       e.kind == EntityKind::Polyline || e.kind == EntityKind::Spline;
    if (!closed && !piece) return;
    // A closed 3D polyline that does not lie flat is no footprint, nor lines of a plan.
    if (e.kind == EntityKind::Polyline && (e.flags & flags::kThreeD) &&
        (e.flags & flags::kClosed) && !closed) {
        std::vector<Vec3> corners = outline(d_, p, chordTolerance_, e.count);
        notes_.push_back({source, QStringLiteral("角点不在同一水平面上"), false, corners});
        return;
    }
    // Past the corners a footprint may have, an outline is left out anyway: its arcs need no
    // more chords than that.
    const std::size_t most = std::size_t(lplayout::kMaxCorners) + e.count;
    std::vector<Vec3> corners = outline(d_, p, chordTolerance_, most);
    if (corners.size() < 2) return;
    const double thickness = std::abs(thicknessVector(d_, p).z);
    for (Vec3 &c : corners) c = local(c);
    if (closed) {
        const double top = mostZ(corners) + thickness;
        closed_.push_back({source, std::move(corners), top, order_++});
        return;
    }
    const auto index = std::uint32_t(pieces_.size());
    pieces_.push_back({source, order_++});
    const bool loop = e.kind == EntityKind::Polyline && (e.flags & flags::kClosed);
    for (std::size_t i = 0; i + 1 < corners.size() + (loop ? 1 : 0); ++i) {
        const Vec3 &a = corners[i], &b = corners[(i + 1) % corners.size()];
        segments_.push_back({a.x, a.y, b.x, b.y, std::max(a.z, b.z) + thickness, index, p.layer});
    }
}

SiteOutlines OutlineMaker::finish()
{
    // Lines joined into faces, layer by layer.
    std::vector<Candidate> all = std::move(closed_);
    std::vector<std::uint32_t> layers;
    for (const Segment &s : segments_) layers.push_back(s.layer);
    std::ranges::sort(layers);
    layers.erase(std::unique(layers.begin(), layers.end()), layers.end());
    for (std::uint32_t layer : layers) {
        std::vector<JoinSegment> joins;
        for (const Segment &s : segments_)
            if (s.layer == layer) joins.push_back({{s.ax, s.ay}, {s.bx, s.by}, s.piece, s.top});
        for (JoinedOutline &o : joinSegments(joins, joinTolerance_)) {
            const Piece &first = pieces_[o.pieces.front()];
            Candidate c{first.source, {}, o.top, first.order};
            c.source.pieces = o.pieces.size();
            for (const Corner &k : o.ring) c.corners.push_back({k.x, k.y, o.top});
            all.push_back(std::move(c));
        }
    }
    std::ranges::stable_sort(all, {}, &Candidate::order);

    // Each mended, or left out.
    SiteOutlines out;
    out.notes = std::move(notes_);
    const auto world = [&](const std::vector<Vec3> &corners) {
        std::vector<Vec3> w;
        for (const Vec3 &c : corners) w.push_back({c.x + origin_.x, c.y + origin_.y, c.z});
        return w;
    };
    struct Good {
        const Candidate *c;
        std::vector<Corner> ring;
        double area;
        bool dropped = false;
        std::optional<std::size_t> within; // in `good`
    };
    std::vector<Good> good;
    for (const Candidate &c : all) {
        MendedOutline m = mendOutline(flat(c.corners), joinTolerance_);
        if (m.fault.isEmpty() && m.ring.size() > std::size_t(lplayout::kMaxCorners))
            m.fault = QStringLiteral("有 %1 个角点，超过 %2 个")
                          .arg(m.ring.size())
                          .arg(lplayout::kMaxCorners);
        if (!m.fault.isEmpty()) {
            out.notes.push_back({c.source, m.fault, false, world(c.corners)});
            continue;
        }
        if (!m.mends.isEmpty())
            out.notes.push_back(
                {c.source, m.mends.join(QStringLiteral("，")), true, world(c.corners)});
        const double area = ringArea(m.ring);
        good.push_back({&c, std::move(m.ring), area, false, std::nullopt});
    }

    // Outlines drawn twice (on any chosen layer): the earlier is kept. Rooms (inside another on
    // the same layer) are marked with the smallest that holds them.
    std::vector<Box> boxes;
    for (const Good &g : good) boxes.emplace_back(g.ring);
    const double t = joinTolerance_;
    for (std::size_t i = 0; i < good.size(); ++i)
        for (std::size_t j = 0; j < good.size() && !good[i].dropped; ++j) {
            if (i == j || good[j].dropped || !boxes[i].within(boxes[j], t)) continue;
            const bool sameLayer = good[i].c->source.layer == good[j].c->source.layer;
            const double slack = t * std::max(1.0, std::sqrt(good[j].area)) * 4;
            const bool same = std::abs(good[i].area - good[j].area) <= slack &&
                              boxes[j].within(boxes[i], t) &&
                              liesWithin(good[j].ring, good[i].ring, t);
            if (!liesWithin(good[i].ring, good[j].ring, t)) continue;
            if (same) {
                if (j < i) {
                    good[i].dropped = true;
                    ++out.duplicates;
                }
            } else if (sameLayer && good[i].area < good[j].area &&
                       (!good[i].within || good[j].area < good[*good[i].within].area)) {
                good[i].within = j; // the smallest that holds it
            }
        }
    std::vector<std::size_t> takenOf(good.size(), 0);
    for (std::size_t i = 0, n = 0; i < good.size(); ++i)
        if (!good[i].dropped) takenOf[i] = n++;
    for (const Good &g : good) {
        if (g.dropped) continue;
        SiteOutline o{g.c->source, {}, g.c->top, {}};
        if (g.within && !good[*g.within].dropped) o.within = takenOf[*g.within];
        for (const Corner &k : g.ring) o.corners.push_back({k.x + origin_.x, k.y + origin_.y, 0});
        out.taken.push_back(std::move(o));
    }
    return out;
}

} // namespace dxf
