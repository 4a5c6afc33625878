#include "designer/plan_items.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>

namespace designer {

namespace {

constexpr int kKindKey = 0;
constexpr int kIndexKey = 1;
constexpr int kCornerKey = 2;

// A corner's handle: a small square of fixed size. It takes the press itself, so that a drag
// from it leaves the selection as it is; the plan moves the corner.
class CornerHandle : public QGraphicsRectItem {
public:
    CornerHandle(int object, int corner, QPointF at, QGraphicsItem *parent)
        : QGraphicsRectItem(-4, -4, 8, 8, parent)
    {
        setFlag(ItemIgnoresTransformations);
        setPos(at);
        setBrush(Qt::white);
        setPen(QPen(kSelectedColour.darker(130), 1.5));
        setCursor(Qt::CrossCursor);
        setZValue(5);
        setToolTip(QStringLiteral("拖动以移动此角点"));
        tag(this, {ItemKind::Corner, object, corner});
    }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            event->accept();
        else
            event->ignore();
    }
};

} // namespace

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

QGraphicsSimpleTextItem *centredLabel(const QString &text, QPointF at, const QColor &colour,
                                      QGraphicsItem *parent)
{
    auto *item = label(text, at, colour, parent);
    const QRectF box = item->boundingRect();
    item->setTransform(QTransform::fromTranslate(-box.width() / 2, -box.height() / 2));
    return item;
}

void tag(QGraphicsItem *item, ItemTag tag)
{
    item->setData(kKindKey, static_cast<int>(tag.kind));
    item->setData(kIndexKey, tag.index);
    item->setData(kCornerKey, tag.corner);
}

QGraphicsItem *taggedItem(QGraphicsItem *item)
{
    while (item && !item->data(kKindKey).isValid()) item = item->parentItem();
    return item;
}

std::optional<ItemTag> tagOf(const QGraphicsItem *item)
{
    while (item && !item->data(kKindKey).isValid()) item = item->parentItem();
    if (!item) return std::nullopt;
    return ItemTag{static_cast<ItemKind>(item->data(kKindKey).toInt()),
                   item->data(kIndexKey).toInt(), item->data(kCornerKey).toInt()};
}

RodItem::RodItem(int conductor) : Selectable(-6, -6, 12, 12)
{
    setFlags(ItemIsSelectable | ItemIgnoresTransformations);
    setBrush(Qt::black);
    setPens(QPen(Qt::white, 1.5), QPen(kSelectedColour, 3.5));
    setCursor(Qt::SizeAllCursor);
    setZValue(10);
    tag(this, {ItemKind::Conductor, conductor});
}

WireItem::WireItem(int conductor, const QLineF &sceneLine) : Selectable(sceneLine)
{
    setFlag(ItemIsSelectable);
    setPens(cosmetic(Qt::black, 3), cosmetic(kSelectedColour, 5));
    setCursor(Qt::SizeAllCursor);
    setZValue(9);
    tag(this, {ItemKind::Conductor, conductor});
}

ObjectItem::ObjectItem(int object, const QPolygonF &sceneFootprint) : Selectable(sceneFootprint)
{
    setFlags(ItemIsSelectable);
    setCursor(Qt::SizeAllCursor);
    setZValue(2);
    tag(this, {ItemKind::Object, object});
    for (int i = 0; i < sceneFootprint.size(); ++i) {
        auto *handle = new CornerHandle(object, i, sceneFootprint[i], this);
        handle->setVisible(false);
        handles_ << handle;
    }
}

void ObjectItem::moveCorner(int corner, QPointF scenePoint)
{
    QPolygonF outline = polygon();
    if (corner < 0 || corner >= outline.size()) return;
    outline[corner] = scenePoint;
    setPolygon(outline);
    handles_[corner]->setPos(scenePoint);
}

QVariant ObjectItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSelectedHasChanged)
        for (QGraphicsItem *handle : handles_) handle->setVisible(value.toBool());
    return Selectable::itemChange(change, value);
}

} // namespace designer
