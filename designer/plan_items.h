#pragma once

#include <QColor>
#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>
#include <QStyleOptionGraphicsItem>

#include <optional>

// The items the plan draws for conductors and objects. They only draw and select; the plan
// moves them while the user drags and reports the edit when the mouse is let go.
// Plan coordinates are metres with y pointing up; the scene's y is their negative.
namespace designer {

inline QPointF toScene(double x, double y) { return {x, -y}; }
inline QPointF toScene(QPointF plan) { return {plan.x(), -plan.y()}; }
inline QPointF toPlan(QPointF scene) { return {scene.x(), -scene.y()}; }

inline const QColor kSelectedColour(255, 140, 0);

QPen cosmetic(const QColor &colour, qreal width);
// A label of fixed size whose top left corner is at `at`.
QGraphicsSimpleTextItem *label(const QString &text, QPointF at, const QColor &colour,
                               QGraphicsItem *parent);
// A label of fixed size centred on `at`.
QGraphicsSimpleTextItem *centredLabel(const QString &text, QPointF at, const QColor &colour,
                                      QGraphicsItem *parent);

// Every item that stands for a conductor, an object or a corner of an object says which, and
// its index in the layout (a corner: its object's index and its own).
enum class ItemKind { Conductor = 1, Object = 2, Corner = 3 };
struct ItemTag {
    ItemKind kind;
    int index;
    int corner = -1;
};
void tag(QGraphicsItem *item, ItemTag tag);
// The tag of the item or of the nearest of its parents that has one.
std::optional<ItemTag> tagOf(const QGraphicsItem *item);
// The item that carries that tag: the item itself or one of its parents.
QGraphicsItem *taggedItem(QGraphicsItem *item);

// An item that can be selected: drawn in the selection colour while selected (instead of Qt's
// dashed box, which a dot of fixed size or a thin line hides).
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

private:
    QPen normal_, selected_;
};

// A rod seen from above: a dot of fixed size at the rod's foot.
class RodItem : public Selectable<QGraphicsEllipseItem> {
public:
    explicit RodItem(int conductor);
};

// A wire seen from above, drawn where it lies (its position is the offset of a drag).
class WireItem : public Selectable<QGraphicsLineItem> {
public:
    WireItem(int conductor, const QLineF &sceneLine);
};

// An object's footprint, drawn where the object stands (its position is the offset of a drag).
// While selected it shows a handle at each corner.
class ObjectItem : public Selectable<QGraphicsPolygonItem> {
public:
    ObjectItem(int object, const QPolygonF &sceneFootprint);
    // Draws the corner at another place (scene coordinates) while its handle is dragged.
    void moveCorner(int corner, QPointF scenePoint);
    QList<QGraphicsItem *> handles() const { return handles_; }

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    QList<QGraphicsItem *> handles_;
};

} // namespace designer
