#pragma once

// Internal to the engine: things (conductors, circles, vertices) found by where they lie on the
// plan, so that a question about one place looks only at what is near it. The account of why
// the engine is exact is in engine/rolling_sphere.h: the index only leaves out what lies too far
// to matter, by the same distances the engine would otherwise test one by one.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace calc::rolling_sphere::detail {

// A box on the plan.
struct PlanBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// A uniform grid of square cells over the things' boxes, each thing listed in every cell its box
// overlaps (one that would cover very many cells is kept apart and looked at every time).
class PlanIndex {
public:
    PlanIndex() = default;
    PlanIndex(const std::vector<PlanBox> &boxes, double cell)
    {
        if (boxes.empty()) return;
        boxes_ = boxes;
        x0_ = boxes[0].x0, y0_ = boxes[0].y0;
        double x1 = boxes[0].x1, y1 = boxes[0].y1;
        for (const PlanBox &b : boxes) {
            x0_ = std::min(x0_, b.x0), y0_ = std::min(y0_, b.y0);
            x1 = std::max(x1, b.x1), y1 = std::max(y1, b.y1);
        }
        // No more than about a million cells, however far apart the things lie.
        cell_ = std::max({cell, (x1 - x0_) / 1024, (y1 - y0_) / 1024, 1e-6});
        nx_ = std::max(1, static_cast<int>((x1 - x0_) / cell_) + 1);
        ny_ = std::max(1, static_cast<int>((y1 - y0_) / cell_) + 1);
        std::vector<std::uint32_t> count(static_cast<std::size_t>(nx_) * ny_ + 1, 0);
        const auto each = [&](auto f) {
            for (std::size_t k = 0; k < boxes_.size(); ++k) {
                const Span s = span(boxes_[k]);
                if (double(s.i1 - s.i0 + 1) * (s.j1 - s.j0 + 1) > kLargest) {
                    if (f(k, -1)) large_.push_back(static_cast<std::uint32_t>(k));
                    continue;
                }
                for (int j = s.j0; j <= s.j1; ++j)
                    for (int i = s.i0; i <= s.i1; ++i) f(k, j * nx_ + i);
            }
        };
        each([&](std::size_t, int c) {
            if (c >= 0) ++count[static_cast<std::size_t>(c) + 1];
            return false;
        });
        for (std::size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
        start_ = count;
        items_.resize(start_.back());
        each([&](std::size_t k, int c) {
            if (c < 0) return true;
            items_[count[static_cast<std::size_t>(c)]++] = static_cast<std::uint32_t>(k);
            return false;
        });
    }

    // Calls f(k) once for every thing k whose box meets the query box.
    template <class F>
    void visit(PlanBox q, const F &f) const
    {
        for (const std::uint32_t k : large_)
            if (meets(boxes_[k], q)) f(static_cast<std::size_t>(k));
        if (items_.empty() || q.x1 < x0_ || q.y1 < y0_) return;
        const Span s = span(q);
        if (s.i0 >= nx_ || s.j0 >= ny_) return;
        const bool single = s.i0 == s.i1 && s.j0 == s.j1;
        for (int j = s.j0; j <= s.j1; ++j)
            for (int i = s.i0; i <= s.i1; ++i) {
                const std::size_t c = static_cast<std::size_t>(j * nx_ + i);
                for (std::uint32_t n = start_[c]; n < start_[c + 1]; ++n) {
                    const std::uint32_t k = items_[n];
                    if (!meets(boxes_[k], q)) continue;
                    // Once: in the first cell where the thing's box and the query's meet (a
                    // query within one cell meets each thing there once anyway).
                    if (!single) {
                        const Span t = span(boxes_[k]);
                        if (i != std::max(s.i0, t.i0) || j != std::max(s.j0, t.j0)) continue;
                    }
                    f(static_cast<std::size_t>(k));
                }
            }
    }

    // The same for a box grown by `by` on every side round a point.
    template <class F>
    void visit(double x, double y, double by, const F &f) const
    {
        visit(PlanBox{x - by, y - by, x + by, y + by}, f);
    }

private:
    static constexpr double kLargest = 4096;
    struct Span {
        int i0, j0, i1, j1;
    };
    static bool meets(const PlanBox &a, const PlanBox &b)
    {
        return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
    }
    int clampX(double x) const
    {
        return static_cast<int>(std::clamp(std::floor((x - x0_) / cell_), 0.0, nx_ - 1.0));
    }
    int clampY(double y) const
    {
        return static_cast<int>(std::clamp(std::floor((y - y0_) / cell_), 0.0, ny_ - 1.0));
    }
    Span span(const PlanBox &b) const
    {
        return {clampX(b.x0), clampY(b.y0), clampX(b.x1), clampY(b.y1)};
    }

    std::vector<PlanBox> boxes_;
    double x0_ = 0, y0_ = 0, cell_ = 1;
    int nx_ = 0, ny_ = 0;
    std::vector<std::uint32_t> start_, items_, large_;
};

} // namespace calc::rolling_sphere::detail
