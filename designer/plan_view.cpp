#include "designer/plan_view.h"

#include "designer/layout_tables.h"
#include "designer/plan_items.h"
#include "layouts/layout_words.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>
#include <QWheelEvent>

#include <algorithm>

#include <cmath>

namespace designer {

namespace {

const QColor kProtectedColour(0, 150, 0);
const QColor kUnprotectedColour(220, 0, 0);
const QColor kZoneFill(200, 222, 250, 170);
const QColor kZoneEdge(0, 70, 200);

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

PlanView::PlanView(QWidget *parent) : QGraphicsView(parent)
{
    auto *scene = new QGraphicsScene(this);
    const double far = kMaxCoordinate + 1000;
    scene->setSceneRect(-far, -far, 2 * far, 2 * far);
    setScene(scene);
    setRenderHint(QPainter::Antialiasing);
    setTransformationAnchor(AnchorUnderMouse);
    setDragMode(ScrollHandDrag);
    setViewportUpdateMode(FullViewportUpdate);
    zoneFill_ = scene->addPath(QPainterPath(), Qt::NoPen, kZoneFill);
    zoneOutline_ = scene->addPath(QPainterPath(), cosmetic(kZoneEdge, 1.5));
    zoneOutline_->setZValue(1);
    QPen sectionPen = cosmetic(QColor(120, 0, 160), 2);
    sectionPen.setStyle(Qt::DashLine);
    sectionLine_ = scene->addLine(QLineF(), sectionPen);
    sectionLine_->setZValue(20);
    sectionLine_->hide();
    QPen draftPen = cosmetic(kSelectedColour.darker(120), 1.5);
    draftPen.setStyle(Qt::DashLine);
    draft_ = scene->addPath(QPainterPath(), draftPen);
    draft_->setZValue(20);
    connect(scene, &QGraphicsScene::selectionChanged, this, &PlanView::sceneSelectionChanged);
    scale(8, 8);
    centerOn(0, 0);
}

PlanView::~PlanView()
{
    // The scene, a child, goes after this view: its items' going is no change of selection.
    scene()->disconnect(this);
}

QPointF PlanView::snapped(QPointF plan)
{
    return {std::round(plan.x() / kSnapStep) * kSnapStep,
            std::round(plan.y() / kSnapStep) * kSnapStep};
}

QPoint PlanView::viewPoint(QPointF plan) const { return mapFromScene(toScene(plan.x(), plan.y())); }

QPointF PlanView::planPoint(QPoint view) const
{
    const QPointF s = mapToScene(view);
    return {s.x(), -s.y()};
}

void PlanView::setPlacingRods(bool placing) { setMode(Mode::PlaceRod, placing); }

void PlanView::setDrawingSection(bool drawing) { setMode(Mode::DrawSection, drawing); }

void PlanView::setDrawingRectangles(bool drawing) { setMode(Mode::DrawRectangle, drawing); }

void PlanView::setDrawingPolygons(bool drawing) { setMode(Mode::DrawPolygon, drawing); }

void PlanView::setDrawingWires(bool drawing) { setMode(Mode::DrawWire, drawing); }

void PlanView::setMode(Mode mode, bool on)
{
    // Leaving a mode that is not the current one changes nothing: the modes are switched one
    // off and another on in either order.
    if (on)
        mode_ = mode;
    else if (mode_ == mode)
        mode_ = Mode::Pan;
    else
        return;
    sectionStart_.reset();
    rectangleStart_.reset();
    polygon_.clear();
    wireStart_.reset();
    wirePressed_ = false;
    showDraft({}, std::nullopt);
    const bool pan = mode_ == Mode::Pan;
    setDragMode(pan ? ScrollHandDrag : NoDrag);
    viewport()->setCursor(pan ? Qt::OpenHandCursor : Qt::CrossCursor);
}

void PlanView::showDraft(const QPolygonF &corners, std::optional<QPointF> next)
{
    QPainterPath path;
    QPolygonF points = corners;
    if (next) points << *next;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF p = toScene(points[i].x(), points[i].y());
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    if (points.size() > 2) path.closeSubpath();
    draft_->setPath(path);
}

void PlanView::setSelection(const QList<int> &conductors, const QList<int> &objects)
{
    selectedConductors_ = conductors;
    selectedObjects_ = objects;
    std::sort(selectedConductors_.begin(), selectedConductors_.end());
    std::sort(selectedObjects_.begin(), selectedObjects_.end());
    applySelection();
}

void PlanView::applySelection()
{
    applyingSelection_ = true;
    for (QGraphicsItem *item : scene()->items()) {
        if (taggedItem(item) != item || !(item->flags() & QGraphicsItem::ItemIsSelectable))
            continue;
        const ItemTag t = *tagOf(item);
        const QList<int> &chosen =
            t.kind == ItemKind::Conductor ? selectedConductors_ : selectedObjects_;
        item->setSelected(chosen.contains(t.index));
    }
    applyingSelection_ = false;
}

void PlanView::sceneSelectionChanged()
{
    if (applyingSelection_) return;
    QList<int> conductors, objects;
    for (QGraphicsItem *item : scene()->selectedItems()) {
        if (taggedItem(item) != item) continue;
        const ItemTag t = *tagOf(item);
        (t.kind == ItemKind::Conductor ? conductors : objects) << t.index;
    }
    std::sort(conductors.begin(), conductors.end());
    std::sort(objects.begin(), objects.end());
    if (conductors == selectedConductors_ && objects == selectedObjects_) return;
    selectedConductors_ = conductors;
    selectedObjects_ = objects;
    emit selectionChanged(selectedConductors_, selectedObjects_);
}

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

void PlanView::fitLayout()
{
    // The conductors, the objects and the protected area as drawn, with a margin.
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    const auto take = [&](double x, double y) {
        x0 = any ? std::min(x0, x) : x;
        x1 = any ? std::max(x1, x) : x;
        y0 = any ? std::min(y0, y) : y;
        y1 = any ? std::max(y1, y) : y;
        any = true;
    };
    for (const auto &c : layout_.conductors) {
        if (const auto *rod = std::get_if<calc::layout::Rod>(&c)) {
            take(rod->x, rod->y);
        } else {
            take(std::get<calc::layout::Wire>(c).a.x, std::get<calc::layout::Wire>(c).a.y);
            take(std::get<calc::layout::Wire>(c).b.x, std::get<calc::layout::Wire>(c).b.y);
        }
    }
    for (const auto &o : layout_.objects)
        for (const auto &k : o.footprint) take(k.x, k.y);
    for (const auto &line : zone_.outline)
        for (const auto &v : line) take(v.x, v.y);
    const QRectF rect = any ? QRectF(toScene(x0, y1), toScene(x1, y0)) : QRectF(-20, -20, 40, 40);
    const double margin = std::max(2.0, 0.08 * std::max(rect.width(), rect.height()));
    fitInView(rect.adjusted(-margin, -margin, margin, margin), Qt::KeepAspectRatio);
    userZoomed_ = false;
    placeLabels();
}

void PlanView::mousePressEvent(QMouseEvent *event)
{
    if (mode_ == Mode::Pan || event->button() != Qt::LeftButton) {
        // The item under the mouse takes the press and the selection follows; a drag from it
        // moves it.
        QGraphicsView::mousePressEvent(event);
        if (mode_ == Mode::Pan && event->button() == Qt::LeftButton) {
            startDrag();
            if (drag_) drag_->press = planPoint(event->position().toPoint());
        }
        return;
    }
    const QPointF at = snapped(planPoint(event->position().toPoint()));
    switch (mode_) {
    case Mode::PlaceRod:
        emit rodPlaced(at);
        break;
    case Mode::DrawSection:
        sectionStart_ = at;
        break;
    case Mode::DrawRectangle:
        rectangleStart_ = at;
        break;
    case Mode::DrawPolygon:
        // The press of a double click lands on the corner just placed.
        if (polygon_.isEmpty() || polygon_.back() != at) polygon_ << at;
        showDraft(polygon_, std::nullopt);
        break;
    case Mode::DrawWire:
        wireClick(at, true);
        break;
    case Mode::Pan:
        break;
    }
    event->accept();
}

void PlanView::wireClick(QPointF at, bool press)
{
    // Pressed at one end and let go at the other; or a click at each end, the first press and
    // release on one grid point.
    if (press) {
        if (wireStart_)
            wirePressed_ = true;
        else
            wireStart_ = at;
        showDraft(QPolygonF{*wireStart_}, at);
        return;
    }
    if (!wireStart_ || (!wirePressed_ && at == *wireStart_)) return;
    const QPointF start = *wireStart_;
    wireStart_.reset();
    wirePressed_ = false;
    showDraft({}, std::nullopt);
    emit wireDrawn(start, at);
}

void PlanView::startDrag()
{
    drag_.reset();
    QGraphicsItem *grabbed = taggedItem(scene()->mouseGrabberItem());
    const std::optional<ItemTag> t = tagOf(grabbed);
    if (!t || t->index < 0) return;
    Drag drag;
    if (t->kind == ItemKind::Corner) {
        if (static_cast<std::size_t>(t->index) >= layout_.objects.size()) return;
        const auto &footprint = layout_.objects[static_cast<std::size_t>(t->index)].footprint;
        if (t->corner < 0 || static_cast<std::size_t>(t->corner) >= footprint.size()) return;
        const auto &corner = footprint[static_cast<std::size_t>(t->corner)];
        drag.anchor = {corner.x, corner.y};
        drag.object = t->index;
        drag.corner = t->corner;
        drag.items << grabbed->parentItem();
    } else {
        // A selected item takes the rest of the selection with it.
        if (grabbed->isSelected()) {
            for (QGraphicsItem *item : scene()->selectedItems())
                if (taggedItem(item) == item) drag.items << item;
        } else {
            drag.items << grabbed;
        }
        if (t->kind == ItemKind::Conductor) {
            if (static_cast<std::size_t>(t->index) >= layout_.conductors.size()) return;
            const auto &c = layout_.conductors[static_cast<std::size_t>(t->index)];
            if (const auto *rod = std::get_if<calc::layout::Rod>(&c)) {
                drag.anchor = {rod->x, rod->y};
                drag.loneRod = drag.items.size() == 1;
            } else {
                const auto &w = std::get<calc::layout::Wire>(c);
                drag.anchor = {w.a.x, w.a.y};
            }
        }
    }
    for (QGraphicsItem *item : drag.items) drag.startPositions << item->pos();
    drag.target = drag.anchor;
    drag_ = drag;
}

void PlanView::continueDrag(QPointF plan)
{
    Drag &d = *drag_;
    d.target = snapped(d.anchor + plan - d.press);
    d.offset = d.target - d.anchor;
    if (d.corner >= 0) {
        static_cast<ObjectItem *>(d.items.front())->moveCorner(d.corner, toScene(d.target));
        return;
    }
    const QPointF shift = toScene(d.offset);
    for (qsizetype i = 0; i < d.items.size(); ++i) d.items[i]->setPos(d.startPositions[i] + shift);
}

void PlanView::finishDrag()
{
    const Drag d = *drag_;
    drag_.reset();
    if (d.target == d.anchor) return;
    // Reported after the event has been handled: the receiver rebuilds the scene, which
    // deletes the items that are still handling it.
    const auto report = [this](auto signal) {
        QMetaObject::invokeMethod(this, signal, Qt::QueuedConnection);
    };
    if (d.corner >= 0) {
        report([this, d] { emit cornerMoved(d.object, d.corner, d.target); });
    } else if (d.loneRod) {
        const int rod = tagOf(d.items.front())->index;
        report([this, rod, d] { emit rodMoved(rod, d.target); });
    } else {
        QList<int> conductors, objects;
        for (const QGraphicsItem *item : d.items) {
            const ItemTag t = *tagOf(item);
            (t.kind == ItemKind::Conductor ? conductors : objects) << t.index;
        }
        std::sort(conductors.begin(), conductors.end());
        std::sort(objects.begin(), objects.end());
        report([this, conductors, objects, d] { emit itemsMoved(conductors, objects, d.offset); });
    }
}

namespace {

// The rectangle with these opposite corners, counterclockwise from its lowest-left corner.
QPolygonF rectangleCorners(QPointF a, QPointF b)
{
    const double x0 = std::min(a.x(), b.x()), x1 = std::max(a.x(), b.x());
    const double y0 = std::min(a.y(), b.y()), y1 = std::max(a.y(), b.y());
    return QPolygonF{QPointF(x0, y0), QPointF(x1, y0), QPointF(x1, y1), QPointF(x0, y1)};
}

} // namespace

void PlanView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF plan = planPoint(event->position().toPoint());
    const QPointF at = snapped(plan);
    if (drag_ && (event->buttons() & Qt::LeftButton)) {
        continueDrag(plan);
        event->accept();
        return;
    }
    if (mode_ == Mode::DrawSection && sectionStart_) {
        showSectionLine(std::pair{calc::drawing::Vec2{sectionStart_->x(), sectionStart_->y()},
                                  calc::drawing::Vec2{at.x(), at.y()}});
        event->accept();
        return;
    }
    if (mode_ == Mode::DrawRectangle && rectangleStart_) {
        showDraft(rectangleCorners(*rectangleStart_, at), std::nullopt);
        event->accept();
        return;
    }
    if ((mode_ == Mode::DrawPolygon && !polygon_.isEmpty()) ||
        (mode_ == Mode::DrawWire && wireStart_)) {
        showDraft(mode_ == Mode::DrawWire ? QPolygonF{*wireStart_} : polygon_, at);
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void PlanView::mouseReleaseEvent(QMouseEvent *event)
{
    if (mode_ != Mode::Pan && event->button() == Qt::LeftButton) {
        const QPointF end = snapped(planPoint(event->position().toPoint()));
        if (mode_ == Mode::DrawSection && sectionStart_) {
            const QPointF start = *sectionStart_;
            sectionStart_.reset();
            if (start != end) emit sectionDrawn(start, end);
        } else if (mode_ == Mode::DrawRectangle && rectangleStart_) {
            const QPointF start = *rectangleStart_;
            rectangleStart_.reset();
            showDraft({}, std::nullopt);
            // A rectangle without area is no footprint.
            if (start.x() != end.x() && start.y() != end.y())
                emit objectDrawn(rectangleCorners(start, end));
        } else if (mode_ == Mode::DrawWire) {
            wireClick(end, false);
        }
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
    if (drag_ && event->button() == Qt::LeftButton) finishDrag();
    if (rebuildPending_)
        QMetaObject::invokeMethod(
            this, [this] { rebuild(); }, Qt::QueuedConnection);
}

void PlanView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (mode_ == Mode::DrawPolygon && event->button() == Qt::LeftButton) {
        const QPointF at = snapped(planPoint(event->position().toPoint()));
        if (polygon_.isEmpty() || polygon_.back() != at) polygon_ << at;
        const QPolygonF corners = polygon_;
        polygon_.clear();
        showDraft({}, std::nullopt);
        if (corners.size() >= 3) emit objectDrawn(corners);
        event->accept();
        return;
    }
    if (mode_ == Mode::DrawWire && event->button() == Qt::LeftButton) {
        // The second press of a double click: a wire from that point to itself, refused.
        wireClick(snapped(planPoint(event->position().toPoint())), true);
        event->accept();
        return;
    }
    if (mode_ != Mode::Pan) {
        // A double click places one rod, not two.
        event->accept();
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
    // Its press, like any other, may start a drag.
    if (event->button() == Qt::LeftButton) {
        startDrag();
        if (drag_) drag_->press = planPoint(event->position().toPoint());
    }
}

void PlanView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && (rectangleStart_ || !polygon_.isEmpty() || wireStart_)) {
        rectangleStart_.reset();
        polygon_.clear();
        wireStart_.reset();
        wirePressed_ = false;
        showDraft({}, std::nullopt);
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void PlanView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    // Until the user zooms, the whole layout stays in view.
    if (!userZoomed_ && !layout_.conductors.empty()) fitLayout();
}

void PlanView::wheelEvent(QWheelEvent *event)
{
    userZoomed_ = true;
    const double factor = std::pow(1.0015, event->angleDelta().y());
    const double current = transform().m11();
    const double next = std::clamp(current * factor, 0.05, 400.0);
    scale(next / current, next / current);
    placeLabels();
    event->accept();
}

void PlanView::drawBackground(QPainter *painter, const QRectF &rect)
{
    painter->fillRect(rect, Qt::white);
    // Grid lines at least 8 pixels apart: 1, 5, 10, 50, … m; every fifth line darker.
    const double pixelsPerMetre = transform().m11();
    double step = kSnapStep;
    for (int k = 0; step * pixelsPerMetre < 8 && k < 12; ++k) step *= (k % 2 == 0) ? 5 : 2;
    const auto draw = [&](double spacing, const QColor &colour) {
        painter->setPen(cosmetic(colour, 0));
        const double x0 = std::floor(rect.left() / spacing) * spacing;
        const double y0 = std::floor(rect.top() / spacing) * spacing;
        for (double x = x0; x <= rect.right(); x += spacing)
            painter->drawLine(QPointF(x, rect.top()), QPointF(x, rect.bottom()));
        for (double y = y0; y <= rect.bottom(); y += spacing)
            painter->drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
    };
    draw(step, QColor(235, 235, 235));
    draw(step * 5, QColor(205, 205, 205));
    painter->setPen(cosmetic(QColor(150, 150, 150), 1));
    painter->drawLine(QPointF(rect.left(), 0), QPointF(rect.right(), 0));
    painter->drawLine(QPointF(0, rect.top()), QPointF(0, rect.bottom()));
}

} // namespace designer
