#include "designer/plan_view.h"

#include "designer/layout_tables.h"

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
const QColor kSelectedColour(255, 140, 0);

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
QGraphicsSimpleTextItem *centredLabel(const QString &text, QPointF at, const QColor &colour,
                                      QGraphicsItem *parent)
{
    auto *item = label(text, at, colour, parent);
    const QRectF box = item->boundingRect();
    item->setTransform(QTransform::fromTranslate(-box.width() / 2, -box.height() / 2));
    return item;
}

} // namespace

namespace {

// Every item that stands for a conductor or an object says which, and its index in the layout.
enum class ItemKind { Conductor = 1, Object = 2 };
constexpr int kKindKey = 0;
constexpr int kIndexKey = 1;

void tag(QGraphicsItem *item, ItemKind kind, std::size_t index)
{
    item->setData(kKindKey, static_cast<int>(kind));
    item->setData(kIndexKey, static_cast<int>(index));
}

// An item that can be selected: drawn in the selection colour while selected (instead of Qt's
// dashed box, which a dot of fixed size or a thin line hides), and a plain click selects it
// alone, so that a drag moves only the item under the mouse.
template <class Base>
class Selectable : public Base {
public:
    using Base::Base;
    void setPens(const QPen &normal, const QPen &selected)
    {
        normal_ = normal;
        selected_ = selected;
        this->setPen(this->isSelected() ? selected_ : normal_);
    }

protected:
    QVariant itemChange(QGraphicsItem::GraphicsItemChange change, const QVariant &value) override
    {
        if (change == QGraphicsItem::ItemSelectedHasChanged)
            this->setPen(value.toBool() ? selected_ : normal_);
        return Base::itemChange(change, value);
    }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        QStyleOptionGraphicsItem plain(*option);
        plain.state &= ~QStyle::State_Selected;
        Base::paint(painter, &plain, widget);
    }
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ControlModifier) &&
            this->scene()->selectedItems() != QList<QGraphicsItem *>{this}) {
            this->scene()->clearSelection();
            this->setSelected(true);
        }
        Base::mousePressEvent(event);
    }

private:
    QPen normal_, selected_;
};

// An item the user drags over the plan: its position snaps to the grid (in plan metres, y up),
// and where it was let go, when it moved, is handed to dropped().
template <class Base>
class GridDraggable : public Selectable<Base> {
public:
    using Selectable<Base>::Selectable;

protected:
    virtual void dropped(QPointF scenePosition) = 0;

    QVariant itemChange(QGraphicsItem::GraphicsItemChange change, const QVariant &value) override
    {
        if (change == QGraphicsItem::ItemPositionChange) {
            const QPointF p = value.toPointF();
            const QPointF plan = PlanView::snapped({p.x(), -p.y()});
            return toScene(plan.x(), plan.y());
        }
        return Selectable<Base>::itemChange(change, value);
    }
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        start_ = this->pos();
        Selectable<Base>::mousePressEvent(event);
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override
    {
        Selectable<Base>::mouseReleaseEvent(event);
        if (this->pos() != start_) dropped(this->pos());
    }

private:
    QPointF start_;
};

} // namespace

// A rod seen from above: a dot of fixed size that the user can drag; it snaps to the grid and
// reports where it was let go.
class RodItem : public GridDraggable<QGraphicsEllipseItem> {
public:
    RodItem(PlanView &view, int conductor)
        : GridDraggable(-6, -6, 12, 12), view_(view), conductor_(conductor)
    {
        setFlags(ItemIsMovable | ItemIsSelectable | ItemIgnoresTransformations |
                 ItemSendsGeometryChanges);
        setBrush(Qt::black);
        setPens(QPen(Qt::white, 1.5), QPen(kSelectedColour, 3.5));
        setCursor(Qt::SizeAllCursor);
        setZValue(10);
        tag(this, ItemKind::Conductor, static_cast<std::size_t>(conductor));
    }

protected:
    void dropped(QPointF scenePosition) override { view_.rodReleased(conductor_, scenePosition); }

private:
    PlanView &view_;
    int conductor_;
};

