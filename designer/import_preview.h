#pragma once

#include "dxf/drawing.h"

#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QSet>
#include <QWidget>

#include <cstdint>
#include <vector>

// A quick picture of a drawing's model space for choosing its layers: every line, polyline and
// circle, a cross at each point, and on the rods' layer one at each circle's centre and block
// insert (a rod drawn so). The chosen buildings', rods' and wires' layers stand out in colour, the
// others in grey; the picture is fitted to the chosen layers when there are any (so that a stray
// entity far off does not shrink the site to a dot), else to the whole drawing. Over it, what
// an import would do: the outlines it would leave out in red, and each building's height.
namespace designer {

class ImportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ImportPreview(const dxf::Drawing &drawing, QWidget *parent = nullptr);

    // Layers by their index in the drawing; -1 for no rods' or wires' layer.
    void setHighlight(const QSet<std::uint32_t> &buildings, int rods, int wires);

    // What an import of the choice would do, over the picture: the outlines it would leave out,
    // marked, and a tag beside each building (its height), in drawing coordinates.
    struct Tag {
        QPointF at;
        QString text;
        bool warn = false; // drawn in the colour of a warning
    };
    void setReport(std::vector<QPolygonF> leftOut, std::vector<Tag> tags);
    static QColor leftOutColour();

    // Whether the drawing gave anything to show.
    bool isEmpty() const { return lines_.empty() && marks_.empty(); }
    // The width and height of what the picture is fitted to, in drawing units.
    QSizeF fittedExtent() const { return fitted().size(); }
    // Whether that is the chosen layers' extent rather than the whole drawing's.
    bool fittedToChoice() const;

    QSize sizeHint() const override { return {420, 360}; }
    QSize minimumSizeHint() const override { return {200, 160}; }

    static QColor buildingColour();
    static QColor rodColour();
    static QColor wireColour();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Line {
        std::uint32_t layer;
        QPolygonF corners; // about the drawing's middle, closed ones back to their first
        QRectF bounds;
    };
    struct Mark {
        std::uint32_t layer;
        QPointF at;
        bool rodOnly; // a circle's centre or an insert: marked on the rods' layer only
    };
    struct Box {
        QRectF rect;
        bool any = false;
        void take(QPointF p);
        void take(const Box &other);
    };
    QColor colourOf(std::uint32_t layer) const;
    QRectF fitted() const;
    void render();

    std::vector<Line> lines_;
    std::vector<Mark> marks_;
    Box box_;                     // of all of them, about the drawing's middle
    std::vector<Box> layerBoxes_; // each layer's, by its index
    QPointF middle_;              // the drawing's, taken from every coordinate
    std::vector<QPolygonF> leftOut_;
    std::vector<Tag> tags_;
    QSet<std::uint32_t> buildings_;
    int rods_ = -1, wires_ = -1;
    QImage picture_; // drawn once for each size and highlight
};

} // namespace designer
