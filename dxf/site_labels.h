#pragma once

#include "dxf/drawing.h"
#include "dxf/drawing_walk.h"
#include "dxf/height_text.h"
#include "project/project_file.h"

#include <QString>

#include <optional>
#include <vector>

// The texts of a site plan that can name a building or give a height: each TEXT, and each line
// of an MTEXT (its formatting taken out), where it stands in the layout's metres. An MTEXT
// whose lines are a character each is one text written downwards ("8\P5\P采" is "85采").
namespace dxf {

// A text entity met while walking the drawing, to be read only if it lies where it can matter.
struct TextSeen {
    const Entity *entity = nullptr;
    Transform toWorld; // the text's own coordinates → world
    std::uint32_t layer = 0;
};

struct Label {
    double x = 0, y = 0; // layout metres
    QString text;
    std::optional<HeightText> height; // the text read as a height or storeys, when it is one
    std::uint32_t layer = 0;
    std::size_t order = 0; // in the drawing
};

// An area of the drawing (drawing units) outside which no text is read.
struct DrawingBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
    void add(double x, double y, double margin = 0);
    bool holds(double x, double y, double margin) const;
};

// The texts within `box`, decoded, in the layout's metres at `place`.
std::vector<Label> readLabels(const Drawing &d, const std::vector<TextSeen> &texts,
                              const DrawingBox &box, const lplayout::DrawingPlace &place);

} // namespace dxf
