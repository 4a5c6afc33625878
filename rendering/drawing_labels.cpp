#include "rendering/drawing_labels.h"

#include "rendering/drawing_transform.h"
#include "rendering/fonts.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>

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
    const qreal space = 0.5 * pointOn(device);
    std::vector<QRectF> placed;
    for (const auto &label : view.labels) {
        QRectF rect = labelRect(transform.map(QPointF(label.at.x, label.at.y)),
                                QString::fromStdString(label.text), label.side, device);
        const bool down = label.side == Side::Below || label.side == Side::BelowLeft ||
                          label.side == Side::BelowRight;
        // Each move takes the label past one placed label, always the same way,
        // so it passes each at most once.
        for (std::size_t moves = 0; moves <= placed.size(); ++moves) {
            const auto covered = std::find_if(placed.begin(), placed.end(),
                                              [&](const QRectF &r) { return r.intersects(rect); });
            if (covered == placed.end()) break;
            if (down)
                rect.moveTop(covered->bottom() + space);
            else
                rect.moveBottom(covered->top() - space);
        }
        placed.push_back(rect);
    }
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
