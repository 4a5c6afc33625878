#include "designer/import_preview.h"

#include "dxf/drawing_walk.h"
#include "dxf/site_layers.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <optional>

namespace designer {

namespace {

constexpr int kMargin = 16;    // pixels round the picture
constexpr double kCross = 3.5; // half a mark's size, in pixels

bool finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Whether they overlap, edges and rectangles of no width or height included.
bool overlap(const QRectF &a, const QRectF &b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

// The middle of the drawing's extent, so that far coordinates (hundreds of kilometres in
// millimetres) become small numbers before they are drawn.
std::optional<QPointF> middleOf(const dxf::Preview &p, const std::vector<QPointF> &marks)
{
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    const auto take = [&](double x, double y) {
        if (!finite(x, y)) return;
        x0 = any ? std::min(x0, x) : x;
        x1 = any ? std::max(x1, x) : x;
        y0 = any ? std::min(y0, y) : y;
        y1 = any ? std::max(y1, y) : y;
        any = true;
    };
    for (const dxf::DrawingPoint &c : p.points) take(c.x, c.y);
    for (const QPointF &m : marks) take(m.x(), m.y());
    if (!any) return std::nullopt;
    return QPointF(x0 / 2 + x1 / 2, y0 / 2 + y1 / 2);
}

} // namespace

// Grown to hold the point; a box of no size holds its corner (QRectF's own union passes over
// such).
void ImportPreview::Box::take(QPointF p)
{
    if (!any) {
        rect = QRectF(p, QSizeF(0, 0));
        any = true;
        return;
    }
    rect.setLeft(std::min(rect.left(), p.x()));
    rect.setRight(std::max(rect.right(), p.x()));
    rect.setTop(std::min(rect.top(), p.y()));
    rect.setBottom(std::max(rect.bottom(), p.y()));
}

void ImportPreview::Box::take(const Box &other)
{
    if (!other.any) return;
    take(other.rect.topLeft());
    take(other.rect.bottomRight());
}

ImportPreview::ImportPreview(const dxf::Drawing &drawing, QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const dxf::Preview paths = dxf::preview(drawing);

    // Points, and the centres of circles and block inserts, of model space (those inside blocks
    // as their inserts put them): rods are drawn so, often too small to see.
    std::vector<QPointF> marks;
    std::vector<std::pair<std::uint32_t, bool>> markLayers; // and whether a rod's only
    dxf::walkModel(drawing, [&](const dxf::Placed &p) {
        const dxf::Entity &e = p.entity;
        if ((e.kind == dxf::EntityKind::Point || e.kind == dxf::EntityKind::Insert ||
             e.kind == dxf::EntityKind::Circle) &&
            e.first < drawing.vertices.size()) {
            const dxf::Vertex &v = drawing.vertices[e.first];
            const dxf::Vec3 at = dxf::entityToWorld(drawing, p).apply({v.x, v.y, v.z});
            marks.emplace_back(at.x, at.y);
            markLayers.emplace_back(p.layer, e.kind != dxf::EntityKind::Point);
        }
        return true;
    });

    const std::optional<QPointF> middle = middleOf(paths, marks);
    if (!middle) return;
    middle_ = *middle;
    layerBoxes_.resize(drawing.layers.size());
    const auto take = [&](std::uint32_t layer, QPointF p) {
        box_.take(p);
        if (layer < layerBoxes_.size()) layerBoxes_[layer].take(p);
    };
    for (const dxf::Preview::Path &path : paths.paths) {
        Line line{path.layer, {}, {}};
        line.corners.reserve(qsizetype(path.count) + 1);
        bool usable = path.count > 0;
        for (std::uint32_t i = path.first; usable && i < path.first + path.count; ++i) {
            const dxf::DrawingPoint &c = paths.points[i];
            usable = finite(c.x, c.y);
            line.corners << QPointF(c.x - middle->x(), c.y - middle->y());
        }
        if (!usable) continue;
        if (path.closed && line.corners.size() > 2) line.corners << line.corners.first();
        Box bounds;
        for (const QPointF &c : line.corners) {
            take(line.layer, c);
            bounds.take(c);
        }
        line.bounds = bounds.rect;
        lines_.push_back(std::move(line));
    }
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (!finite(marks[i].x(), marks[i].y())) continue;
        const QPointF at = marks[i] - *middle;
        take(markLayers[i].first, at);
        marks_.push_back({markLayers[i].first, at, markLayers[i].second});
    }
}

QColor ImportPreview::buildingColour() { return {31, 95, 191}; }
QColor ImportPreview::leftOutColour() { return {230, 81, 0}; }

void ImportPreview::setReport(std::vector<QPolygonF> leftOut, std::vector<Tag> tags)
{
    for (QPolygonF &p : leftOut) {
        p.translate(-middle_);
        if (p.size() > 2) p << p.first();
    }
    for (Tag &t : tags) t.at -= middle_;
    leftOut_ = std::move(leftOut);
    tags_ = std::move(tags);
    picture_ = {};
    update();
}
QColor ImportPreview::rodColour() { return {198, 40, 40}; }
QColor ImportPreview::wireColour() { return {46, 125, 50}; }

void ImportPreview::setHighlight(const QSet<std::uint32_t> &buildings, int rods, int wires)
{
    if (buildings == buildings_ && rods == rods_ && wires == wires_) return;
    buildings_ = buildings;
    rods_ = rods;
    wires_ = wires;
    picture_ = {};
    update();
}

bool ImportPreview::fittedToChoice() const
{
    for (std::size_t layer = 0; layer < layerBoxes_.size(); ++layer)
        if (colourOf(std::uint32_t(layer)).isValid() && layerBoxes_[layer].any) return true;
    return false;
}

QRectF ImportPreview::fitted() const
{
    Box chosen;
    for (std::size_t layer = 0; layer < layerBoxes_.size(); ++layer)
        if (colourOf(std::uint32_t(layer)).isValid()) chosen.take(layerBoxes_[layer]);
    return chosen.any ? chosen.rect : box_.rect;
}

QColor ImportPreview::colourOf(std::uint32_t layer) const
{
    if (int(layer) == rods_) return rodColour();
    if (int(layer) == wires_) return wireColour();
    if (buildings_.contains(layer)) return buildingColour();
    return {};
}

void ImportPreview::resizeEvent(QResizeEvent *event)
{
    picture_ = {};
    QWidget::resizeEvent(event);
}

void ImportPreview::paintEvent(QPaintEvent *)
{
    if (picture_.size() != size() * devicePixelRatio()) render();
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ImportPreview::render()
{
    picture_ = QImage(size() * devicePixelRatio(), QImage::Format_RGB32);
    picture_.setDevicePixelRatio(devicePixelRatio());
    picture_.fill(Qt::white);
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("图中没有可预览的直线、多段线、圆、点或块参照"));
        return;
    }
    // The drawing's y goes up, the screen's down; a drawing of one point or one straight line
    // keeps a scale all the same.
    const double width = std::max(1.0, double(this->width() - 2 * kMargin));
    const double height = std::max(1.0, double(this->height() - 2 * kMargin));
    const QRectF box = fitted();
    const double extent = std::max(box.width(), box.height());
    double scale = 1;
    if (extent > 0)
        scale = std::min(box.width() > 0 ? width / box.width() : width / extent,
                         box.height() > 0 ? height / box.height() : height / extent);
    QTransform toScreen;
    toScreen.translate(this->width() / 2.0, this->height() / 2.0);
    toScreen.scale(scale, -scale);
    toScreen.translate(-box.center().x(), -box.center().y());

