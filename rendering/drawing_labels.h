#pragma once

#include "sheets/drawing.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <vector>

class QPaintDevice;

// The texts of a drawing: their faces and where a text stands beside its
// anchor. Sizes are in points, so the layout in device units follows the
// device's resolution.
namespace rendering {

QFont drawingLabelFont();
QFont drawingTitleFont();

// The space between a text and its anchor, in points.
inline constexpr qreal kLabelGapPoints = 2.5;
// The radius of a marker's dot, in points.
inline constexpr qreal kMarkerRadiusPoints = 2.5;
// Room kept free around each view, in points.
inline constexpr qreal kViewPaddingPoints = 4;

// The rectangle, in device units, that the text takes when its anchor is at
// `anchor`, on the given side of it.
QRectF labelRect(QPointF anchor, const QString &text, calc::drawing::Side side,
                 const QPaintDevice &device);

// Where the view's labels stand when its metres map through `transform`: each
// beside its anchor where that is free, else moved to the nearest place where
// it covers no other label, line, arc or dot (calc::drawing::placeLabels).
std::vector<QRectF> placeLabels(const calc::drawing::View &view, const QTransform &transform,
                                const QPaintDevice &device);

// The height of a view's title wrapped to `width`, with the space below it;
// zero for a view without title.
qreal titleHeight(const QString &title, qreal width, const QPaintDevice &device);

} // namespace rendering
