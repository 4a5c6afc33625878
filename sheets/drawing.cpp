#include "sheets/drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calc::drawing {

std::vector<Vec2> arcPoints(Vec2 centre, double radius, double from, double to)
{
    const double step = std::numbers::pi / 180;
    const int count = std::max(1, static_cast<int>(std::ceil(std::abs(to - from) / step)));
    std::vector<Vec2> points;
    points.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i <= count; ++i) {
        const double angle = from + (to - from) * i / count;
        points.push_back(
            {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return points;
}

std::vector<Vec2> arcBetween(Vec2 centre, double radius, Vec2 start, Vec2 end, Turn turn)
{
    const double from = std::atan2(start.y - centre.y, start.x - centre.x);
    double to = std::atan2(end.y - centre.y, end.x - centre.x);
    if (turn == Turn::Anticlockwise && to < from) to += 2 * std::numbers::pi;
    if (turn == Turn::Clockwise && to > from) to -= 2 * std::numbers::pi;
    std::vector<Vec2> points = arcPoints(centre, radius, from, to);
    points.front() = start;
    points.back() = end;
    return points;
}

Bounds boundsOf(const View &view)
{
    bool any = false;
    Bounds b;
    const auto take = [&](Vec2 p) {
        if (!any) {
            b = {p, p};
            any = true;
            return;
        }
        b.min = {std::min(b.min.x, p.x), std::min(b.min.y, p.y)};
        b.max = {std::max(b.max.x, p.x), std::max(b.max.y, p.y)};
    };
    for (const Path &path : view.paths)
        for (Vec2 p : path.points) take(p);
    for (const Marker &marker : view.markers) take(marker.at);
    for (const Label &label : view.labels) take(label.at);

    const auto widen = [](double &low, double &high) {
        if (high - low >= 1) return;
        const double middle = low / 2 + high / 2;
        low = middle - 0.5;
        high = middle + 0.5;
    };
    widen(b.min.x, b.max.x);
    widen(b.min.y, b.max.y);
    return b;
}

} // namespace calc::drawing
