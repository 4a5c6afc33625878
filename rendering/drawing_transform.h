#pragma once

#include "sheets/drawing.h"

#include <QRectF>
#include <QTransform>

#include <cstddef>
#include <vector>

class QPaintDevice;

// Where the views of a drawing go on a page or an image, and how each view's
// metres map into device units. The painter and the tests share these, so a
// known point of a view (a rod's top, an arc's foot) can be found on the image.
namespace rendering {

// One typographic point in the device's logical units (its logical DPI / 72):
// texts, pens, arrowheads and dots are sized in points, so that they read the
// same on the screen, in the PDF and on paper.
qreal pointOn(const QPaintDevice &device);

// The share of `area` that the view with this index gets: the views side by
// side or one above the other, whichever draws them larger, each in a share
// that suits its shape.
QRectF viewShare(const calc::drawing::Drawing &drawing, std::size_t index, const QRectF &area,
                 const QPaintDevice &device);
// Every view's share, in the views' order, worked out together (each share depends on all the
// views).
std::vector<QRectF> viewShares(const calc::drawing::Drawing &drawing, const QRectF &area,
                               const QPaintDevice &device);

// Maps the view's metres (x right, y up) into `share` with one scale for both
// axes, leaving room for the view's title and for its labels around the
// geometry, and centring what is left over.
QTransform viewTransform(const calc::drawing::View &view, const QRectF &share,
                         const QPaintDevice &device);

// viewTransform of the index-th view in its share of `area`.
QTransform drawingViewTransform(const calc::drawing::Drawing &drawing, std::size_t index,
                                const QRectF &area, const QPaintDevice &device);

} // namespace rendering
