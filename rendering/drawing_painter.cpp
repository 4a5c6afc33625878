#include "rendering/drawing_inks.h"
#include "rendering/drawing_labels.h"
#include "rendering/drawing_transform.h"
#include "rendering/sheet_rendering.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace rendering {

namespace {

using calc::drawing::Ink;
using calc::drawing::Path;
using calc::drawing::View;

// Line widths in points: the rod and the zone's boundary stand out, dimension
// and helper lines stay thin.
qreal widthPoints(Ink ink)
{
    switch (ink) {
    case Ink::Rod:
        return 2.2;
    case Ink::Ground:
    case Ink::Building:
        return 1.5;
    case Ink::ObjectOutside:
        return 1.6;
    case Ink::Dimension:
    case Ink::Construction:
        return 0.7;
    default:
        return 1.2;
    }
}

QPen inkPen(Ink ink, bool dashed, qreal point)
{
    QPen pen(inkColour(ink), widthPoints(ink) * point);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (dashed || ink == Ink::Construction) pen.setDashPattern({6, 4});
    return pen;
}

// A filled arrowhead whose tip is at `tip`, pointing away from `from`.
void paintArrowhead(QPainter &painter, QPointF from, QPointF tip, QColor colour, qreal point)
{
    const QLineF line(from, tip);
    if (line.length() <= 0) return;
    const QPointF along = (tip - from) / line.length();
    const QPointF across(-along.y(), along.x());
    const qreal length = 6 * point;
    const qreal half = 1.8 * point;
    const QPointF base = tip - along * length;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF{tip, base + across * half, base - across * half});
}

void paintPath(QPainter &painter, const Path &path, const QTransform &transform, qreal point)
{
    QPolygonF polygon;
    for (const auto &p : path.points) polygon << transform.map(QPointF(p.x, p.y));
    if (polygon.size() < 2) return;
    if (path.filled) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(path.ink == Ink::ZoneFill ? zoneShade()
                                                   : inkColour(path.ink).lighter(170));
        painter.drawPolygon(polygon);
        return;
    }
    painter.setPen(inkPen(path.ink, path.dashed, point));
    painter.setBrush(Qt::NoBrush);
    if (path.closed)
        painter.drawPolygon(polygon);
    else
        painter.drawPolyline(polygon);
    const QColor colour = inkColour(path.ink);
    if (path.arrowAtStart) paintArrowhead(painter, polygon[1], polygon[0], colour, point);
    if (path.arrowAtEnd)
        paintArrowhead(painter, polygon[polygon.size() - 2], polygon.back(), colour, point);
}

void paintView(QPainter &painter, const View &view, const QRectF &share,
               const QTransform &transform)
{
    const QPaintDevice &device = *painter.device();
    const qreal point = pointOn(device);
    for (const Path &path : view.paths) paintPath(painter, path, transform, point);

    painter.setPen(Qt::NoPen);
    for (const auto &marker : view.markers) {
        painter.setBrush(inkColour(marker.ink));
        painter.drawEllipse(transform.map(QPointF(marker.at.x, marker.at.y)),
                            kMarkerRadiusPoints * point, kMarkerRadiusPoints * point);
    }

    // Texts on a light ground, so that a line running under one leaves it readable.
    painter.setFont(drawingLabelFont());
    const std::vector<QRectF> rects = placeLabels(view, transform, device);
    for (std::size_t i = 0; i < view.labels.size(); ++i) {
        const auto &label = view.labels[i];
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 160));
        painter.drawRect(rects[i]);
        painter.setPen(inkColour(label.ink));
        painter.drawText(rects[i], Qt::AlignCenter | Qt::TextDontClip,
                         QString::fromStdString(label.text));
    }

    if (!view.title.empty()) {
        const qreal pad = kViewPaddingPoints * point;
        const QRectF titleBox = share.adjusted(pad, pad, -pad, -pad);
        painter.setFont(drawingTitleFont());
        painter.setPen(Qt::black);
        painter.drawText(titleBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         QString::fromStdString(view.title));
    }
}

} // namespace

void paintDrawing(QPainter &painter, const calc::drawing::Drawing &drawing, const QRectF &area)
{
    if (!painter.isActive()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPaintDevice &device = *painter.device();
    if (drawing.views.empty()) {
        painter.setFont(drawingTitleFont());
        painter.setPen(QColor(60, 60, 60));
        const qreal pad = kViewPaddingPoints * pointOn(device);
        painter.drawText(area.adjusted(pad, pad, -pad, -pad), Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromStdString(drawing.emptyReason));
    }
    const std::vector<QRectF> shares = viewShares(drawing, area, device);
    for (std::size_t i = 0; i < drawing.views.size(); ++i)
        paintView(painter, drawing.views[i], shares[i],
                  viewTransform(drawing.views[i], shares[i], device));
    painter.restore();
}

QImage drawingImage(const calc::drawing::Drawing &drawing, QSize size, qreal devicePixelRatio)
{
    if (size.isEmpty() || !(devicePixelRatio > 0)) return {};
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintDrawing(painter, drawing, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace rendering
