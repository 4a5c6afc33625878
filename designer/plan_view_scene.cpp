#include "designer/plan_view.h"

#include "designer/layout_tables.h"
#include "designer/plan_items.h"

#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QPainterPath>

#include <algorithm>

#include <cmath>

// The plan's scene built from the layout and its results: the protected area, the objects
// coloured by their verdict with the parts the sphere reaches, the conductors, and their labels
// placed where they cover one another least.
namespace designer {

namespace {

const QColor kProtectedColour(0, 150, 0);
const QColor kUnprotectedColour(220, 0, 0);

// The pixel rectangle an item covers in the view.
QRectF deviceRect(const QGraphicsItem *item, const QTransform &viewport)
{
    return item->deviceTransform(viewport).mapRect(item->boundingRect());
}

// Whether the line passes through the rectangle or ends in it.
bool crosses(const QLineF &line, const QRectF &box)
{
    if (box.contains(line.p1()) || box.contains(line.p2())) return true;
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    for (int i = 0; i < 4; ++i)
        if (line.intersects(QLineF(corners[i], corners[(i + 1) % 4])) ==
            QLineF::BoundedIntersection)
            return true;
    return false;
}

} // namespace

void PlanView::showSectionLine(const SectionLine &line)
{
    sectionLine_->setVisible(line.has_value());
    if (line)
        sectionLine_->setLine(
            QLineF(toScene(line->first.x, line->first.y), toScene(line->second.x, line->second.y)));
    placeLabels();
}

void PlanView::showLayout(const calc::layout::Layout &layout)
{
    layout_ = layout;
    // Indices past the end belong to items that are gone.
    const auto keep = [](QList<int> &list, std::size_t size) {
        list.removeIf([size](int i) { return i < 0 || static_cast<std::size_t>(i) >= size; });
    };
    keep(selectedConductors_, layout_.conductors.size());
    keep(selectedObjects_, layout_.objects.size());
    if (verdicts_.size() != layout_.objects.size()) {
        verdicts_.clear();
        exposed_.clear();
    }
    rebuild();
}

void PlanView::showResults(const LayoutResults &results)
{
    verdicts_ = results.verdicts;
    exposed_ = results.exposed;
    worstKnown_ = results.stage == Stage::Exact;
    zone_ = results.zone;
    QPainterPath fill;
    fill.setFillRule(Qt::WindingFill);
    for (const auto &polygon : zone_.fill) {
        QPolygonF p;
        for (const auto &v : polygon) p << toScene(v.x, v.y);
        fill.addPolygon(p);
        fill.closeSubpath();
    }
    QPainterPath outline;
    for (const auto &line : zone_.outline) {
        if (line.empty()) continue;
        outline.moveTo(toScene(line.front().x, line.front().y));
        for (const auto &v : line) outline.lineTo(toScene(v.x, v.y));
    }
    zoneFill_->setPath(fill);
    zoneOutline_->setPath(outline);
    rebuild();
}

void PlanView::rebuild()
{
    // Not while an item is being dragged: the item under the mouse must live until it is let go.
    if (scene()->mouseGrabberItem() || drag_) {
        rebuildPending_ = true;
        return;
    }
    rebuildPending_ = false;
    // The items go and come back; the selection stays as it is held here.
    applyingSelection_ = true;
    QList<QGraphicsItem *> old;
    for (QGraphicsItem *item : scene()->items())
        if (item != zoneFill_ && item != zoneOutline_ && item != sectionLine_ && item != draft_ &&
            !item->parentItem())
            old << item;
    qDeleteAll(old);
    wireLabels_.clear();
    objectLabels_.clear();
    applyingSelection_ = false;

    for (std::size_t i = 0; i < layout_.objects.size(); ++i) {
        const auto &o = layout_.objects[i];
        QPolygonF polygon;
        QPointF centre;
        for (const auto &c : o.footprint) {
            polygon << toScene(c.x, c.y);
            centre += toScene(c.x, c.y) / static_cast<qreal>(o.footprint.size());
        }
        const bool known = i < verdicts_.size();
        const bool ok = known && verdicts_[i].isProtected;
        const QColor colour = !known ? QColor(120, 120, 120)
                              : ok   ? kProtectedColour
                                     : kUnprotectedColour;
        QColor fill = colour;
        fill.setAlpha(60);
        // The marks below are the object's children, so that they move with it.
        auto *item = new ObjectItem(static_cast<int>(i), polygon);
        item->setBrush(fill);
        item->setPens(cosmetic(colour, 2), cosmetic(kSelectedColour, 3.5));
        scene()->addItem(item);
        item->setToolTip(QString::fromStdString(o.name));
        objectLabels_ << centredLabel(QString::fromStdString(o.name) + QStringLiteral(" ") +
                                          metreText(o.height) + QStringLiteral(" m"),
                                      centre, colour.darker(130), item);
        if (known && !ok && i < exposed_.size()) {
            // The parts the sphere reaches: roof cells hatched, wall pieces thick.
            QPainterPath roof;
            for (const QRectF &cell : exposed_[i].roofCells)
                roof.addRect(
                    QRectF(toScene(cell.left(), cell.bottom()), toScene(cell.right(), cell.top())));
            QPainterPath footprint;
            footprint.addPolygon(polygon);
            auto *hatch = new QGraphicsPathItem(roof.intersected(footprint), item);
            hatch->setPen(Qt::NoPen);
            hatch->setBrush(QBrush(kUnprotectedColour, Qt::BDiagPattern));
            QPainterPath walls;
            for (const QLineF &piece : exposed_[i].wallPieces) {
                walls.moveTo(toScene(piece.x1(), piece.y1()));
                walls.lineTo(toScene(piece.x2(), piece.y2()));
            }
            (new QGraphicsPathItem(walls, item))->setPen(cosmetic(kUnprotectedColour, 5));
        }
        if (known && !ok && worstKnown_) {
            // The unprotected part's worst point, marked with a cross.
            const QPointF at = toScene(verdicts_[i].where.x, verdicts_[i].where.y);
            QPainterPath cross;
            cross.moveTo(-7, -7);
            cross.lineTo(7, 7);
            cross.moveTo(-7, 7);
            cross.lineTo(7, -7);
            auto *mark = new QGraphicsPathItem(cross, item);
            mark->setPen(QPen(kUnprotectedColour, 2.5));
            mark->setFlag(QGraphicsItem::ItemIgnoresTransformations);
            mark->setPos(at);
            mark->setToolTip(
                QStringLiteral("最小余量 %1 m").arg(metreText(verdicts_[i].leastClearance)));
        }
    }
    for (std::size_t i = 0; i < layout_.conductors.size(); ++i) {
        const auto &c = layout_.conductors[i];
        const QString number = QString::number(i + 1);
        if (const auto *rod = std::get_if<calc::layout::Rod>(&c)) {
            auto *item = new RodItem(static_cast<int>(i));
            scene()->addItem(item);
            item->setPos(toScene(rod->x, rod->y));
            item->setToolTip(QStringLiteral("避雷针 %1：h = %2 m").arg(number, metreText(rod->h)));
            label(number + QStringLiteral("（") + metreText(rod->h) + QStringLiteral(" m）"),
                  {7, -20}, Qt::black, item)
                ->setFlag(QGraphicsItem::ItemIgnoresTransformations, false);
        } else {
            const auto &w = std::get<calc::layout::Wire>(c);
            auto *line = new WireItem(static_cast<int>(i),
                                      QLineF(toScene(w.a.x, w.a.y), toScene(w.b.x, w.b.y)));
            scene()->addItem(line);
            line->setToolTip(QStringLiteral("避雷线 %1").arg(number));
            wireLabels_ << label(number, {}, Qt::black, line);
        }
    }
    applySelection();
    placeLabels();
}

void PlanView::placeLabels()
{
    const QTransform viewport = viewportTransform();
    // An object's name goes a little up or down where a wire or the section's line would
    // strike it through.
    QList<QLineF> wires;
    for (QGraphicsSimpleTextItem *text : wireLabels_) {
        const auto *wire = static_cast<const QGraphicsLineItem *>(text->parentItem());
        wires << wire->deviceTransform(viewport).map(wire->line());
    }
    if (sectionLine_->isVisible()) wires << viewport.map(sectionLine_->line());
    for (QGraphicsSimpleTextItem *text : objectLabels_) {
        const QSizeF size = text->boundingRect().size();
        const QPointF centre = text->parentItem()->deviceTransform(viewport).map(text->pos());
        const double step = 0.75 * size.height();
        double chosen = 0; // in the middle when every place is struck through
        for (const double shift : {0.0, -step, step, -2 * step, 2 * step}) {
            const QRectF box(centre + QPointF(-size.width() / 2, shift - size.height() / 2), size);
            if (std::none_of(wires.begin(), wires.end(), [&box](const QLineF &w) {
                    return crosses(w, box.adjusted(-2, -2, 2, 2));
                })) {
                chosen = shift;
                break;
            }
        }
        text->setTransform(
            QTransform::fromTranslate(-size.width() / 2, chosen - size.height() / 2));
    }
    // What the wires' numbers must not cover: the other labels and the rods' dots.
    QList<QRectF> taken;
    for (QGraphicsItem *item : scene()->items()) {
        auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item);
        if (((text && !wireLabels_.contains(text)) || dynamic_cast<RodItem *>(item)) &&
            item->isVisible())
            taken << deviceRect(item, viewport);
    }
    const auto free = [&taken](const QRectF &rect) {
        return std::none_of(taken.begin(), taken.end(),
                            [&rect](const QRectF &other) { return other.intersects(rect); });
    };
    constexpr double gap = 4; // pixels between a wire and its number
    for (QGraphicsSimpleTextItem *text : wireLabels_) {
        const auto *wire = static_cast<const QGraphicsLineItem *>(text->parentItem());
        const QTransform toDevice = wire->deviceTransform(viewport);
        const QLineF line = wire->line();
        const QPointF a = toDevice.map(line.p1()), b = toDevice.map(line.p2());
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        const QPointF along = length > 1e-9 ? (b - a) / length : QPointF(1, 0);
        const QPointF across(along.y(), -along.x()); // to the left of a→b on the screen
        const QSizeF size = text->boundingRect().size();
        const auto reach = [&size](QPointF direction) {
            return (std::abs(direction.x()) * size.width() +
                    std::abs(direction.y()) * size.height()) /
                       2 +
                   gap;
        };
        // Beyond the first end, beyond the second, beside the middle on either side: the first
        // place that is free, else the first.
        const QPointF middle = (line.p1() + line.p2()) / 2;
        const std::pair<QPointF, QPointF> places[] = {
            {line.p1(), a - along * reach(along)},
            {line.p2(), b + along * reach(along)},
            {middle, toDevice.map(middle) + across * reach(across)},
            {middle, toDevice.map(middle) - across * reach(across)}};
        auto chosen = places[0];
        for (const auto &place : places) {
            if (free(QRectF(place.second - QPointF(size.width(), size.height()) / 2, size))) {
                chosen = place;
                break;
            }
        }
        const QPointF anchor = toDevice.map(chosen.first);
        text->setPos(chosen.first);
        text->setTransform(
            QTransform::fromTranslate(chosen.second.x() - anchor.x() - size.width() / 2,
                                      chosen.second.y() - anchor.y() - size.height() / 2));
        taken << QRectF(chosen.second - QPointF(size.width(), size.height()) / 2, size);
    }
}

} // namespace designer
