#include "designer/plan_view.h"

#include "designer/plan_items.h"

#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>

#include <algorithm>

// The plan's editing tools: the modes that place rods and draw wires, objects and the section,
// the drafts drawn meanwhile, and the drags that move items and reshape objects.
namespace designer {

namespace {

// The rectangle with these opposite corners, counterclockwise from its lowest-left corner.
QPolygonF rectangleCorners(QPointF a, QPointF b)
{
    const double x0 = std::min(a.x(), b.x()), x1 = std::max(a.x(), b.x());
    const double y0 = std::min(a.y(), b.y()), y1 = std::max(a.y(), b.y());
    return QPolygonF{QPointF(x0, y0), QPointF(x1, y0), QPointF(x1, y1), QPointF(x0, y1)};
}

} // namespace

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

} // namespace designer
