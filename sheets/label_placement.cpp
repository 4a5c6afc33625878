#include "sheets/label_placement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace calc::drawing {

bool overlaps(const Box &a, const Box &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool crosses(const Segment &segment, const Box &box)
{
    // Clip the segment a + t·(b - a), 0 ≤ t ≤ 1, to the box's open inside,
    // one pair of sides at a time (Liang and Barsky); what is left crosses it.
    const double dx = segment.b.x - segment.a.x;
    const double dy = segment.b.y - segment.a.y;
    double enter = 0;
    double leave = 1;
    const auto clip = [&](double along, double room) {
        // The part with along·t < room lies inside this side.
        if (along == 0) return room > 0;
        const double t = room / along;
        if (along < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter < leave;
    };
    return clip(-dx, segment.a.x - box.left) && clip(dx, box.right - segment.a.x) &&
           clip(-dy, segment.a.y - box.top) && clip(dy, box.bottom - segment.a.y);
}

namespace {

struct Offset {
    int across; // steps to the right (negative: left)
    int down;   // steps down (negative: up)
};

// Every offset within reach, nearest first; of equal distances up, down, left,
// right, in that order of preference, so that a text slides off a line the
// short way across a wide text first.
std::vector<Offset> offsetsByDistance(int steps)
{
    std::vector<Offset> offsets;
    for (int down = -steps; down <= steps; ++down)
        for (int across = -steps; across <= steps; ++across)
            if (across * across + down * down <= steps * steps) offsets.push_back({across, down});
    const auto rank = [](const Offset &o) {
        // Vertical moves before horizontal ones, up before down, left before right.
        return std::abs(o.across) * 4 + (o.down > 0 ? 2 : 0) + (o.across > 0 ? 1 : 0);
    };
    std::stable_sort(offsets.begin(), offsets.end(), [&](const Offset &a, const Offset &b) {
        const int da = a.across * a.across + a.down * a.down;
        const int db = b.across * b.across + b.down * b.down;
        if (da != db) return da < db;
        return rank(a) < rank(b);
    });
    return offsets;
}

// The same, for the usual reaches worked out once (the drawings' fit places the labels of a
// view at many scales), others each time.
std::vector<Offset> offsetsWithin(int steps)
{
    constexpr int kKept = 32;
    static const std::array<std::vector<Offset>, kKept + 1> kept = [] {
        std::array<std::vector<Offset>, kKept + 1> tables;
        for (int s = 0; s <= kKept; ++s) tables[static_cast<std::size_t>(s)] = offsetsByDistance(s);
        return tables;
    }();
    return steps <= kKept ? kept[static_cast<std::size_t>(steps)] : offsetsByDistance(steps);
}

Box grown(const Box &box, double by)
{
    return {box.left - by, box.top - by, box.right + by, box.bottom + by};
}

// The segment's box, for a quick test before the exact one.
Box extent(const Segment &s)
{
    return {std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), std::max(s.a.x, s.b.x),
            std::max(s.a.y, s.b.y)};
}

bool meets(const Box &a, const Box &b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

std::vector<Box> placeLabels(std::span<const Box> wishes, const Obstacles &obstacles,
                             const PlacementReach &reach)
{
    const std::vector<Offset> offsets = offsetsWithin(std::max(0, reach.steps));
    const double far = reach.step * std::max(0, reach.steps);
    std::vector<Box> placed;
    placed.reserve(wishes.size());
    for (const Box &wish : wishes) {
        // Only what lies within reach can be in the way: gather it once.
        const Box region = grown(wish, far + reach.clearance);
        std::vector<Segment> near;
        std::vector<Box> nearExtents; // each near segment's box, to pass most of them by quickly
        for (const Segment &s : obstacles.strokes)
            if (const Box e = extent(s); meets(e, region)) {
                near.push_back(s);
                nearExtents.push_back(e);
            }
        std::vector<Box> taken;
        for (const Box &b : obstacles.boxes)
            if (meets(b, region)) taken.push_back(b);
        for (const Box &b : placed)
            if (meets(b, region)) taken.push_back(b);

        // The conflicts of a place, counted no further than `enough`: a place with that many
        // cannot be the best any more.
        const auto conflicts = [&](const Box &box, int enough) {
            const Box kept = grown(box, reach.clearance);
            int count = 0;
            for (const Box &b : taken)
                if (overlaps(b, kept) && ++count >= enough) return count;
            for (std::size_t i = 0; i < near.size(); ++i)
                if (meets(nearExtents[i], kept) && crosses(near[i], kept) && ++count >= enough)
                    return count;
            return count;
        };

        Box best = wish;
        int fewest = std::numeric_limits<int>::max();
        for (const Offset &o : offsets) {
            const Box box = wish.moved(o.across * reach.step, o.down * reach.step);
            const int count = conflicts(box, fewest);
            if (count < fewest) {
                best = box;
                fewest = count;
            }
            if (count == 0) break;
        }
        placed.push_back(best);
    }
    return placed;
}

} // namespace calc::drawing