// An object's footprint, drawn where the object stands (its position is the drag's offset). It
// moves by whole grid steps, so that a footprint on the grid stays on it, and reports the
// offset where it was let go.
class ObjectItem : public GridDraggable<QGraphicsPolygonItem> {
public:
    ObjectItem(PlanView &view, int object, const QPolygonF &footprint)
        : GridDraggable(footprint), view_(view), object_(object)
    {
        setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
        setCursor(Qt::SizeAllCursor);
        setZValue(2);
        tag(this, ItemKind::Object, static_cast<std::size_t>(object));
    }

protected:
    void dropped(QPointF scenePosition) override
    {
        view_.objectReleased(object_, {scenePosition.x(), -scenePosition.y()});
    }

private:
    PlanView &view_;
    int object_;
};

namespace {
using WireItem = Selectable<QGraphicsLineItem>;
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
        const QVariant kind = item->data(kKindKey);
        if (!kind.isValid()) continue;
        const QList<int> &chosen = kind.toInt() == static_cast<int>(ItemKind::Conductor)
                                       ? selectedConductors_
                                       : selectedObjects_;
        item->setSelected(chosen.contains(item->data(kIndexKey).toInt()));
    }
    applyingSelection_ = false;
}

void PlanView::sceneSelectionChanged()
{
    if (applyingSelection_) return;
    QList<int> conductors, objects;
    for (QGraphicsItem *item : scene()->selectedItems()) {
        const QVariant kind = item->data(kKindKey);
        if (!kind.isValid()) continue;
        (kind.toInt() == static_cast<int>(ItemKind::Conductor) ? conductors : objects)
            << item->data(kIndexKey).toInt();
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
    // Not while a rod is being dragged: the item under the mouse must live until it is let go.
    if (scene()->mouseGrabberItem()) {
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
        auto *item = new ObjectItem(*this, static_cast<int>(i), polygon);
        item->setBrush(fill);
        item->setPens(cosmetic(colour, 2), cosmetic(kSelectedColour, 3.5));
        scene()->addItem(item);
        item->setToolTip(QString::fromStdString(o.name));
        centredLabel(QString::fromStdString(o.name) + QStringLiteral(" ") + metreText(o.height) +
                         QStringLiteral(" m"),
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
            auto *item = new RodItem(*this, static_cast<int>(i));
            scene()->addItem(item);
            item->setPos(toScene(rod->x, rod->y));
            item->setToolTip(QStringLiteral("避雷针 %1：h = %2 m").arg(number, metreText(rod->h)));
            label(number + QStringLiteral("（") + metreText(rod->h) + QStringLiteral(" m）"),
                  {7, -20}, Qt::black, item)
                ->setFlag(QGraphicsItem::ItemIgnoresTransformations, false);
        } else {
            const auto &w = std::get<calc::layout::Wire>(c);
            auto *line = new WireItem(QLineF(toScene(w.a.x, w.a.y), toScene(w.b.x, w.b.y)));
            line->setFlag(QGraphicsItem::ItemIsSelectable);
            line->setPens(cosmetic(Qt::black, 3), cosmetic(kSelectedColour, 5));
            tag(line, ItemKind::Conductor, i);
            scene()->addItem(line);
            line->setZValue(9);
            line->setToolTip(QStringLiteral("避雷线 %1").arg(number));
            auto *text = label(number, toScene((w.a.x + w.b.x) / 2, (w.a.y + w.b.y) / 2), Qt::black,
                               nullptr);
            scene()->addItem(text);
            text->setZValue(9);
        }
    }
    applySelection();
}

void PlanView::rodReleased(int conductor, QPointF scenePos)
{
    // Reported after the event has been handled: the receiver rebuilds the scene, which
    // deletes the item that is still handling it.
    const QPointF plan(scenePos.x(), -scenePos.y());
    QMetaObject::invokeMethod(
        this, [this, conductor, plan] { emit rodMoved(conductor, plan); }, Qt::QueuedConnection);
}

void PlanView::objectReleased(int object, QPointF offset)
{
    QMetaObject::invokeMethod(
        this, [this, object, offset] { emit objectMoved(object, offset); }, Qt::QueuedConnection);
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
    if (mode_ == Mode::Pan || event->button() != Qt::LeftButton) {
        QGraphicsView::mousePressEvent(event);
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
    case Mode::Pan:
        break;
    }
    event->accept();
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
    const QPointF at = snapped(planPoint(event->position().toPoint()));
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
    if (mode_ == Mode::DrawPolygon && !polygon_.isEmpty()) {
        showDraft(polygon_, at);
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
        }
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
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
    if (mode_ != Mode::Pan) {
        // A double click places one rod, not two.
        event->accept();
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

void PlanView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && (rectangleStart_ || !polygon_.isEmpty())) {
        rectangleStart_.reset();
        polygon_.clear();
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
