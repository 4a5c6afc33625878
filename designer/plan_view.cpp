#include "designer/plan_view.h"

#include "designer/layout_tables.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

namespace designer {

namespace {

const QColor kProtectedColour(0, 150, 0);
const QColor kUnprotectedColour(220, 0, 0);
const QColor kZoneFill(200, 222, 250, 170);
const QColor kZoneEdge(0, 70, 200);

QPointF toScene(double x, double y) { return {x, -y}; }

QPen cosmetic(const QColor &colour, qreal width)
{
    QPen pen(colour, width);
    pen.setCosmetic(true);
    return pen;
}

QGraphicsSimpleTextItem *label(const QString &text, QPointF at, const QColor &colour,
                               QGraphicsItem *parent)
{
    auto *item = new QGraphicsSimpleTextItem(text, parent);
    item->setBrush(colour);
    item->setPos(at);
    item->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    return item;
}

// A label centred on its anchor, in pixels.
QGraphicsSimpleTextItem *centredLabel(const QString &text, QPointF at, const QColor &colour)
{
    auto *item = label(text, at, colour, nullptr);
    const QRectF box = item->boundingRect();
    item->setTransform(QTransform::fromTranslate(-box.width() / 2, -box.height() / 2));
    return item;
}

} // namespace

// A rod seen from above: a dot of fixed size that the user can drag; it snaps to the grid and
// reports where it was let go.
class RodItem : public QGraphicsEllipseItem {
public:
    RodItem(PlanView &view, int conductor)
        : QGraphicsEllipseItem(-6, -6, 12, 12), view_(view), conductor_(conductor)
    {
        setFlags(ItemIsMovable | ItemIgnoresTransformations | ItemSendsGeometryChanges);
        setBrush(Qt::black);
        setPen(QPen(Qt::white, 1.5));
        setCursor(Qt::SizeAllCursor);
        setZValue(10);
    }

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override
    {
        if (change == ItemPositionChange) {
            const QPointF p = value.toPointF();
            const QPointF plan = PlanView::snapped({p.x(), -p.y()});
            return toScene(plan.x(), plan.y());
        }
        return QGraphicsEllipseItem::itemChange(change, value);
    }
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        start_ = pos();
        QGraphicsEllipseItem::mousePressEvent(event);
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override
    {
        QGraphicsEllipseItem::mouseReleaseEvent(event);
        if (pos() != start_) view_.rodReleased(conductor_, pos());
    }

private:
    PlanView &view_;
    int conductor_;
    QPointF start_;
};

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
    scale(8, 8);
    centerOn(0, 0);
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

void PlanView::setPlacingRods(bool placing)
{
    placing_ = placing;
    setDragMode(placing || drawingSection_ ? NoDrag : ScrollHandDrag);
    viewport()->setCursor(placing || drawingSection_ ? Qt::CrossCursor : Qt::OpenHandCursor);
}

void PlanView::setDrawingSection(bool drawing)
{
    drawingSection_ = drawing;
    sectionStart_.reset();
    setDragMode(drawing || placing_ ? NoDrag : ScrollHandDrag);
    viewport()->setCursor(drawing || placing_ ? Qt::CrossCursor : Qt::OpenHandCursor);
}

void PlanView::showSectionLine(const SectionLine &line)
{
    sectionLine_->setVisible(line.has_value());
    if (line)
        sectionLine_->setLine(
            QLineF(toScene(line->first.x, line->first.y), toScene(line->second.x, line->second.y)));
}

void PlanView::showLayout(const calc::layout::Layout &layout)
{
    layout_ = layout;
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
    // Not while a rod is being dragged: the item under the mouse must live until it is let go.
    if (scene()->mouseGrabberItem()) {
        rebuildPending_ = true;
        return;
    }
    rebuildPending_ = false;
    QList<QGraphicsItem *> old;
    for (QGraphicsItem *item : scene()->items())
        if (item != zoneFill_ && item != zoneOutline_ && item != sectionLine_ &&
            !item->parentItem())
            old << item;
    qDeleteAll(old);

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
        auto *item = scene()->addPolygon(polygon, cosmetic(colour, 2), fill);
        item->setZValue(2);
        item->setToolTip(QString::fromStdString(o.name));
        auto *name = centredLabel(QString::fromStdString(o.name) + QStringLiteral(" ") +
                                      metreText(o.height) + QStringLiteral(" m"),
                                  centre, colour.darker(130));
        scene()->addItem(name);
        name->setZValue(3);
        if (known && !ok && i < exposed_.size()) {
            // The parts the sphere reaches: roof cells hatched, wall pieces thick.
            QPainterPath roof;
            for (const QRectF &cell : exposed_[i].roofCells)
                roof.addRect(
                    QRectF(toScene(cell.left(), cell.bottom()), toScene(cell.right(), cell.top())));
            QPainterPath footprint;
            footprint.addPolygon(polygon);
            auto *hatch = scene()->addPath(roof.intersected(footprint), Qt::NoPen,
                                           QBrush(kUnprotectedColour, Qt::BDiagPattern));
            hatch->setZValue(3);
            QPainterPath walls;
            for (const QLineF &piece : exposed_[i].wallPieces) {
                walls.moveTo(toScene(piece.x1(), piece.y1()));
                walls.lineTo(toScene(piece.x2(), piece.y2()));
            }
            scene()->addPath(walls, cosmetic(kUnprotectedColour, 5))->setZValue(3);
        }
        if (known && !ok) {
            // The unprotected part's worst point, marked with a cross.
            const QPointF at = toScene(verdicts_[i].where.x, verdicts_[i].where.y);
            QPainterPath cross;
            cross.moveTo(-7, -7);
            cross.lineTo(7, 7);
            cross.moveTo(-7, 7);
            cross.lineTo(7, -7);
            auto *mark = scene()->addPath(cross, QPen(kUnprotectedColour, 2.5));
            mark->setFlag(QGraphicsItem::ItemIgnoresTransformations);
            mark->setPos(at);
            mark->setZValue(4);
            mark->setToolTip(
                QStringLiteral("最小余量 %1 m").arg(metreText(verdicts_[i].leastClearance)));
        }
    }
    for (std::size_t i = 0; i < layout_.conductors.size(); ++i) {
        const auto &c = layout_.conductors[i];
        const QString number = QString::number(i + 1);
        if (const auto *rod = std::get_if<calc::layout::Rod>(&c)) {
            auto *item = new RodItem(*this, static_cast<int>(i));
            scene()->addItem(item);
            item->setPos(toScene(rod->x, rod->y));
            item->setToolTip(QStringLiteral("避雷针 %1：h = %2 m").arg(number, metreText(rod->h)));
            label(number + QStringLiteral("（") + metreText(rod->h) + QStringLiteral(" m）"),
                  {7, -20}, Qt::black, item)
                ->setFlag(QGraphicsItem::ItemIgnoresTransformations, false);
        } else {
            const auto &w = std::get<calc::layout::Wire>(c);
            auto *line = scene()->addLine(QLineF(toScene(w.a.x, w.a.y), toScene(w.b.x, w.b.y)),
                                          cosmetic(Qt::black, 3));
            line->setZValue(9);
            line->setToolTip(QStringLiteral("避雷线 %1").arg(number));
            auto *text = label(number, toScene((w.a.x + w.b.x) / 2, (w.a.y + w.b.y) / 2), Qt::black,
                               nullptr);
            scene()->addItem(text);
            text->setZValue(9);
        }
    }
}

