#include "rendering/drawing_transform.h"

#include "rendering/drawing_labels.h"

#include <QPaintDevice>

#include <algorithm>
#include <vector>

namespace rendering {

namespace {

using calc::drawing::Drawing;
using calc::drawing::View;

// How far the labels stand out of the geometry's box at scale s, in device
// units, on each side.
struct Overhang {
    qreal left = 0, right = 0, top = 0, bottom = 0;
};

// The box's sides in metres; a box without extent counts as a metre wide.
qreal widthOf(const View &view)
{
    const qreal width = view.bounds.max.x - view.bounds.min.x;
    return width > 0 ? width : 1;
}

qreal heightOf(const View &view)
{
    const qreal height = view.bounds.max.y - view.bounds.min.y;
    return height > 0 ? height : 1;
}

Overhang overhangAt(const View &view, qreal s, const QPaintDevice &device)
{
    const qreal width = s * widthOf(view);
    const qreal height = s * heightOf(view);
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
    return std::min((inner.width() - o.left - o.right) / widthOf(view),
                    (inner.height() - o.top - o.bottom) / heightOf(view));
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
    // Each scale's labels are placed once: a round asks again for the scale the last one
    // tried, and placing them is the dear part.
    std::vector<std::pair<qreal, Overhang>> placed;
    const auto overhang = [&](qreal s) {
        for (const auto &[scale, o] : placed)
            if (scale == s) return o;
        placed.emplace_back(s, overhangAt(view, s, device));
        return placed.back().second;
    };
    const auto fits = [&](qreal s) { return fitScale(view, inner, overhang(s)); };
    qreal s = std::max(fits(1e-9), 1e-9);
    for (int round = 0; round < 12; ++round) {
        const qreal next = fits(s);
        if (!(next > s * (1 + 1e-9)) || fits(next) < next * (1 - 1e-9)) break;
        s = next;
    }
    const Overhang o = overhang(s);
    const qreal usedWidth = o.left + s * widthOf(view) + o.right;
    const qreal usedHeight = o.top + s * heightOf(view) + o.bottom;
    const qreal left = inner.left() + (inner.width() - usedWidth) / 2 + o.left;
    const qreal top = inner.top() + (inner.height() - usedHeight) / 2 + o.top;
    // x' = left + s·(x - min.x), y' = top + s·(max.y - y)
    return {s, 0, 0, -s, left - s * view.bounds.min.x, top + s * view.bounds.max.y};
}

namespace {

// The views side by side (columns) or one above the other (rows). Each view
// needs, along the split, room for its padding, title and labels plus its
// extent in metres times the scale; the shares are sized so that all views get
// about the same scale.
std::vector<QRectF> sharesOf(const Drawing &drawing, const QRectF &area, bool columns,
                             const QPaintDevice &device)
{
    const std::size_t count = drawing.views.size();
    const qreal pad = kViewPaddingPoints * pointOn(device);
    const qreal length = columns ? area.width() : area.height();
    const auto extent = [&](const View &view) { return columns ? widthOf(view) : heightOf(view); };
    const auto room = [&](const View &view, qreal scale) {
        const Overhang o = overhangAt(view, scale, device);
        if (columns) return 2 * pad + o.left + o.right;
        return 2 * pad + o.top + o.bottom +
               titleHeight(QString::fromStdString(view.title), area.width() - 2 * pad, device);
    };
    // Start from equal shares; two rounds of the balance settle the scale.
    qreal scale = 1e300;
    for (std::size_t i = 0; i < count; ++i) {
        const qreal part = length / static_cast<qreal>(count);
        const auto at = static_cast<qreal>(i) * part;
        const QRectF equal = columns ? QRectF(area.left() + at, area.top(), part, area.height())
                                     : QRectF(area.left(), area.top() + at, area.width(), part);
        scale = std::min(scale, viewTransform(drawing.views[i], equal, device).m11());
    }
    std::vector<qreal> parts(count);
    for (int round = 0; round < 2; ++round) {
        qreal fixed = 0;
        qreal metres = 0;
        for (const View &view : drawing.views) {
            fixed += room(view, scale);
            metres += extent(view);
        }
        scale = std::max((length - fixed) / metres, scale);
        qreal total = 0;
        for (std::size_t i = 0; i < count; ++i) {
            parts[i] = room(drawing.views[i], scale) + scale * extent(drawing.views[i]);
            total += parts[i];
        }
        for (qreal &part : parts) part *= length / total;
    }
    std::vector<QRectF> shares;
    qreal start = columns ? area.left() : area.top();
    for (const qreal part : parts) {
        shares.push_back(columns ? QRectF(start, area.top(), part, area.height())
                                 : QRectF(area.left(), start, area.width(), part));
        start += part;
    }
    return shares;
}

qreal smallestScale(const Drawing &drawing, const std::vector<QRectF> &shares,
                    const QPaintDevice &device)
{
    qreal scale = 1e300;
    for (std::size_t i = 0; i < shares.size(); ++i)
        scale = std::min(scale, viewTransform(drawing.views[i], shares[i], device).m11());
    return scale;
}

} // namespace

std::vector<QRectF> viewShares(const Drawing &drawing, const QRectF &area,
                               const QPaintDevice &device)
{
    if (drawing.views.size() <= 1) return std::vector<QRectF>(drawing.views.size(), area);
    // Whichever arrangement gives the smallest view the larger scale.
    std::vector<QRectF> columns = sharesOf(drawing, area, true, device);
    std::vector<QRectF> rows = sharesOf(drawing, area, false, device);
    const bool byColumns =
        smallestScale(drawing, columns, device) >= smallestScale(drawing, rows, device);
    return byColumns ? columns : rows;
}

QRectF viewShare(const Drawing &drawing, std::size_t index, const QRectF &area,
                 const QPaintDevice &device)
{
    if (drawing.views.size() <= 1) return area;
    return viewShares(drawing, area, device).at(index);
}

QTransform drawingViewTransform(const Drawing &drawing, std::size_t index, const QRectF &area,
                                const QPaintDevice &device)
{
    return viewTransform(drawing.views.at(index), viewShare(drawing, index, area, device), device);
}

} // namespace rendering
