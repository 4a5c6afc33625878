#include "windows/drawing_transform.h"

#include "windows/drawing_labels.h"

#include <QPaintDevice>

#include <algorithm>
#include <vector>

namespace windows {

namespace {

using calc::drawing::Drawing;
using calc::drawing::View;

// How far the labels stand out of the geometry's box at scale s, in device
// units, on each side.
struct Overhang {
    qreal left = 0, right = 0, top = 0, bottom = 0;
};

Overhang overhangAt(const View &view, qreal s, const QPaintDevice &device)
{
    const qreal width = s * (view.bounds.max.x - view.bounds.min.x);
    const qreal height = s * (view.bounds.max.y - view.bounds.min.y);
    // The box's top left corner at the origin.
    const QTransform transform(s, 0, 0, -s, -s * view.bounds.min.x, s * view.bounds.max.y);
    Overhang o;
    for (const QRectF &r : placeLabels(view, transform, device)) {
        o.left = std::max(o.left, -r.left());
        o.right = std::max(o.right, r.right() - width);
        o.top = std::max(o.top, -r.top());
        o.bottom = std::max(o.bottom, r.bottom() - height);
    }
    return o;
}

qreal fitScale(const View &view, const QRectF &inner, const Overhang &o)
{
    const qreal width = view.bounds.max.x - view.bounds.min.x;
    const qreal height = view.bounds.max.y - view.bounds.min.y;
    return std::min((inner.width() - o.left - o.right) / width,
                    (inner.height() - o.top - o.bottom) / height);
}

} // namespace

qreal pointOn(const QPaintDevice &device) { return device.logicalDpiY() / 72.0; }

QTransform viewTransform(const View &view, const QRectF &share, const QPaintDevice &device)
{
    const qreal pad = kViewPaddingPoints * pointOn(device);
    QRectF inner = share.adjusted(pad, pad, -pad, -pad);
    inner.setTop(inner.top() +
                 titleHeight(QString::fromStdString(view.title), inner.width(), device));

    // At a tiny scale the labels stand out the most; the larger the scale, the
    // less they do, so a scale that fits gives room for a larger one. A few
    // rounds settle it, each keeping to scales that fit.
    const auto fits = [&](qreal s) { return fitScale(view, inner, overhangAt(view, s, device)); };
    qreal s = std::max(fits(1e-9), 1e-9);
    for (int round = 0; round < 12; ++round) {
        const qreal next = fits(s);
        if (!(next > s * (1 + 1e-9)) || fits(next) < next * (1 - 1e-9)) break;
        s = next;
    }
    const Overhang o = overhangAt(view, s, device);
    const qreal usedWidth = o.left + s * (view.bounds.max.x - view.bounds.min.x) + o.right;
    const qreal usedHeight = o.top + s * (view.bounds.max.y - view.bounds.min.y) + o.bottom;
    const qreal left = inner.left() + (inner.width() - usedWidth) / 2 + o.left;
    const qreal top = inner.top() + (inner.height() - usedHeight) / 2 + o.top;
    // x' = left + s·(x - min.x), y' = top + s·(max.y - y)
    return {s, 0, 0, -s, left - s * view.bounds.min.x, top + s * view.bounds.max.y};
}

QRectF viewShare(const Drawing &drawing, std::size_t index, const QRectF &area,
                 const QPaintDevice &device)
{
    const auto count = static_cast<qreal>(drawing.views.size());
    if (drawing.views.size() <= 1) return area;
    const auto i = static_cast<qreal>(index);
    const QRectF column(area.left() + i * area.width() / count, area.top(), area.width() / count,
                        area.height());
    const QRectF row(area.left(), area.top() + i * area.height() / count, area.width(),
                     area.height() / count);
    // Side by side or one above the other: whichever gives the smallest view
    // the larger scale.
    qreal columns = 1e300;
    qreal rows = 1e300;
    for (std::size_t k = 0; k < drawing.views.size(); ++k) {
        const auto kk = static_cast<qreal>(k);
        const QRectF c(area.left() + kk * area.width() / count, area.top(), area.width() / count,
                       area.height());
        const QRectF r(area.left(), area.top() + kk * area.height() / count, area.width(),
                       area.height() / count);
        columns = std::min(columns, viewTransform(drawing.views[k], c, device).m11());
        rows = std::min(rows, viewTransform(drawing.views[k], r, device).m11());
    }
    return columns >= rows ? column : row;
}

QTransform drawingViewTransform(const Drawing &drawing, std::size_t index, const QRectF &area,
                                const QPaintDevice &device)
{
    return viewTransform(drawing.views.at(index), viewShare(drawing, index, area, device), device);
}

} // namespace windows
