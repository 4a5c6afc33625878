#pragma once

#include "dxf/drawing_coordinates.h"
#include "dxf/dxf_writer.h"
#include "dxf/layout_drawing.h"
#include "layouts/layout_zone.h"
#include "sheets/label_placement.h"

#include <QByteArray>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The plan a layout drawing is drawn on: the layout's metres placed in the drawing's units and
// place, its layers, and its labels kept apart.
namespace dxf {

using calc::drawing::Vec2;
using calc::layout::Layout;
using lplayout::DrawingPlace;

// The layout's metres placed in the drawing, with the drawing's layers. Labels are kept until
// the end and then placed, by the rule the sheets' drawings use, clear of each other and of
// every line drawn.
class LayoutPlan {
public:
    // The layers by name, each with its colour.
    LayoutPlan(const Layout &layout, const DrawingPlace &place,
               const std::vector<std::pair<std::string_view, int>> &layers)
        : place_(place), writer_(place.units, std::string(kTextFont))
    {
        for (const auto &[name, colour] : layers) writer_.addLayer(std::string(name), colour);
        box_ = calc::layout::planBox(layout);
        // Texts about 1/120 of the site across: 1.3 m on a site of 160 m, readable at 1:500.
        const double size = std::max(box_.maxX - box_.minX, box_.maxY - box_.minY);
        text_ = std::clamp(size / 120, 0.25, 5.0);
    }

    // The text height, in metres.
    double text() const { return text_; }
    const calc::layout::PlanBox &box() const { return box_; }

    void line(std::string_view layer, Point3 a, Point3 b, int colour = kByLayer)
    {
        strokes_.push_back({{a.x, a.y}, {b.x, b.y}});
        writer_.line(std::string(layer), at(a), at(b), colour);
    }
    void ring(std::string_view layer, const std::vector<Vec2> &points, double z, bool closed,
              int colour = kByLayer)
    {
        std::vector<DrawingPoint> drawn;
        for (std::size_t i = 0; i < points.size(); ++i) {
            drawn.push_back(toDrawing(place_, points[i].x, points[i].y));
            if (i > 0 || closed)
                strokes_.push_back({points[i > 0 ? i - 1 : points.size() - 1], points[i]});
        }
        writer_.polyline(std::string(layer), drawn, lengthToDrawing(place_, z), closed, colour);
    }
    void circle(std::string_view layer, Point3 centre, double radius)
    {
        marks_.push_back(
            {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius});
        writer_.circle(std::string(layer), at(centre), lengthToDrawing(place_, radius));
    }
    // A part of the plan no label goes into (an object's roof, which its name labels).
    void keepClear(double minX, double minY, double maxX, double maxY)
    {
        marks_.push_back({minX, minY, maxX, maxY});
    }
    // A text that stays where it is put, centred there (a name inside its outline).
    void fixedText(std::string_view layer, Point3 centre, const std::string &text, int colour)
    {
        const double w = width(text, text_) / 2, h = text_ * 0.6;
        marks_.push_back({centre.x - w, centre.y - h, centre.x + w, centre.y + h});
        writer_.text(std::string(layer), at(centre), lengthToDrawing(place_, text_), text,
                     TextAlign::MiddleCentre, colour);
    }
    // A label whose baseline would start at `start`, of the usual height times `scale`: it
    // goes there, or to the nearest place free of the other labels and the lines.
    void label(std::string_view layer, Point3 start, const std::string &text, int colour = kByLayer,
               double scale = 1)
    {
        const double h = text_ * scale;
        labels_.push_back({std::string(layer),
                           text,
                           colour,
                           h,
                           start.z,
                           {start.x, start.y - 0.25 * h, start.x + width(text, h), start.y + h}});
    }
    // A label that no line nor other label moves (the title block's rows, the notes).
    void fixedLeftText(std::string_view layer, Point3 start, const std::string &text, double scale)
    {
        writer_.text(std::string(layer), at(start), lengthToDrawing(place_, text_ * scale), text);
    }
    // A block drawn in metres about its base point, and an insert of it at a size in texts'
    // heights.
    void defineBlock(std::string name, const std::vector<std::pair<Point3, Point3>> &lines,
                     const std::vector<std::pair<Point3, double>> &circles)
    {
        writer_.defineBlock(std::move(name), lines, circles);
    }
    void insert(std::string_view layer, const std::string &block, Point3 at, double size,
                int colour = kByLayer)
    {
        const double r = size * text_;
        marks_.push_back({at.x - r, at.y - r, at.x + r, at.y + r});
        writer_.insert(std::string(layer), block, this->at(at), lengthToDrawing(place_, r), colour);
    }

    QByteArray finish()
    {
        std::vector<calc::drawing::Box> wishes;
        for (const Label &l : labels_) wishes.push_back(l.wish);
        const std::vector<calc::drawing::Box> placed =
            calc::drawing::placeLabels(wishes, {strokes_, marks_}, {text_ / 2, 20, text_ / 10});
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            const Label &l = labels_[i];
            const Point3 start{placed[i].left, placed[i].top + 0.25 * l.height, l.z};
            writer_.text(l.layer, at(start), lengthToDrawing(place_, l.height), l.text,
                         TextAlign::BaselineLeft, l.colour);
        }
        return QByteArray::fromStdString(writer_.finish());
    }

    // About how wide a text runs: Chinese characters square, the others a little over half as
    // wide (the widest of the CAD programs' fonts).
    static double width(const std::string &text, double height)
    {
        double w = 0;
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if ((c & 0xC0) == 0x80) continue; // inside a character
            w += c >= 0xE2 ? 1.0 : 0.8;
        }
        return w * height;
    }

private:
    struct Label {
        std::string layer, text;
        int colour = kByLayer;
        double height = 0, z = 0;
        calc::drawing::Box wish; // on the plan, in metres: "top" is the lower edge
    };
    Point3 at(Point3 metres) const
    {
        const DrawingPoint p = toDrawing(place_, metres.x, metres.y);
        return {p.x, p.y, lengthToDrawing(place_, metres.z)};
    }

    DrawingPlace place_;
    DrawingWriter writer_;
    calc::layout::PlanBox box_;
    double text_ = 1;
    std::vector<calc::drawing::Segment> strokes_;
    std::vector<calc::drawing::Box> marks_;
    std::vector<Label> labels_;
};

} // namespace dxf
