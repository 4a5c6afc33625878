#include "rendering/drawing_labels.h"

#include "rendering/drawing_transform.h"
#include "rendering/fonts.h"
#include "sheets/label_placement.h"

#include <QFontMetricsF>
#include <QPaintDevice>

namespace rendering {

using calc::drawing::Side;

QFont drawingLabelFont() { return designFont(kSongTi, 9, false); }

QFont drawingTitleFont() { return designFont(kSongTi, 10, true); }

QRectF labelRect(QPointF anchor, const QString &text, Side side, const QPaintDevice &device)
{
    const QFontMetricsF metrics(drawingLabelFont(), &device);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const qreal gap = kLabelGapPoints * pointOn(device);
    qreal x = anchor.x() - size.width() / 2;
    qreal y = anchor.y() - size.height() / 2;
    switch (side) {
    case Side::Centre:
        break;
    case Side::Above:
        y = anchor.y() - gap - size.height();
        break;
    case Side::Below:
        y = anchor.y() + gap;
        break;
    case Side::Left:
        x = anchor.x() - gap - size.width();
        break;
    case Side::Right:
        x = anchor.x() + gap;
        break;
    case Side::AboveLeft:
        x = anchor.x() - gap - size.width();
        y = anchor.y() - gap - size.height();
        break;
    case Side::AboveRight:
        x = anchor.x() + gap;
        y = anchor.y() - gap - size.height();
        break;
    case Side::BelowLeft:
        x = anchor.x() - gap - size.width();
        y = anchor.y() + gap;
        break;
    case Side::BelowRight:
        x = anchor.x() + gap;
        y = anchor.y() + gap;
        break;
    }
    return {QPointF(x, y), size};
}

std::vector<QRectF> placeLabels(const calc::drawing::View &view, const QTransform &transform,
                                const QPaintDevice &device)
{
    namespace drawing = calc::drawing;
    const qreal point = pointOn(device);
    const auto onPage = [&](drawing::Vec2 p) {
        const QPointF q = transform.map(QPointF(p.x, p.y));
        return drawing::Vec2{q.x(), q.y()};
    };
    drawing::Obstacles obstacles;
    for (const drawing::Path &path : view.paths)
        drawing::appendStrokes(path, onPage, obstacles.strokes);
    const qreal dot = kMarkerRadiusPoints * point;
    for (const auto &marker : view.markers) {
        const drawing::Vec2 at = onPage(marker.at);
        obstacles.boxes.push_back({at.x - dot, at.y - dot, at.x + dot, at.y + dot});
    }

    std::vector<drawing::Box> wishes;
    wishes.reserve(view.labels.size());
    for (const auto &label : view.labels) {
        const QRectF r = labelRect(transform.map(QPointF(label.at.x, label.at.y)),
                                   QString::fromStdString(label.text), label.side, device);
        wishes.push_back({r.left(), r.top(), r.right(), r.bottom()});
    }
    const qreal lineHeight = QFontMetricsF(drawingLabelFont(), &device).height();
    const std::vector<drawing::Box> boxes =
        drawing::placeLabels(wishes, obstacles, {lineHeight / 3, 18, 0.5 * point});

    std::vector<QRectF> placed;
    placed.reserve(boxes.size());
    for (const drawing::Box &b : boxes)
        placed.emplace_back(QPointF(b.left, b.top), QPointF(b.right, b.bottom));
    return placed;
}

qreal titleHeight(const QString &title, qreal width, const QPaintDevice &device)
{
    if (title.isEmpty()) return 0;
    const QFontMetricsF metrics(drawingTitleFont(), &device);
    const QRectF box =
        metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::AlignHCenter | Qt::TextWordWrap, title);
    return box.height() + metrics.height() / 2;
}

} // namespace rendering