void PlanView::rodReleased(int conductor, QPointF scenePos)
{
    // Reported after the event has been handled: the receiver rebuilds the scene, which
    // deletes the item that is still handling it.
    const QPointF plan(scenePos.x(), -scenePos.y());
    QMetaObject::invokeMethod(
        this, [this, conductor, plan] { emit rodMoved(conductor, plan); }, Qt::QueuedConnection);
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
}

void PlanView::mousePressEvent(QMouseEvent *event)
{
    if (placing_ && event->button() == Qt::LeftButton) {
        emit rodPlaced(snapped(planPoint(event->position().toPoint())));
        event->accept();
        return;
    }
    if (drawingSection_ && event->button() == Qt::LeftButton) {
        sectionStart_ = snapped(planPoint(event->position().toPoint()));
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void PlanView::mouseMoveEvent(QMouseEvent *event)
{
    if (drawingSection_ && sectionStart_) {
        const QPointF end = snapped(planPoint(event->position().toPoint()));
        showSectionLine(std::pair{calc::drawing::Vec2{sectionStart_->x(), sectionStart_->y()},
                                  calc::drawing::Vec2{end.x(), end.y()}});
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void PlanView::mouseReleaseEvent(QMouseEvent *event)
{
    if (drawingSection_ && sectionStart_ && event->button() == Qt::LeftButton) {
        const QPointF start = *sectionStart_;
        const QPointF end = snapped(planPoint(event->position().toPoint()));
        sectionStart_.reset();
        if (start != end) emit sectionDrawn(start, end);
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
    if (rebuildPending_)
        QMetaObject::invokeMethod(
            this, [this] { rebuild(); }, Qt::QueuedConnection);
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
