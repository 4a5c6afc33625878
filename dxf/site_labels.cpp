#include "dxf/site_labels.h"

#include "dxf/drawing_coordinates.h"
#include "dxf/drawing_text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace dxf {

namespace {

// An MTEXT's lines stand this far apart, in text heights, at a line spacing factor of 1.
constexpr double kLinePitch = 5.0 / 3.0;
// An MTEXT is read when its point lies within this many text heights of the box: its lines
// reach no further unless it has dozens of them.
constexpr double kMTextReach = 50;

std::string joined(const Drawing &d, const TextPlacement &t)
{
    std::string raw;
    for (std::uint32_t i = t.firstChunk; i < t.firstChunk + t.chunkCount; ++i)
        raw.append(d.chunks[i]);
    return raw;
}

// How far line `i` of `n` lies up the text's own y axis from its point, by where the point is
// attached: its top, middle or bottom line.
double lineOffset(int attachment, double height, double pitch, std::size_t i, std::size_t n)
{
    const int row = (attachment - 1) / 3;
    const double k = double(i), last = double(n - 1);
    if (row == 0) return -(height / 2 + k * pitch);
    if (row == 1) return (last / 2 - k) * pitch;
    return height / 2 + (last - k) * pitch;
}

double linePitch(const Entity &e, const TextPlacement &t)
{
    return std::abs(e.size) * kLinePitch * t.lineSpacing;
}

} // namespace

void DrawingBox::add(double x, double y, double margin)
{
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
    }
    minX = std::min(minX, x - margin);
    maxX = std::max(maxX, x + margin);
    minY = std::min(minY, y - margin);
    maxY = std::max(maxY, y + margin);
}

bool DrawingBox::holds(double x, double y, double margin) const
{
    return !empty && x >= minX - margin && x <= maxX + margin && y >= minY - margin &&
           y <= maxY + margin;
}

std::vector<Label> readLabels(const Drawing &d, const std::vector<TextSeen> &texts,
                              const DrawingBox &box, const lplayout::DrawingPlace &place)
{
    TextDecoder decode(d.encoding);
    std::vector<Label> labels;
    const auto add = [&](const TextSeen &seen, const Vec3 &world, const QString &text) {
        if (text.isEmpty()) return;
        Label label;
        const DrawingPoint p = toLayout(place, world.x, world.y);
        label.x = p.x;
        label.y = p.y;
        label.text = text;
        label.height = readHeightText(text);
        label.layer = seen.layer;
        label.order = labels.size();
        labels.push_back(std::move(label));
    };
    for (const TextSeen &seen : texts) {
        const Entity &e = *seen.entity;
        const Vertex &v = d.vertices[e.first];
        const Vec3 anchor = seen.toWorld.apply({v.x, v.y, v.z});
        const double height = std::abs(e.size) * seen.toWorld.stretch();
        const bool mtext = e.kind == EntityKind::MText;
        if (!box.holds(anchor.x, anchor.y, mtext ? kMTextReach * height : 0)) continue;
        const TextPlacement &t = d.texts[e.extra];
        const QString text = decode(joined(d, t));
        if (!mtext) {
            add(seen, anchor, plainText(text));
            continue;
        }
        QStringList lines = mtextLines(text);
        // A text written downwards, a character to a line, is one text at its middle line.
        const bool vertical = lines.size() > 1 && std::ranges::all_of(lines, [](const QString &l) {
                                  return l.size() == 1 || (l.size() == 2 && l[0].isHighSurrogate());
                              });
        if (vertical) {
            const double dy =
                (lineOffset(t.attachment, std::abs(e.size), linePitch(e, t), 0,
                            std::size_t(lines.size())) +
                 lineOffset(t.attachment, std::abs(e.size), linePitch(e, t),
                            std::size_t(lines.size() - 1), std::size_t(lines.size()))) /
                2;
            const double up[2] = {-std::sin(t.rotation), std::cos(t.rotation)};
            add(seen, seen.toWorld.apply({v.x + up[0] * dy, v.y + up[1] * dy, v.z}),
                lines.join(QString()));
            continue;
        }
        const double pitch = linePitch(e, t);
        const double up[2] = {-std::sin(t.rotation), std::cos(t.rotation)};
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const double dy = lineOffset(t.attachment, std::abs(e.size), pitch, std::size_t(i),
                                         std::size_t(lines.size()));
            add(seen, seen.toWorld.apply({v.x + up[0] * dy, v.y + up[1] * dy, v.z}), lines[i]);
        }
    }
    return labels;
}

} // namespace dxf
