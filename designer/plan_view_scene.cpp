#include "designer/plan_view.h"

#include "designer/layout_tables.h"
#include "designer/plan_items.h"
#include "layouts/layout_words.h"
#include "sheets/label_placement.h"

#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QPainterPath>

#include <algorithm>

#include <cmath>

// The plan's scene built from the layout and its results: the protected area, the objects
// coloured by their verdict with the parts the sphere reaches, the conductors, and their labels
// placed clear of one another and of every line.
namespace designer {

namespace {

const QColor kProtectedColour(0, 150, 0);
const QColor kUnprotectedColour(220, 0, 0);

// The pixel rectangle an item covers in the view.
QRectF deviceRect(const QGraphicsItem *item, const QTransform &viewport)
{
    return item->deviceTransform(viewport).mapRect(item->boundingRect());
}

} // namespace

void PlanView::setShowingStrikeOutlines(bool showing)
{
    strikeOutlines_->setVisible(showing);
    placeLabels();
}

bool PlanView::isShowingStrikeOutlines() const { return strikeOutlines_->isVisible(); }

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
    // The roof check and its fault belong to the layout before the change.
    roofs_.reset();
    fault_->setPath({});
    protections_.clear();
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
    roofs_ = results.roofs;
    protections_ = results.protections;
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
    QPainterPath strikes;
    for (const auto &building : results.strikes ? results.strikes->buildings
                                                : std::vector<calc::layout::BuildingStrikes>{})
        for (const auto &ring : building.outline) {
            QPolygonF p;
            for (const auto &c : ring) p << toScene(c.x, c.y);
            strikes.addPolygon(p);
            strikes.closeSubpath();
        }
    strikeOutlines_->setPath(strikes);
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
        if (item != zoneFill_ && item != zoneOutline_ && item != strikeOutlines_ &&
            item != sectionLine_ && item != draft_ && item != fault_ && !item->parentItem())
            old << item;
    qDeleteAll(old);
    wireLabels_.clear();
    objectLabels_.clear();
    rodLabels_.clear();
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
        const bool ok = known && (i < protections_.size() ? protections_[i].isProtected
                                                          : verdicts_[i].isProtected);
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
            mark->setToolTip(words(calc::layout::kLeastClearanceWord) +
                             QStringLiteral(" %1 m").arg(metreText(verdicts_[i].leastClearance)));
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
            auto *text =
                label(number + QStringLiteral("（") + metreText(rod->h) + QStringLiteral(" m）"),
                      {}, Qt::black, item);
            text->setFlag(QGraphicsItem::ItemIgnoresTransformations, false);
            rodLabels_ << text;
        } else {
            const auto &w = std::get<calc::layout::Wire>(c);
            auto *line = new WireItem(static_cast<int>(i),
                                      QLineF(toScene(w.a.x, w.a.y), toScene(w.b.x, w.b.y)));
            scene()->addItem(line);
            line->setToolTip(QStringLiteral("避雷线 %1").arg(number));
            wireLabels_ << label(number, line->line().p1(), Qt::black, line);
            styleWire(line, i);
        }
    }
    drawRoofs();
    applySelection();
    placeLabels();
}

void PlanView::placeLabels()
{
    namespace drawing = calc::drawing;
    const QTransform viewport = viewportTransform();
    const auto onScreen = [](QPointF p) { return drawing::Vec2{p.x(), p.y()}; };
    const auto box = [](const QRectF &r) {
        return drawing::Box{r.left(), r.top(), r.right(), r.bottom()};
    };

    // What the labels keep clear of: every line drawn on the plan (the wires, the objects'
    // outlines, the protected area's outline, the section's line) and the rods' dots.
    drawing::Obstacles obstacles;
    const auto addLine = [&](const QPolygonF &line, bool closed) {
        for (qsizetype k = 1; k < line.size(); ++k)
            obstacles.strokes.push_back({onScreen(line[k - 1]), onScreen(line[k])});
        if (closed && line.size() > 2)
            obstacles.strokes.push_back({onScreen(line.back()), onScreen(line.front())});
    };
    for (QGraphicsItem *item : scene()->items()) {
        if (!item->isVisible()) continue;
        const QTransform toDevice = item->deviceTransform(viewport);
        if (const auto *wire = dynamic_cast<const WireItem *>(item))
            addLine(toDevice.map(QPolygonF{wire->line().p1(), wire->line().p2()}), false);
        else if (const auto *object = dynamic_cast<const ObjectItem *>(item))
            addLine(toDevice.map(object->polygon()), true);
        else if (dynamic_cast<const RodItem *>(item))
            obstacles.boxes.push_back(box(deviceRect(item, viewport)));
    }
    for (const QGraphicsPathItem *outline : {zoneOutline_, strikeOutlines_})
        if (outline->isVisible())
            for (const QPolygonF &ring : outline->path().toSubpathPolygons())
                addLine(outline->deviceTransform(viewport).map(ring), false);
    if (sectionLine_->isVisible())
        addLine(viewport.map(QPolygonF{sectionLine_->line().p1(), sectionLine_->line().p2()}),
                false);

    // Where each label wishes to stand, on the screen: an object's name at its middle, a rod's
    // number above to its right, a wire's number beyond its first end.
    constexpr double gap = 4; // pixels between a wire's end and its number
    std::vector<QGraphicsSimpleTextItem *> texts;
    std::vector<drawing::Box> wishes;
    const auto wish = [&](QGraphicsSimpleTextItem *text, QPointF topLeft) {
        texts.push_back(text);
        wishes.push_back(box(QRectF(topLeft, text->boundingRect().size())));
    };
    const auto anchorOf = [&](const QGraphicsSimpleTextItem *text) {
        return text->parentItem()->deviceTransform(viewport).map(text->pos());
    };
    for (QGraphicsSimpleTextItem *text : objectLabels_) {
        const QSizeF size = text->boundingRect().size();
        wish(text, anchorOf(text) - QPointF(size.width(), size.height()) / 2);
    }
    for (QGraphicsSimpleTextItem *text : rodLabels_) wish(text, anchorOf(text) + QPointF(7, -20));
    for (QGraphicsSimpleTextItem *text : wireLabels_) {
        const auto *wire = static_cast<const QGraphicsLineItem *>(text->parentItem());
        const QTransform toDevice = wire->deviceTransform(viewport);
        const QPointF a = toDevice.map(wire->line().p1()), b = toDevice.map(wire->line().p2());
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        const QPointF along = length > 1e-9 ? (b - a) / length : QPointF(1, 0);
        const QSizeF size = text->boundingRect().size();
        const double reach =
            (std::abs(along.x()) * size.width() + std::abs(along.y()) * size.height()) / 2 + gap;
        wish(text, a - along * reach - QPointF(size.width(), size.height()) / 2);
    }

    const std::vector<drawing::Box> placed = drawing::placeLabels(wishes, obstacles, {3, 16, 1});
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // The label's own units are pixels, so a shift from its anchor is a translation.
        const QPointF anchor = anchorOf(texts[i]);
        texts[i]->setTransform(
            QTransform::fromTranslate(placed[i].left - anchor.x(), placed[i].top - anchor.y()));
    }
}

} // namespace designer