    // What lies beyond the picture is left out: a far stray entity, scaled up with the site,
    // would be drawn at millions of pixels.
    const QRectF shown = toScreen.inverted().mapRect(QRectF(rect()));
    // The others in grey first, so that the chosen ones lie on top.
    QPen grey(QColor(176, 176, 176), 1);
    grey.setCosmetic(true);
    for (int pass = 0; pass < 2; ++pass) {
        painter.setTransform(toScreen);
        for (const Line &line : lines_) {
            const QColor colour = colourOf(line.layer);
            if (colour.isValid() != (pass == 1) || !overlap(line.bounds, shown)) continue;
            QPen pen = pass == 0 ? grey : QPen(colour, 1.6);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawPolyline(line.corners);
        }
        painter.resetTransform();
        for (const Mark &mark : marks_) {
            const QColor colour = colourOf(mark.layer);
            if (colour.isValid() != (pass == 1)) continue;
            if ((mark.rodOnly && int(mark.layer) != rods_) ||
                !overlap(QRectF(mark.at, QSizeF()), shown))
                continue;
            painter.setPen(pass == 0 ? grey : QPen(colour, 1.6));
            const QPointF at = toScreen.map(mark.at);
            painter.drawLine(at - QPointF(kCross, kCross), at + QPointF(kCross, kCross));
            painter.drawLine(at - QPointF(kCross, -kCross), at + QPointF(kCross, -kCross));
        }
    }
    // The outlines an import would leave out, thick over the rest; each building's height.
    painter.setTransform(toScreen);
    QPen marked(leftOutColour(), 3);
    marked.setCosmetic(true);
    painter.setPen(marked);
    QColor fill = leftOutColour();
    fill.setAlpha(60);
    painter.setBrush(fill);
    for (const QPolygonF &p : leftOut_) painter.drawPolygon(p);
    painter.resetTransform();
    painter.setBrush(Qt::NoBrush);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter.setFont(small);
    for (const Tag &tag : tags_) {
        const QPointF at = toScreen.map(tag.at);
        if (!rect().contains(at.toPoint())) continue;
        painter.setPen(tag.warn ? leftOutColour() : QColor(20, 20, 20));
        painter.drawText(at + QPointF(-20, 4), tag.text);
    }
}

} // namespace designer
