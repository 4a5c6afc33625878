#include "designer/plan_view.h"

#include "designer/plan_items.h"
#include "roof/roof_report.h"

#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPainterPath>

#include <cmath>

// The roof network on the plan: tape and mesh in their own colours, each down conductor as the
// circle-and-arrow mark with its number, the largest cell of each building outlined (red when it
// fails), every failing spacing drawn along the perimeter with its length, and the pieces of roof
// no cell covers and of edge no tape runs along.
namespace designer {

namespace {

const QColor kTapeColour(0, 120, 0);
const QColor kMeshColour(0, 90, 190);
const QColor kDownColour(120, 40, 140);
const QColor kFaultColour(220, 0, 0);
const QColor kCellColour(200, 110, 0);

QPolygonF scenePolygon(const std::vector<calc::layout::Corner> &corners)
{
    QPolygonF polygon;
    for (const auto &c : corners) polygon << toScene(c.x, c.y);
    return polygon;
}

QPointF middle(const QPolygonF &line)
{
    double total = 0;
    for (qsizetype i = 1; i < line.size(); ++i) total += QLineF(line[i - 1], line[i]).length();
    double left = total / 2;
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QLineF step(line[i - 1], line[i]);
        if (step.length() >= left && step.length() > 0) return step.pointAt(left / step.length());
        left -= step.length();
    }
    return line.isEmpty() ? QPointF() : line.front();
}

// A circle with an arrow out of it, pointing down and to the right: a conductor going down to
// earth; drawn at a fixed size on the screen.
QGraphicsPathItem *downConductorMark(QGraphicsItem *parent)
{
    QPainterPath mark;
    mark.addEllipse(QPointF(0, 0), 6, 6);
    mark.moveTo(4.2, 4.2);
    mark.lineTo(15, 15);
    mark.moveTo(15, 15);
    mark.lineTo(8, 14);
    mark.moveTo(15, 15);
    mark.lineTo(14, 8);
    auto *item = new QGraphicsPathItem(mark, parent);
    item->setPen(QPen(kDownColour, 2));
    item->setBrush(Qt::NoBrush);
    item->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    return item;
}

} // namespace

void PlanView::styleWire(WireItem *item, std::size_t conductor)
{
    if (!roofs_ || roofs_->roles.size() != layout_.conductors.size()) return;
    const calc::roof::ConductorRole &role = roofs_->roles[conductor];
    const QString number = QString::number(conductor + 1);
    const QString name =
        QString::fromUtf8(calc::roof::roleName(role.role).data(),
                          static_cast<qsizetype>(calc::roof::roleName(role.role).size()));
    item->setToolTip(name + QStringLiteral(" ") + number);
    switch (role.role) {
    case calc::roof::Role::Tape:
        item->setPens(cosmetic(kTapeColour, 3), cosmetic(kSelectedColour, 5));
        return;
    case calc::roof::Role::Mesh:
        item->setPens(cosmetic(kMeshColour, 1.5), cosmetic(kSelectedColour, 4));
        return;
    case calc::roof::Role::DownConductor:
        break;
    default:
        return;
    }
    // Seen from above a down conductor is a point: its mark stands for it and selects it.
    downConductorMark(item)->setPos(item->line().p1());
    if (!role.building || *role.building >= roofs_->buildings.size()) return;
    for (const auto &down : roofs_->buildings[*role.building].down.conductors) {
        if (down.conductor != conductor) continue;
        const QString text = QStringLiteral("引下线%1").arg(down.number);
        item->setToolTip(text + QStringLiteral("（接闪器 %1）").arg(number));
        if (!wireLabels_.isEmpty() && wireLabels_.back()->parentItem() == item) {
            wireLabels_.back()->setText(text);
            wireLabels_.back()->setBrush(kDownColour);
        }
    }
}

void PlanView::drawRoofs()
{
    if (!roofs_ || roofs_->roles.size() != layout_.conductors.size()) return;
    const auto add = [this](const QPainterPath &path, const QPen &pen, const QBrush &brush) {
        QGraphicsPathItem *item = scene()->addPath(path, pen, brush);
        item->setZValue(8);
        return item;
    };
    const auto text = [this](const QString &words, QPointF at, const QColor &colour) {
        auto *anchor = scene()->addPath(QPainterPath());
        anchor->setZValue(8);
        centredLabel(words, at, colour, anchor);
    };
    for (const calc::roof::BuildingRoofs &building : roofs_->buildings) {
        // The largest cell, or the failing one of largest area, outlined with its size.
        if (building.largestCell) {
            const auto &cell =
                building.roofs[building.largestCell->roof].cells[building.largestCell->cell];
            const QColor colour = cell.fits ? kCellColour : kFaultColour;
            QPen pen = cosmetic(colour, 2.5);
            pen.setStyle(Qt::DashLine);
            QPainterPath outline;
            for (const auto &piece : cell.shape) outline.addPolygon(scenePolygon(piece.outer));
            outline.closeSubpath();
            add(outline, pen, Qt::NoBrush)->setToolTip(QStringLiteral("最大网格"));
            text(QString::fromStdString(calc::roof::cellSizeText(cell)),
                 outline.boundingRect().center(), colour.darker(120));
        }
        for (const auto &roof : building.roofs) {
            // Other failing cells, and the roof no cell covers.
            for (const auto &cell : roof.cells) {
                if (cell.fits) continue;
                QPainterPath outline;
                for (const auto &piece : cell.shape) outline.addPolygon(scenePolygon(piece.outer));
                add(outline, cosmetic(kFaultColour, 1.5), Qt::NoBrush);
            }
            for (const auto &piece : roof.uncovered) {
                QPainterPath area;
                area.addPolygon(scenePolygon(piece.shape.outer));
                add(area, Qt::NoPen, QBrush(kFaultColour, Qt::FDiagPattern))
                    ->setToolTip(QStringLiteral("未被网格覆盖"));
            }
            QPainterPath gaps;
            for (const auto &gap : roof.tapeGaps) {
                gaps.moveTo(toScene(gap.a.x, gap.a.y));
                gaps.lineTo(toScene(gap.b.x, gap.b.y));
            }
            if (!gaps.isEmpty())
                add(gaps, cosmetic(kFaultColour, 4), Qt::NoBrush)
                    ->setToolTip(QStringLiteral("缺接闪带"));
        }
        // Each failing spacing along its ring, with its length.
        for (const auto &ring : building.down.rings)
            for (const auto &span : ring.spans) {
                if (!span.fails || span.path.size() < 2) continue;
                const QPolygonF line = scenePolygon(span.path);
                QPainterPath path;
                path.addPolygon(line);
                add(path, cosmetic(kFaultColour, 4), Qt::NoBrush)
                    ->setToolTip(
                        QStringLiteral("引下线间距 %1 m")
                            .arg(QString::fromStdString(calc::roof::twoDecimals(span.length))));
                text(QString::fromStdString(calc::roof::twoDecimals(span.length)) +
                         QStringLiteral(" m"),
                     middle(line), kFaultColour);
            }
    }
}

void PlanView::showFault(const std::vector<QPointF> &where, bool closed)
{
    QPainterPath path;
    if (!where.empty()) {
        QPolygonF line;
        for (const QPointF &p : where) line << toScene(p);
        if (closed) line << line.front();
        path.addPolygon(line);
        centerOn(path.boundingRect().center());
    }
    fault_->setPath(path);
}

bool PlanView::isShowingFault() const { return !fault_->path().isEmpty(); }

} // namespace designer
