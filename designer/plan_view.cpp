#include "designer/plan_view.h"

#include "designer/layout_tables.h"
#include "designer/plan_items.h"

#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>

#include <cmath>

// The view itself: its scene, the plan's coordinates, the selection held apart from the scene's
// items, the zoom and the grid. The scene's items are built in plan_view_scene.cpp, the mouse
// tools in plan_view_tools.cpp.
namespace designer {

namespace {

const QColor kZoneFill(200, 222, 250, 170);
const QColor kZoneEdge(0, 70, 200);
const QColor kStrikeOutlineColour(150, 70, 0); // apart from the area's blue and the verdicts

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
    QPen strikePen = cosmetic(kStrikeOutlineColour, 1.5);
    strikePen.setStyle(Qt::DashDotLine);
    strikeOutlines_ = scene->addPath(QPainterPath(), strikePen);
    strikeOutlines_->setZValue(1);
    strikeOutlines_->hide();
    QPen sectionPen = cosmetic(QColor(120, 0, 160), 2);
    sectionPen.setStyle(Qt::DashLine);
    sectionLine_ = scene->addLine(QLineF(), sectionPen);
    sectionLine_->setZValue(20);
    sectionLine_->hide();
    QPen draftPen = cosmetic(kSelectedColour.darker(120), 1.5);
    draftPen.setStyle(Qt::DashLine);
    draft_ = scene->addPath(QPainterPath(), draftPen);
    draft_->setZValue(20);
    fault_ = scene->addPath(QPainterPath(), cosmetic(kSelectedColour, 6));
    fault_->setZValue(30);
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

void PlanView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    // Until the user zooms, the whole layout stays in view.
    if (!userZoomed_ && (!layout_.conductors.empty() || !layout_.objects.empty())) fitLayout();
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
